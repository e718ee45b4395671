#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# Installs what is missing, builds hxcore and hxtool, and runs `hxtool demo`:
# a typical client request walked through the library. The README's demo
# command.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh build
cmake --preset default -DHXCORE_BUILD_TESTS=OFF >/dev/null
cmake --build --preset default --target hxtool
exec build/default/tools/hxtool demo
