#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# Builds the example clients of examples/ against an installed hxcore, the way
# a user does (find_package(hxcore)), and runs each: the typical request with a
# secret encrypted by the installed hxtool, URL assembly and checks, and a
# fetch of a file:// URL (no network needed); then the README's first example
# through pkg-config. Without PREFIX, installs
# build/default into a temporary prefix first. Also checks that the package
# puts only PREFIX/include on a client's include path.
#   scripts/examples_test.sh [PREFIX]   (e.g. /usr after installing the Debian packages)
set -euo pipefail
trap 'echo "examples: failed at line $LINENO" >&2' ERR
cd "$(dirname "$0")/.."
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
if [ $# -ge 1 ]; then
  prefix=$1
else
  prefix=$work/prefix
  cmake --install build/default --prefix "$prefix" >/dev/null
fi

targets=$(find "$prefix" -path '*/cmake/hxcore/hxcoreTargets.cmake' | head -1)
includes=$(sed -n 's/^ *INTERFACE_INCLUDE_DIRECTORIES "\(.*\)"$/\1/p' "$targets")
if [ "$includes" != '${_IMPORT_PREFIX}/include' ]; then
  echo "examples: the package's include path is '$includes', not PREFIX/include alone" >&2
  exit 1
fi

cmake -S examples -B "$work/build" -G Ninja -DCMAKE_PREFIX_PATH="$prefix" >/dev/null
cmake --build "$work/build" >/dev/null
run() { LD_LIBRARY_PATH="$prefix/lib" "$@"; }

secret=$(run "$prefix/bin/hxtool" encrypt-secret --public-key - example-secret)
run "$work/build/typical_request" "$secret" >"$work/request.out"
grep -q '^signature .\{28\}$' "$work/request.out"

run "$work/build/url" "HTTP://Example.com:80/a/./b?x=1" >"$work/url.out"
grep -qx 'assembled https://api.example.com/v1/streams?device=camera+1&q=a%26b=c' "$work/url.out"
grep -qx 'http://example.com/a/b?x=1 -> host example.com, path /a/b, 1 query entries' "$work/url.out"
if run "$work/build/url" "http://[::1" >/dev/null; then
  echo "examples: url accepted a broken URL" >&2
  exit 1
fi

echo "fetched through file://" >"$work/page.txt"
run "$work/build/fetch" "file://$work/page.txt" | grep -qx "fetched through file://"

# The Qt client against a local HTTP server on a free port, which the server
# writes into a pipe once it listens; it fetches page.txt through a signed URL.
mkfifo "$work/port"
python3 -c '
import functools, http.server, sys
class Quiet(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass
server = http.server.HTTPServer(("127.0.0.1", 0), functools.partial(Quiet, directory=sys.argv[1]))
with open(sys.argv[2], "w") as port:
    port.write("%d\n" % server.server_port)
server.serve_forever()' "$work" "$work/port" &
server=$!
trap 'kill $server 2>/dev/null || true; rm -rf "$work"' EXIT
port=$(timeout 30 cat "$work/port")
url="http://127.0.0.1:$port/page.txt"
(cd "$work" && QT_LOGGING_RULES='hx.HX.debug=false' run timeout 60 "$work/build/qt_client" "$url" "$secret") \
  2>"$work/qt.out"
for line in '^hx\.APP: .*\[I|APP\].*signed request http://127\.0\.0\.1:[0-9]*/page\.txt?appKey=example-app&ts=[0-9]*&sign=.\{28,\}$' \
    '^hx\.APP: .*HTTP status 200, 24 bytes: fetched through file://$' \
    '^hx\.APP: .*tick 3: report sent$' '^hx\.APP: .*tick 4: report held back by the gate$' \
    '^hx\.APP: .*quit cleanly, setting last_url = http://127'; do
  grep -q "$line" "$work/qt.out" || { echo "examples: qt_client printed no line matching $line" >&2; cat "$work/qt.out" >&2; exit 1; }
done
if grep -q '^hx\.HX: .*\[D|HX\]' "$work/qt.out"; then
  echo "examples: QT_LOGGING_RULES did not filter hx.HX's debug records" >&2
  exit 1
fi
# The README's first example, through pkg-config.
awk '/^```cpp$/ {inside = 1; next} inside && /^```$/ {exit} inside' README.md >"$work/readme.cpp"
pcdir=$(find "$prefix" -name hxcore.pc -printf '%h\n' | head -1)
# shellcheck disable=SC2046
c++ -std=c++17 "$work/readme.cpp" $(PKG_CONFIG_PATH="$pcdir" pkg-config --cflags --libs hxcore) -o "$work/readme"
run "$work/readme" | grep -qx 'http://example.com/v1/devices?id=camera+1'
echo "examples: typical_request, url, fetch, qt_client and the README's example built against $prefix and ran"
