#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# Builds the Debian packages (libhxcore1, libhxcore-dev, hxcore-tools and
# their -dbgsym, libhxcore-doc) from a copy of the source tree, fails on any
# lintian error, installs them, checks that the reference's main page is the
# client guide, builds and runs the example clients against /usr, and
# removes them again. The unit tests ran before, so the package build skips
# them (DEB_BUILD_OPTIONS=nocheck). Needs root or sudo to install.
#   scripts/deb_test.sh
set -euo pipefail
trap 'echo "deb: failed at line $LINENO" >&2' ERR
cd "$(dirname "$0")/.."
bash scripts/deps.sh build ship
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
(cd "$work/hxcore" && DEB_BUILD_OPTIONS="nocheck parallel=2" dpkg-buildpackage -us -uc -b >"$work/build.log" 2>&1) ||
  { tail -40 "$work/build.log"; exit 1; }
ls "$work"/*.deb

lintian --fail-on error "$work"/hxcore_*.changes

installed=yes
$sudo apt-get install -y -qq --no-install-recommends -o DPkg::Lock::Timeout=600 \
  "$work"/libhxcore1_*.deb "$work"/libhxcore-dev_*.deb "$work"/hxcore-tools_*.deb \
  "$work"/libhxcore-doc_*.deb >/dev/null
grep -q '<title>hxcore: hxcore client guide' /usr/share/doc/hxcore/html/index.html
bash scripts/examples_test.sh /usr
echo "deb: packages built, lintian clean of errors, the reference installed, examples built against them"
