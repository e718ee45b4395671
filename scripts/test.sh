#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# Installs what is missing, builds hxcore with its tests (warnings as errors)
# and runs every test. The README's test command.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh build test
cmake --preset default >/dev/null
cmake --build --preset default
ctest --preset default
