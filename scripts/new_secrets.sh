#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# Makes a new secrets folder for HXCORE_SECRETS_DIR, with the recipe of
# secrets/development-only/README.md: a fresh 2048-bit RSA key (generated
# again while a Base64 line ends in "=", which the stored form cannot
# restore), its public half, an AES key and IV whose first 16 bytes (all that
# AES-128 reads) are random bytes of any value but zero, and a scrambling key.
# CI builds the Debian packages with such a throw-away folder; a release keeps
# its folder out of the repository.
#   scripts/new_secrets.sh DIR   (DIR must not exist)
set -euo pipefail
dir=${1:?usage: scripts/new_secrets.sh DIR}
mkdir -m 700 "$dir"
cd "$dir"
umask 077
until openssl genpkey -algorithm RSA -pkeyopt rsa_keygen_bits:2048 -out rsa_private_key.pem 2>/dev/null &&
      ! grep -q '=$' rsa_private_key.pem; do :; done
openssl pkey -in rsa_private_key.pem -pubout -out rsa_public_key.pem
# 16 random non-zero bytes, then 16 characters AES-128 does not read.
for file in aes_key.txt aes_iv.txt; do
  { openssl rand 64 | tr -d '\000' | head -c 16; openssl rand -hex 8; } >"$file"
done
openssl rand -hex 16 >scramble_key.txt
