#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# Builds hxcore.dll's Windows dependencies from Debian's own source packages, at
# the versions the Linux build uses, with the mingw-w64 cross compilers:
# QtCore (Qt5Core.dll), OpenSSL 3 (static libcrypto), libcurl (libcurl.dll over
# Schannel) and cJSON (its two source files, compiled into hxcore.dll).
#
#   scripts/win_deps.sh        prints the prefix, and only that, on stdout
#
# The prefix is <cache>/<key>, the cache ${HXCORE_WIN_DEPS_CACHE:-~/.cache/hxcore/win-deps},
# the key a hash of the source versions, the cross compiler and this script, so
# a changed recipe builds a new prefix. A prefix counts only once its .complete
# marker exists; a package whose build was interrupted is built again from
# scratch on the next run. Runs on one cache are serialised with flock.
# Progress goes to stderr, each package's build output to <cache>/work/<key>/.
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
script=$repo/scripts/win_deps.sh
root=${HXCORE_WIN_DEPS_CACHE:-$HOME/.cache/hxcore/win-deps}
triple=x86_64-w64-mingw32
jobs=2
packages=(qtbase-opensource-src openssl curl cjson)
# The Linux build's package of each source package: its version is the one built.
declare -A linux_package=([qtbase-opensource-src]=qtbase5-dev [openssl]=libssl-dev
                          [curl]=libcurl4-openssl-dev [cjson]=libcjson-dev)
declare -A version source_dir

say() { echo "win-deps: $*" >&2; }
die() { say "error: $*"; exit 1; }
as_root() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }

# Adds deb-src entries for the machine's own Debian mirrors, unless apt has some.
add_deb_src() {
  if grep -qsE '^[[:space:]]*(deb-src[[:space:]]|Types:.*deb-src)' \
       /etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources; then
    return
  fi
  local entries
  if [ -f /etc/apt/sources.list.d/debian.sources ]; then
    entries=$(awk 'BEGIN { RS = ""; ORS = "\n\n" }
                   /Types:[^\n]*deb/ && /URIs:[^\n]*debian/ {
                     sub(/Types:[^\n]*/, "Types: deb-src"); print }' \
                  /etc/apt/sources.list.d/debian.sources)
    [ -n "$entries" ] && printf '%s' "$entries" | as_root tee /etc/apt/sources.list.d/hxcore-deb-src.sources >/dev/null
  else
    entries=$(sed -nE 's/^[[:space:]]*deb[[:space:]]+(.*debian.*)/deb-src \1/p' /etc/apt/sources.list)
    [ -n "$entries" ] && echo "$entries" | as_root tee /etc/apt/sources.list.d/hxcore-deb-src.list >/dev/null
  fi
  [ -n "$entries" ] || die "no Debian mirror in the apt sources to take the source packages from"
  say "added deb-src entries for the machine's Debian mirrors; updating apt"
  as_root apt-get update -qq >&2
}

# Sets version[pkg]: the installed source version, or, when the mirror no longer
# serves it, the nearest newer one it does serve (the newest if none is newer).
# The choice is remembered in sources/<pkg>_<installed>.source.
resolve_version() {
  local pkg=$1 installed served v choice newer="" newest=""
  installed=$(dpkg-query -W -f='${source:Version}' "${linux_package[$pkg]}" 2>/dev/null) ||
    die "${linux_package[$pkg]} is not installed"
  local memo=$root/sources/${pkg}_$installed.source
  if [ -s "$memo" ]; then choice=$(<"$memo"); version[$pkg]=${choice#*_}; return; fi
  add_deb_src
  served=$(apt-cache showsrc --only-source "$pkg" 2>/dev/null | sed -n 's/^Version: //p')
  [ -n "$served" ] || die "the mirror serves no source package $pkg"
  for v in $served; do
    if dpkg --compare-versions "$v" gt "$installed" &&
       { [ -z "$newer" ] || dpkg --compare-versions "$v" lt "$newer"; }; then newer=$v; fi
    if [ -z "$newest" ] || dpkg --compare-versions "$v" gt "$newest"; then newest=$v; fi
  done
  choice=$installed
  if ! grep -qxF "$installed" <<<"$served"; then
    choice=${newer:-$newest}
    say "the mirror no longer serves $pkg $installed (the installed version); using $choice"
  fi
  mkdir -p "$root/sources"
  echo "${pkg}_$choice" >"$memo"
  version[$pkg]=$choice
}

# Sets source_dir[pkg]: the unpacked, patched source tree, fetched once per version.
fetch_source() {
  local pkg=$1 dir=$root/sources/${1}_${version[$1]}
  if [ ! -e "$dir/.unpacked" ]; then
    say "fetching the source of $pkg ${version[$pkg]}"
    add_deb_src
    rm -rf "$dir" && mkdir -p "$dir"
    (cd "$dir" && apt-get source -qq --only-source "$pkg=${version[$pkg]}") >"$dir/unpack.log" 2>&1 ||
      { cat "$dir/unpack.log" >&2; die "apt-get source $pkg=${version[$pkg]} failed"; }
    find "$dir" -maxdepth 1 -type f ! -name unpack.log -delete
    touch "$dir/.unpacked"
  fi
  source_dir[$pkg]=$(find "$dir" -mindepth 1 -maxdepth 1 -type d | head -n 1)
}

# Runs one package's build unless it finished before; its output goes to a log.
build() {
  local name=$1; shift
  [ -e "$work/$name.done" ] && return
  say "building $name (log: $work/$name.log)"
  local start=$SECONDS
  rm -rf "${work:?}/$name"
  mkdir -p "$work/$name"
  # In the background, not in a condition, so that errexit holds in the recipe.
  (cd "$work/$name"; "$@") >"$work/$name.log" 2>&1 &
  if ! wait $!; then
    tail -n 40 "$work/$name.log" >&2
    die "building $name failed; the whole log is $work/$name.log"
  fi
  rm -rf "${work:?}/$name"
  touch "$work/$name.done"
  say "built $name in $((SECONDS - start)) s"
}

# CROSS_COMPILE wants one prefix for every tool, so the posix-thread compilers
# get the plain names here.
make_tool_dir() {
  mkdir -p "$work/tools"
  local tool
  for tool in gcc g++; do ln -sfn "$(command -v "$triple-$tool-posix")" "$work/tools/$triple-$tool"; done
  for tool in ar dlltool ld nm objcopy objdump ranlib strip windres; do
    ln -sfn "$(command -v "$triple-$tool")" "$work/tools/$triple-$tool"
  done
}

# QtCore only, with moc, rcc and qmake as build-machine programs for Qt's CMake
# files. -static on the DLL link puts libstdc++, libgcc and winpthreads inside
# Qt5Core.dll. Qt looks its paths up beside the DLL at run time (relocatable),
# so the baked-in -prefix is never used.
qt_recipe() {
  local src=${source_dir[qtbase-opensource-src]}
  "$src/configure" -prefix 'C:/Program Files/Common Files/hxcore/qt' -extprefix "$prefix" \
    -opensource -confirm-license -xplatform win32-g++ -device-option CROSS_COMPILE="$work/tools/$triple-" \
    -release -shared -no-gui -no-widgets -no-dbus -no-opengl -no-icu -no-iconv -no-zstd \
    -qt-zlib -qt-pcre -no-openssl -nomake examples -nomake tests 'QMAKE_LFLAGS_DLL+=-static'
  mkdir -p src && (cd src && ../bin/qmake -o Makefile "$src/src/src.pro")
  make -C src -j"$jobs" sub-corelib sub-rcc sub-winmain
  make -C src sub-corelib-install_subtargets sub-moc-install_subtargets sub-rcc-install_subtargets \
    sub-tracegen-install_subtargets sub-winmain-install_subtargets
  make install_mkspecs
  install -m 755 bin/qmake "$prefix/bin/qmake"
  rm -f "$prefix"/lib/libQt5Bootstrap.*   # moc's build-machine helper library
}

# Static libcrypto only (libcurl does its TLS over Schannel), without the
# algorithms and subsystems the library never calls; RSA, AES, HMAC, SHA, MD5
# and RAND stay. No openssl.cnf is read at start-up, so a stray file on the
# client's machine cannot change the library's crypto. The library and headers
# are copied by hand: OpenSSL's install targets would build libssl too, and
# without --prefix no path of this machine is baked into libcrypto.
openssl_recipe() {
  local src=${source_dir[openssl]}
  perl "$src/Configure" mingw64 --cross-compile-prefix="$triple-" \
    CC=gcc-posix CXX=g++-posix \
    no-shared no-module no-legacy no-tests no-engine no-dso no-async no-autoload-config \
    no-comp no-ssl3 no-dtls no-srp no-psk no-ui-console no-ocsp no-cms no-ts no-ct no-cmp \
    no-idea no-camellia no-seed no-rc2 no-rc4 no-rc5 no-whirlpool no-sm2 no-sm3 no-sm4 no-aria \
    no-blake2 no-cast no-mdc2 no-siphash no-scrypt no-dsa no-dh no-ec no-rfc3779
  make -j"$jobs" build_generated
  make -j"$jobs" libcrypto.a
  mkdir -p "$prefix/include/openssl" "$prefix/lib"
  cp "$src"/include/openssl/*.h include/openssl/*.h "$prefix/include/openssl/"
  cp libcrypto.a "$prefix/lib/"
}

# libcurl.dll with http, https and file only, TLS over Schannel.
curl_recipe() {
  cmake -S "${source_dir[curl]}" -B . -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_SYSTEM_NAME=Windows -DCMAKE_SYSTEM_PROCESSOR=x86_64 \
    -DCMAKE_C_COMPILER="$triple-gcc-posix" -DCMAKE_RC_COMPILER="$triple-windres" \
    -DCMAKE_FIND_ROOT_PATH="/usr/$triple" -DCMAKE_FIND_ROOT_PATH_MODE_PROGRAM=NEVER \
    -DCMAKE_FIND_ROOT_PATH_MODE_LIBRARY=ONLY -DCMAKE_FIND_ROOT_PATH_MODE_INCLUDE=ONLY -DCMAKE_FIND_ROOT_PATH_MODE_PACKAGE=ONLY \
    -DCMAKE_SHARED_LINKER_FLAGS="-static -static-libgcc" -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DBUILD_SHARED_LIBS=ON -DBUILD_CURL_EXE=OFF -DBUILD_TESTING=OFF -DENABLE_MANUAL=OFF \
    -DCURL_USE_SCHANNEL=ON -DCURL_USE_OPENSSL=OFF -DCURL_ZLIB=OFF -DUSE_LIBIDN2=OFF \
    -DCURL_USE_LIBPSL=OFF -DCURL_USE_LIBSSH2=OFF -DCURL_DISABLE_LDAP=ON -DCURL_DISABLE_LDAPS=ON \
    -DCURL_DISABLE_DICT=ON -DCURL_DISABLE_FTP=ON -DCURL_DISABLE_GOPHER=ON -DCURL_DISABLE_IMAP=ON \
    -DCURL_DISABLE_MQTT=ON -DCURL_DISABLE_POP3=ON -DCURL_DISABLE_RTSP=ON -DCURL_DISABLE_SMB=ON \
    -DCURL_DISABLE_SMTP=ON -DCURL_DISABLE_TELNET=ON -DCURL_DISABLE_TFTP=ON
  cmake --build . -j "$jobs"
  cmake --install . --strip
}

cjson_recipe() {
  mkdir -p "$prefix/src/cjson" "$prefix/include/cjson"
  cp "${source_dir[cjson]}"/cJSON.[ch] "$prefix/src/cjson/"
  cp "${source_dir[cjson]}/cJSON.h" "$prefix/include/cjson/"
}

# Debian's copyright file and the upstream licence texts of what the prefix
# holds, plus those of the mingw-w64 runtime linked into the DLLs.
licenses_recipe() {
  local pkg
  for pkg in "${packages[@]}"; do
    mkdir -p "$prefix/share/licenses/$pkg"
    cp "${source_dir[$pkg]}/debian/copyright" "$prefix/share/licenses/$pkg/"
    find "${source_dir[$pkg]}" -maxdepth 1 -type f \( -name 'LICENSE*' -o -name 'COPYING*' \) \
      -exec cp {} "$prefix/share/licenses/$pkg/" \;
  done
  for pkg in gcc-mingw-w64-base mingw-w64-common; do
    mkdir -p "$prefix/share/licenses/$pkg"
    cp "/usr/share/doc/$pkg/copyright" "$prefix/share/licenses/$pkg/"
  done
}

main() {
  bash "$repo/scripts/deps.sh" cross
  mkdir -p "$root"
  exec 9>"$root/.lock"
  flock -n 9 || { say "waiting for another run on $root"; flock 9; }

  local pkg key
  for pkg in "${packages[@]}"; do resolve_version "$pkg"; done
  key=$({ for pkg in "${packages[@]}"; do echo "$pkg ${version[$pkg]}"; done
          dpkg-query -W gcc-mingw-w64-x86-64-posix g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev \
            binutils-mingw-w64-x86-64
          sha256sum <"$script"; } | sha256sum | cut -c1-16)
  prefix=$root/$key
  work=$root/work/$key
  if [ -e "$prefix/.complete" ]; then
    say "$prefix is complete, nothing to do"
    echo "$prefix"
    return
  fi

  say "building into $prefix"
  local start=$SECONDS
  for pkg in "${packages[@]}"; do fetch_source "$pkg"; done
  mkdir -p "$prefix" "$work"
  make_tool_dir
  # Qt takes longest: OpenSSL and then libcurl build beside it.
  (build openssl openssl_recipe; build curl curl_recipe) &
  local side=$!
  build qt qt_recipe
  wait "$side" || die "the OpenSSL or libcurl build failed"
  build cjson cjson_recipe
  build licenses licenses_recipe
  touch "$prefix/.complete"
  say "$prefix is complete after $((SECONDS - start)) s"
  echo "$prefix"
}

main "$@"
