#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# Installs the Debian packages that hxcore's build, tests, benchmarks, Windows
# cross-build and shipping (reference, ABI check, Debian packages) need, and only those that are missing. Idempotent and
# silent when everything is already there.
#
#   scripts/deps.sh [build|test|bench|cross|ship|all]...   (default: build test)
set -euo pipefail

build_pkgs=(cmake ninja-build g++ pkg-config binutils
            qtbase5-dev libcurl4-openssl-dev libssl-dev libcjson-dev)
test_pkgs=(libgtest-dev libgmock-dev clang libclang-rt-14-dev openssl python3)
bench_pkgs=(libbenchmark-dev libspdlog-dev liburiparser-dev)
# The Windows cross-build: compilers and binutils for x86_64-w64-mingw32, Wine
# to run the tests, GoogleTest's sources to build for the target; and what
# scripts/win_deps.sh needs to fetch Debian's sources of Qt, OpenSSL, libcurl and
# cJSON at the versions of their Linux packages and build them (a native g++
# for Qt's moc, rcc and qmake).
cross_pkgs=(cmake ninja-build g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 wine64 googletest
            dpkg-dev xz-utils make perl g++ qtbase5-dev libssl-dev libcurl4-openssl-dev libcjson-dev)
# Shipping: the Doxygen reference, the libabigail ABI check, the Debian packages,
# hardening-check (devscripts) on the built binaries.
ship_pkgs=(doxygen abigail-tools build-essential debhelper dpkg-dev fakeroot lintian devscripts)

groups=("$@")
[ ${#groups[@]} -eq 0 ] && groups=(build test)

wanted=()
for g in "${groups[@]}"; do
  case "$g" in
    build) wanted+=("${build_pkgs[@]}") ;;
    test)  wanted+=("${build_pkgs[@]}" "${test_pkgs[@]}") ;;
    bench) wanted+=("${build_pkgs[@]}" "${bench_pkgs[@]}") ;;
    cross) wanted+=("${cross_pkgs[@]}") ;;
    ship)  wanted+=("${build_pkgs[@]}" "${ship_pkgs[@]}") ;;
    all)   wanted+=("${build_pkgs[@]}" "${test_pkgs[@]}" "${bench_pkgs[@]}" "${cross_pkgs[@]}"
                    "${ship_pkgs[@]}") ;;
    *) echo "usage: scripts/deps.sh [build|test|bench|cross|ship|all]..." >&2; exit 2 ;;
  esac
done

missing=()
for p in "${wanted[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [ "$status" = "install ok installed" ] || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

# Deduplicate while keeping order.
mapfile -t missing < <(printf '%s\n' "${missing[@]}" | awk '!seen[$0]++')
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "deps: installing ${missing[*]}" >&2
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq >/dev/null
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
