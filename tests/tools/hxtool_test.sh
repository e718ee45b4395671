#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# hxtool as a user meets it: every command answers --help, a bad argument is
# one usage line and exit 2, a refusal is one sentence and exit 1, and the
# results agree with independent tools (coreutils, OpenSSL's command line).
#   hxtool_test.sh HXTOOL PUBLIC_KEY_PEM
set -u
hxtool=$1
public_key=$2
repository=$(cd "$(dirname "$0")/../.." && pwd)
version=$(cat "$repository/VERSION")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
failures=0

check() {  # check NAME EXPECTED ACTUAL
  if [ "$2" != "$3" ]; then
    printf 'FAIL %s\n  expected: %s\n  actual:   %s\n' "$1" "$2" "$3"
    failures=$((failures + 1))
  fi
}

status() { "$@" >/dev/null 2>&1; echo $?; }

# refused NAME ARGS...: exit 1 and one line "hxtool COMMAND: ..." on standard
# error, none of the library's records (they hold tabs).
refused() {
  "$hxtool" "${@:2}" >/dev/null 2>stderr
  check "$1: exit status" 1 $?
  check "$1: one sentence" "1 1" "$(wc -l <stderr) $(grep -c "^hxtool $2: [^	]*$" stderr)"
}

commands=$("$hxtool" --help | awk '/^  [a-z]/ {print $1}')
[ -n "$commands" ] || check "command list" "some commands" "none"
for command in $commands; do
  check "$command --help" 0 "$(status "$hxtool" "$command" --help)"
done
check "no command" 2 "$(status "$hxtool")"
check "unknown command" 2 "$(status "$hxtool" no-such-command)"
check "log with a bad level" 2 "$(status "$hxtool" log x message)"
check "usage error is one line" 1 "$("$hxtool" log x message 2>&1 >/dev/null | wc -l)"
# A library built with the public development secrets says so.
development=""
cmp -s "$public_key" "$repository/secrets/development-only/rsa_public_key.pem" &&
  development=" (development secrets)"
check "--version" "hxtool $version$development" "$("$hxtool" --version)"

head -c 100000 /dev/urandom >blob
check "md5 of a file" "$(md5sum blob | awk '{print toupper($1)}')" "$("$hxtool" md5 blob | awk '{print $1}')"
check "md5 of stdin" "900150983CD24FB0D6963F7D28E17F72" "$(printf abc | "$hxtool" md5 | awk '{print $1}')"
check "md5 of a missing file" 1 "$(status "$hxtool" md5 no-such-file)"

check "guid length" 24 "$("$hxtool" guid 24 | tr -d '\n' | wc -c)"
check "guid alphabet" "" "$("$hxtool" guid 63 | tr -d 'A-Za-z0-9\n')"
refused "guid too long" guid 64
"$hxtool" --verbose guid 64 2>stderr
check "--verbose adds the library's record" "1 1" "$(grep -c '	\[E|HX\]	' stderr) $(grep -c '^hxtool guid: ' stderr)"

refused "url refused" url 'http://[::1'
check "url refusal message" "hxtool url: Missing ] in 'http://[::1'" "$(cat stderr)"
check "url built from setters" 0 "$(status "$hxtool" url --set scheme=https --set host=example.com)"

secret="development secret"
expected=$(printf %s "request text" | openssl dgst -sha1 -hmac "$secret" | awk '{print $NF}')
# The secret from standard input (its line break dropped), and on the command line.
for encrypted in "$(echo "$secret" | "$hxtool" encrypt-secret --public-key "$public_key" -)" \
                 "$("$hxtool" encrypt-secret --public-key "$public_key" "$secret")"; do
  check "signature against openssl" "$expected" \
    "$("$hxtool" sign --hex --encrypted-secret "$encrypted" "request text" 2>/dev/null)"
done
check "aes round trip" "short text" \
  "$("$hxtool" aes decrypt "$("$hxtool" aes encrypt "short text" 2>/dev/null)" 2>/dev/null)"
refused "aes decrypt of no Base64" aes decrypt 'not-base64!!'
refused "aes decrypt of no ciphertext" aes decrypt QUJD
refused "unreadable public key" encrypt-secret --public-key no-such-file "$secret"
refused "sign with a bad secret" sign --encrypted-secret QUJD "request text"
refused "fetch of a missing file" fetch "file://$PWD/no-such-file"

check "config round trip" "värde ✓" \
  "$("$hxtool" config set key "värde ✓" >/dev/null 2>&1; "$hxtool" config get key 2>/dev/null)"
check "config path" "$PWD/.iot_smart_config.ini" "$("$hxtool" config path)"
check "config path names the file set wrote" 1 "$(grep -c '^key=' "$("$hxtool" config path)")"
check "a new settings file is its owner's only" 600 "$(stat -c %a .iot_smart_config.ini)"
cp .iot_smart_config.ini before
# A full disk, injected: no file written by hxtool may pass 1 KiB (EFBIG, not a signal).
printf '#!/bin/sh\ntrap "" XFSZ; ulimit -f 1; exec "%s" "$@"\n' "$hxtool" >small_disk
chmod +x small_disk
hxtool=./small_disk refused "config set on a full disk" config set big "$(printf %03000d 0)"
check "a full disk leaves the settings file whole" "" "$(cmp before .iot_smart_config.ini 2>&1)"
mv .iot_smart_config.ini victim && ln -s victim .iot_smart_config.ini
refused "config set through a planted link" config set key other
check "a planted link's target is left alone" "" "$(cmp before victim 2>&1)"
rm .iot_smart_config.ini && mkdir .iot_smart_config.ini  # a path nobody, root included, writes
refused "config set into an unwritable settings file" config set key value

[ $failures -eq 0 ] && echo "hxtool: every check passed"
exit $((failures > 0))
