#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# Makes the Windows SDK (the ZIP) from a mingw build (first checking that a
# build with the development secrets is refused without an opt-in), unpacks it
# into a temporary folder and checks that it holds what a client needs and
# nothing else, that every DLL its programs load is in it or part of Windows,
# and that hxcore.dll and hxtool.exe are hardened. Then runs the SDK's hxtool,
# checks that it and scripts/secrets_scan.py tell the development secrets
# alike, and cross-builds the consumer programs against the
# unpacked SDK through find_package(hxcore) and runs them under Wine with the
# SDK's DLLs beside them: the Windows twin of scripts/package_test.sh.
#   scripts/sdk_test.sh [BUILD_DIR]   (default: build/mingw, which scripts/cross_test.sh leaves)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/mingw}
work=$(mktemp -d)
wine_prefix=$build/wine-prefix
trap 'rm -rf "$work"' EXIT
fail() { echo "sdk: $*" >&2; exit 1; }
# Runs a command with its output shown only if it fails.
quiet() { "$@" >"$work/output" 2>&1 || { cat "$work/output" >&2; fail "failed: $*"; }; }

version=$(cat VERSION)
# The SDK ships: a build with the development secrets is packed only when the
# builder opts in, as this test does after checking the refusal.
secrets_dir=$(sed -n 's/^HXCORE_SECRETS_DIR:PATH=//p' "$build/CMakeCache.txt")
development=yes
env -u HXCORE_ALLOW_DEVELOPMENT_SECRETS cmake -DHXCORE_SECRETS_DIR="$secrets_dir" \
  -P cmake/HxcoreDevelopmentSecrets.cmake >/dev/null 2>&1 && development=no
if [ $development = yes ] && ! grep -q '^HXCORE_ALLOW_DEVELOPMENT_SECRETS:BOOL=ON' "$build/CMakeCache.txt"; then
  env -u HXCORE_ALLOW_DEVELOPMENT_SECRETS cmake --build "$build" --target package >"$work/refused" 2>&1 &&
    fail "the package target packed the development secrets without an opt-in"
  grep -q "HXCORE_ALLOW_DEVELOPMENT_SECRETS=ON" "$work/refused" ||
    { cat "$work/refused" >&2; fail "the package target's refusal does not name the opt-in"; }
fi
HXCORE_ALLOW_DEVELOPMENT_SECRETS=ON quiet cmake --build "$build" --target package
archive=$(realpath "$build/sdk/hxcore-$version-win64.zip")
(cd "$work" && cmake -E tar xf "$archive")
sdk=$work/hxcore-$version-win64

for file in bin/hxcore.dll bin/hxtool.exe bin/Qt5Core.dll bin/libcurl.dll \
            lib/libhxcore.dll.a lib/libcurl.dll.a \
            lib/cmake/hxcore/hxcoreConfig.cmake lib/cmake/CURL/CURLConfig.cmake \
            include/hxcore/hxcore.h include/cjson/cJSON.h include/curl/curl.h \
            share/licenses/hxcore/LICENSE share/licenses/hxcore/THIRD-PARTY-NOTICES \
            share/licenses/hxcore/LGPL-3.0.txt share/licenses/qtbase-opensource-src/copyright \
            share/licenses/curl/copyright share/licenses/openssl/copyright share/licenses/cjson/copyright; do
  [ -f "$sdk/$file" ] || fail "$file is missing"
done

# No test program, no static library (libcrypto is linked into hxcore.dll),
# no header outside the public API.
public_includes=$(cat "$sdk"/include/hxcore/*.h | sed -n 's/^#include "\(.*\)"/\1/p' | sort -u)
while read -r file; do
  case "$file" in
    bin/hxcore.dll | bin/hxtool.exe | bin/Qt5Core.dll | bin/libcurl.dll) ;;
    lib/libhxcore.dll.a | lib/libcurl.dll.a | lib/cmake/hxcore/*.cmake | lib/cmake/CURL/*.cmake) ;;
    include/hxcore/hxcore.h | include/cjson/cJSON.h | include/curl/*.h | share/licenses/*) ;;
    include/hxcore/*.h)
      grep -qxF "${file#include/hxcore/}" <<<"$public_includes" || fail "$file is not part of the public API" ;;
    *) fail "$file does not belong in the SDK" ;;
  esac
done < <(cd "$sdk" && find . -type f -printf '%P\n')

# Every DLL loaded by what bin/ holds is beside it or a DLL of Windows (of
# Wine's, here): the compiler's runtime DLLs are neither, as they must not be.
scripts/wine_run.sh "$wine_prefix" --hold
trap 'scripts/wine_run.sh "$wine_prefix" --release; rm -rf "$work"' EXIT
system_dlls=$wine_prefix/drive_c/windows/system32
for program in "$sdk"/bin/*; do
  for dll in $(x86_64-w64-mingw32-objdump -p "$program" | sed -n 's/^\tDLL Name: //p'); do
    [ -n "$(find "$sdk/bin" "$system_dlls" -maxdepth 1 -iname "$dll" -print -quit)" ] ||
      fail "$(basename "$program") loads $dll, which the SDK does not hold"
  done
done

# The DLL and the program keep ASLR (high-entropy) and DEP, and carry the
# stack protector (its runtime, libssp, is linked in only when code uses it;
# the build's copies still have their symbol tables).
for program in hxcore.dll hxtool.exe; do
  characteristics=$(x86_64-w64-mingw32-objdump -p "$sdk/bin/$program" | sed -n '/^DllCharacteristics/,/^[A-Z]/p')
  for flag in DYNAMIC_BASE HIGH_ENTROPY_VA NX_COMPAT; do
    grep -qw "$flag" <<<"$characteristics" || fail "$program lacks $flag"
  done
  x86_64-w64-mingw32-nm "$build/bin/$program" | grep -w __stack_chk_fail >/dev/null ||
    fail "$program has no stack protector"
done

# The SDK's own program runs from bin/ with what sits beside it, and says
# whether it carries the development secrets; the secrets scan agrees.
digest=$(printf abc | scripts/wine_run.sh "$wine_prefix" "$sdk/bin/hxtool.exe" md5 | tr -d '\r') || true
[ "$digest" = "900150983CD24FB0D6963F7D28E17F72  -" ] || fail "hxtool.exe md5: $digest"
mark=""
[ $development = yes ] && mark=" (development secrets)"
reported=$(scripts/wine_run.sh "$wine_prefix" "$sdk/bin/hxtool.exe" --version | tr -d '\r')
[ "$reported" = "hxtool $version$mark" ] || fail "hxtool.exe --version: $reported"
scan=no
python3 scripts/secrets_scan.py "$sdk/bin/hxcore.dll" >"$work/scan" || scan=yes
[ $scan = $development ] || { cat "$work/scan" >&2; fail "the secrets scan of hxcore.dll disagrees with the build"; }

client=$work/client
quiet cmake -S tests/package -B "$client" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/toolchains/x86_64-w64-mingw32.cmake" \
  -Dhxcore_DIR="$sdk/lib/cmake/hxcore" -DCURL_DIR="$sdk/lib/cmake/CURL"
quiet cmake --build "$client"
cp "$sdk"/bin/*.dll "$client/"
scripts/wine_run.sh "$wine_prefix" "$client/hxcore_consumer.exe" | tr -d '\r'
echo "SDK fetch client" >"$work/greeting.txt"
body=$(scripts/wine_run.sh "$wine_prefix" "$client/hxcore_fetch_client.exe" "file:///Z:$work/greeting.txt" | tr -d '\r')
[ "$(sed -n 2p <<<"$body")" = "SDK fetch client" ] || fail "fetch client: $body"
echo "sdk: hxcore-$version-win64.zip holds what a client needs and no more; its hxtool runs, and" \
     "clients built against it run under Wine"
