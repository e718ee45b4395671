#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# Cross-builds hxcore.dll and its tests for 64-bit Windows with mingw-w64 and
# runs the tests under Wine, in a Wine prefix made fresh for this run.
#   scripts/cross_test.sh
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh cross
# Qt, libcurl and OpenSSL built for Windows (HXCORE_WIN_DEPS_PREFIX names a prefix already made).
prefix=${HXCORE_WIN_DEPS_PREFIX:-$(bash scripts/win_deps.sh)}
cmake --preset mingw -DHXCORE_WIN_DEPS_PREFIX="$prefix" >/dev/null

# Test discovery during the build already runs programs under Wine: one
# server, held from here to the end of the run, serves them all.
wine_prefix=build/mingw/wine-prefix
rm -rf "$wine_prefix" "$wine_prefix.lock" "$wine_prefix.log"
trap 'scripts/wine_run.sh "$wine_prefix" --release' EXIT
scripts/wine_run.sh "$wine_prefix" --hold

cmake --build --preset mingw
ctest --preset mingw
