#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# The Debian packages on the release path. Checks that a package build with
# the public development secrets is refused unless the builder opts in; builds
# the packages (libhxcore1, libhxcore-dev, hxcore-tools and their -dbgsym,
# libhxcore-doc) from a copy of the source tree with a throw-away secrets
# folder made as a release makes its own (scripts/new_secrets.sh); fails on any
# lintian error; installs them, checks that the reference's main page is the
# client guide, and builds and runs the example clients against /usr; and
# checks what the release carries: hxtool signs with the new key and encrypts
# with the new AES key and IV as OpenSSL's command line does, and claims no
# development secrets; hardening-check passes on the library and hxtool; and
# scripts/secrets_scan.py finds none of the development key material in the
# library, while it finds it in DEVELOPMENT_LIBRARY (a build with them, such as
# scripts/test.sh leaves), so that finding nothing means something. The unit
# tests ran before, so the package build skips them (DEB_BUILD_OPTIONS=nocheck).
# Needs root or sudo.
#   scripts/deb_test.sh [DEVELOPMENT_LIBRARY]   (default: build/default/libhxcore.so)
set -euo pipefail
trap 'echo "deb: failed at line $LINENO" >&2' ERR
cd "$(dirname "$0")/.."
bash scripts/deps.sh build ship
development_library=${1:-build/default/libhxcore.so}
[ -f "$development_library" ] ||
  { echo "deb: no $development_library: build the default preset first (scripts/test.sh)" >&2; exit 1; }
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"

version=$(dpkg-parsechangelog -l debian/changelog -S Version)
if [ "$version" != "$(cat VERSION)" ]; then
  echo "deb: debian/changelog is at $version, VERSION at $(cat VERSION)" >&2
  exit 1
fi

work=$(mktemp -d)
installed=no
cleanup() {
  if [ "$installed" = yes ]; then
    $sudo apt-get remove -y -qq -o DPkg::Lock::Timeout=600 libhxcore1 libhxcore-dev hxcore-tools \
      libhxcore-doc >/dev/null
  fi
  rm -rf "$work"
}
trap cleanup EXIT

# The tree as committed plus new files not ignored, so nothing of build/ goes
# in and the packages land in $work rather than beside the checkout.
mkdir "$work/hxcore"
git ls-files -z --cached --others --exclude-standard |
  tar --null -T - -cf - | tar -xf - -C "$work/hxcore"
build_packages() {  # build_packages LOG [VARIABLE=VALUE...]
  local log=$1; shift
  (cd "$work/hxcore" && env -u HXCORE_SECRETS_DIR -u HXCORE_ALLOW_DEVELOPMENT_SECRETS "$@" \
     DEB_BUILD_OPTIONS="nocheck parallel=2" dpkg-buildpackage -us -uc -b >"$log" 2>&1)
}

# Without a secrets folder of its own, the build stops at once, saying how to go on.
if build_packages "$work/refused.log"; then
  echo "deb: the packages were built with the development secrets, no opt-in given" >&2
  exit 1
fi
grep -q "HXCORE_ALLOW_DEVELOPMENT_SECRETS=ON" "$work/refused.log" ||
  { tail -20 "$work/refused.log"; echo "deb: the refusal does not name the opt-in" >&2; exit 1; }

bash scripts/new_secrets.sh "$work/secrets"
secrets=$work/secrets
build_packages "$work/build.log" HXCORE_SECRETS_DIR="$secrets" || { tail -40 "$work/build.log"; exit 1; }
ls "$work"/*.deb

lintian --fail-on error "$work"/hxcore_*.changes

installed=yes
$sudo apt-get install -y -qq --no-install-recommends -o DPkg::Lock::Timeout=600 \
  "$work"/libhxcore1_*.deb "$work"/libhxcore-dev_*.deb "$work"/hxcore-tools_*.deb \
  "$work"/libhxcore-doc_*.deb >/dev/null
grep -q '<title>hxcore: hxcore client guide' /usr/share/doc/hxcore/html/index.html
bash scripts/examples_test.sh /usr

# What the release carries: its own secrets, working, and hardened binaries.
expect() {  # expect WHAT EXPECTED ACTUAL
  [ "$2" = "$3" ] || { printf 'deb: %s\n  expected: %s\n  actual:   %s\n' "$1" "$2" "$3" >&2; exit 1; }
}
hex16() { head -c 16 "$1" | od -An -tx1 | tr -d ' \n'; }
library=$(dpkg -L libhxcore1 | grep '/libhxcore\.so\.[0-9.]*$' | sort | tail -1)
(
  cd "$work"
  expect "hxtool --version" "hxtool $version" "$(hxtool --version)"
  encrypted=$(echo "release secret" | hxtool encrypt-secret --public-key "$secrets/rsa_public_key.pem" -)
  expect "signature under the new key" \
    "$(printf %s "request" | openssl dgst -sha1 -hmac "release secret" | awk '{print $NF}')" \
    "$(hxtool sign --hex --encrypted-secret "$encrypted" request)"
  expect "AES under the new key and IV" \
    "$(printf %s "short text" | openssl enc -aes-128-cbc -K "$(hex16 "$secrets/aes_key.txt")" \
         -iv "$(hex16 "$secrets/aes_iv.txt")" -base64 -A)" \
    "$(hxtool aes encrypt "short text")"
)
# Debian 12's crti.o and crtn.o carry no IBT/SHSTK property, so no program
# linked on it gets the control-flow note, -fcf-protection or not.
hardening-check --nocfprotection "$library" /usr/bin/hxtool
python3 scripts/secrets_scan.py "$library"
if python3 scripts/secrets_scan.py "$development_library" >"$work/scan.log"; then
  cat "$work/scan.log"; echo "deb: the secrets scan finds nothing in $development_library either" >&2; exit 1
fi
echo "deb: a build with the development secrets refused; packages built with throw-away secrets," \
     "lintian clean of errors, examples built against them; the secrets work, the binaries are" \
     "hardened, and no development key material is in the library"
