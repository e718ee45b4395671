#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# Writes the ABI baseline of libhxcore.so: libabigail's description (abidw) of
# what the library exports and of every type reachable from it, as the
# installed public headers declare them, into abi/libhxcore.so.MAJOR.abi.
# Run it at a release once every change of the interface is in, and commit the
# file; scripts/abi_check.sh holds later builds to it. Without arguments it
# first builds the `default` preset, the baseline's fixed configuration.
# With BUILD_DIR it reads that (already built) tree, and with OUTPUT it writes
# there instead (the check describes the library under test this way).
#   scripts/abi_baseline.sh [BUILD_DIR [OUTPUT]]
set -euo pipefail
cd "$(dirname "$0")/.."
command -v abidw >/dev/null || bash scripts/deps.sh ship
if [ $# -eq 0 ]; then
  cmake --preset default >/dev/null
  cmake --build --preset default --target hxcore
fi
build=${1:-build/default}
major=$(cut -d. -f1 VERSION)
output=${2:-abi/libhxcore.so.$major.abi}

prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null
library=$(find "$prefix" -name "libhxcore.so.$major" | head -1)
[ -n "$library" ] || { echo "abi: no libhxcore.so.$major installed from $build" >&2; exit 1; }

# No paths, line numbers or sequence ids, so the file changes only with the
# interface itself.
abidw --exported-interfaces-only --headers-dir "$prefix/include/hxcore" --drop-private-types \
      --drop-undefined-syms --no-corpus-path --no-comp-dir-path --no-show-locs \
      --type-id-style hash --out-file "$output" "$library"
[ $# -ge 2 ] || echo "abi: wrote $output ($(grep -c '<elf-symbol ' "$output") exported symbols)"
