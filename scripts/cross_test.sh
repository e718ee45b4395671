#!/usr/bin/env bash
# Cross-builds hxcore.dll and its tests for 64-bit Windows with mingw-w64 and
# runs the tests under Wine, in a Wine prefix made fresh for this run.
#   scripts/cross_test.sh
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh cross
cmake --preset mingw >/dev/null
rm -rf build/mingw/wine-prefix build/mingw/wine-prefix.lock build/mingw/wine-prefix.log
cmake --build --preset mingw
ctest --preset mingw
