#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# Holds a built libhxcore.so to the committed ABI baseline with libabigail's
# abidiff. Within one major version only additions pass: a removed or changed
# function or variable (a changed signature, a changed layout of a type it
# reaches) fails, since a client built against the baseline could break. When
# VERSION's major number has moved past the newest baseline, such changes are
# the point of the new major version: they are reported and pass, and
# scripts/abi_baseline.sh writes the new baseline at the release.
#   scripts/abi_check.sh [BUILD_DIR]   (default: build/default, already built)
set -euo pipefail
cd "$(dirname "$0")/.."
command -v abidiff >/dev/null || bash scripts/deps.sh ship
build=${1:-build/default}
major=$(cut -d. -f1 VERSION)

baseline=abi/libhxcore.so.$major.abi
same_major=yes
if [ ! -f "$baseline" ]; then
  baseline=$(find abi -name 'libhxcore.so.*.abi' | sort -V | tail -1)
  same_major=no
  [ -n "$baseline" ] || { echo "abi: no baseline in abi/ (run scripts/abi_baseline.sh)" >&2; exit 1; }
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
bash scripts/abi_baseline.sh "$build" "$work/current.abi"
status=0
abidiff --no-unreferenced-symbols "$baseline" "$work/current.abi" >"$work/report" || status=$?
if (( status & 3 )); then
  cat "$work/report"
  echo "abi: abidiff failed (status $status)" >&2
  exit 1
fi

# abidiff's summary lines: "Functions changes summary: R Removed, C Changed
# (F filtered out), A Added functions", and the same for variables.
broken=$(awk '/changes summary:/ {
                for (i = 1; i <= NF; ++i)
                  if ($i ~ /^Removed/ || $i ~ /^Changed/) n += $(i - 1)
              }
              END { print n + 0 }' "$work/report")
if (( status & 8 )) || [ "$broken" -gt 0 ]; then
  cat "$work/report"
  if [ "$same_major" = no ]; then
    echo "abi: incompatible with $baseline, as VERSION's major $major allows;" \
         "write abi/libhxcore.so.$major.abi with scripts/abi_baseline.sh at the release"
    exit 0
  fi
  echo "abi: incompatible with $baseline: a client built against it could break. Keep the interface," \
       "or raise VERSION's major number" >&2
  exit 1
fi
if (( status & 4 )); then
  cat "$work/report"
  echo "abi: compatible additions since $baseline"
fi
echo "abi: libhxcore.so keeps the interface of $baseline"
