#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# Runs a Windows program under Wine; the cross-build's test runner.
#   scripts/wine_run.sh PREFIX PROGRAM [ARG]...   run PROGRAM, return its status
#   scripts/wine_run.sh PREFIX --hold             create PREFIX, keep its server up
#   scripts/wine_run.sh PREFIX --release          stop PREFIX's server and programs
# PREFIX is a Wine prefix of the build's own. It is created on first use,
# once, under a lock, so that tests started in parallel wait for it instead of
# each initialising one (that takes seconds). A held server serves every
# program until released, so no program meets a server on its way out. No
# display is used and Wine's own debug channels are silenced, so the output is
# the program's. HXCORE_WINE names another wine binary.
#
# The first program a Wine server runs also starts Wine's own services, which
# inherit that program's output and outlive it as long as the server: a test
# runner reading the output would wait for them. So a program with no output
# goes first and starts them, and every program after it finds them running.
set -euo pipefail
trap 'echo "wine_run: stopped at line $LINENO (status $?)" >&2' ERR
prefix=$(realpath -m -- "$1")  # Wine takes absolute prefixes only
shift

wine=${HXCORE_WINE:-/usr/lib/wine/wine64}
if [ ! -x "$wine" ]; then
  wine=$(command -v wine64 || command -v wine || true)
  [ -n "$wine" ] || { echo "wine_run: no wine64 (install it: scripts/deps.sh cross)" >&2; exit 127; }
fi
wineserver=$(dirname "$wine")/wineserver
[ -x "$wineserver" ] || wineserver=$(command -v wineserver)

export WINEPREFIX=$prefix WINEDEBUG=-all
# No Mono or Gecko installer prompts while the prefix is created.
export WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY

if [ "${1:-}" = --release ]; then
  [ -d "$prefix" ] && "$wineserver" -k 2>/dev/null
  exit 0
fi

ready=$prefix/.hxcore-ready
if [ ! -e "$ready" ]; then
  mkdir -p "$(dirname "$prefix")"
  exec 9>"$prefix.lock"
  flock 9
  if [ ! -e "$ready" ]; then
    rm -rf "$prefix"
    log=$prefix.log
    if ! "$wine" wineboot --init >"$log" 2>&1; then
      echo "wine_run: creating the Wine prefix $prefix failed:" >&2
      cat "$log" >&2
      exit 1
    fi
    # wineboot returns before the server has written the registry out.
    "$wineserver" -w 2>/dev/null || true
    touch "$ready"
  fi
  exec 9>&-
fi

if [ "${1:-}" = --hold ]; then
  "$wineserver" -p
  shift
fi
"$wine" cmd.exe /c exit </dev/null >/dev/null 2>&1 || echo "wine_run: Wine's services did not start" >&2
[ $# -eq 0 ] && exit 0
trap - ERR
status=0
"$wine" "$@" || status=$?
# A status without any output of the program's own says where it ended.
[ $status -eq 0 ] || echo "wine_run: $(basename "$1") ended with status $status" >&2
exit $status
