#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# Cross-builds hxcore.dll and its tests for 64-bit Windows with mingw-w64 and
# runs the tests under Wine, in a Wine prefix made fresh for this run.
#   scripts/cross_test.sh
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh cross
cmake --preset mingw >/dev/null

# Test discovery during the build already runs programs under Wine: one
# server, held from here to the end of the run, serves them all.
prefix=build/mingw/wine-prefix
rm -rf "$prefix" "$prefix.lock" "$prefix.log"
trap 'scripts/wine_run.sh "$prefix" --release' EXIT
scripts/wine_run.sh "$prefix" --hold

cmake --build --preset mingw
ctest --preset mingw
