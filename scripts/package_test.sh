#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# Installs a build into a temporary prefix, checks that the library's symbol
# table names no stored secret, runs the installed hxtool with an empty
# environment, then builds and runs the consumer program against the prefix
# twice: through find_package(hxcore) and through pkg-config. Last, the
# README's first example is built by two clients that build hxcore in their own
# tree from a clone of the committed HEAD (uncommitted changes are not in it):
# through add_subdirectory and through FetchContent from a file:// URL.
#   scripts/package_test.sh [BUILD_DIR]   (default: build/default)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/default}
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT

cmake --install "$build" --prefix "$prefix" >/dev/null

# The installed library's symbol table names no object that holds a secret
# (the stored key and texts carry names that say nothing).
library=$(find "$prefix" -name 'libhxcore.so.*.*' -type f | head -1)
named=$(nm -C "$library" | awk '$2 ~ /^[bBdDrR]$/' | grep -iE 'secret|private|aes|scramble' || true)
[ -z "$named" ] || { printf 'package: the symbol table names stored secrets:\n%s\n' "$named" >&2; exit 1; }

# The installed program finds the installed library by itself, wherever the
# prefix is: no LD_LIBRARY_PATH, nothing from the environment at all.
hxtool=$(find "$prefix" -name hxtool -type f | head -1)
digest=$(printf abc | env -i "$hxtool" md5) || true
[ "$digest" = "900150983CD24FB0D6963F7D28E17F72  -" ] || { echo "package: installed hxtool: $digest" >&2; exit 1; }

cmake -S tests/package -B "$prefix/consumer-cmake" -G Ninja -DCMAKE_PREFIX_PATH="$prefix" >/dev/null
cmake --build "$prefix/consumer-cmake" >/dev/null
LD_LIBRARY_PATH="$prefix/lib" "$prefix/consumer-cmake/hxcore_consumer"

libdir=$(find "$prefix" -name hxcore.pc -printf '%h\n' | head -1)
flags=$(PKG_CONFIG_PATH="$libdir" pkg-config --cflags --libs hxcore)
# shellcheck disable=SC2086
c++ -std=c++17 tests/package/consumer.cpp $flags -o "$prefix/consumer-pkgconfig"
LD_LIBRARY_PATH="$(dirname "$libdir")" "$prefix/consumer-pkgconfig"

# In a client's tree, hxcore::hxcore gives the spelling <hxcore/NAME.h> alone,
# and hxcore builds under the client's -Werror.
example="$prefix/readme_example.cpp"
awk '/^```cpp$/ {inside = 1; next} inside && /^```$/ {exit} inside' README.md >"$example"
git clone --quiet "$PWD" "$prefix/clone"
for way in add_subdirectory FetchContent; do
  client="$prefix/client-$way"
  cmake -S tests/package/in_tree -B "$client" -G Ninja -DHXCORE_CONSUMED_BY=$way -DHXCORE_EXAMPLE="$example" \
    -DHXCORE_SOURCE_DIR="$prefix/clone" -DHXCORE_GIT_URL="file://$prefix/clone" \
    -DHXCORE_GIT_TAG="$(git rev-parse HEAD)" >"$client.log" 2>&1 &&
    cmake --build "$client" >>"$client.log" 2>&1 || { cat "$client.log" >&2; exit 1; }
  "$client/readme_example" >"$client.out"
  grep -qx 'http://example.com/v1/devices?id=camera+1' "$client.out" &&
    grep -q '\[I|APP\].*md5 900150983CD24FB0D6963F7D28E17F72$' "$client.out" ||
    { echo "package: the README's example through $way printed:" >&2; cat "$client.out" >&2; exit 1; }
  for source in "$client"/private_spelling_*.cpp; do
    if cmake --build "$client" --target "$(basename "$source" .cpp)" >"$client.private" 2>&1 ||
       ! grep -q 'No such file' "$client.private"; then
      echo "package: a client through $way reached $(cat "$source")" >&2
      cat "$client.private" >&2
      exit 1
    fi
  done
done
echo "package: the installed hxtool runs, the installed hxcore builds and runs a client through CMake and pkg-config," \
  "and the README's example builds in a client's tree through add_subdirectory and FetchContent"
