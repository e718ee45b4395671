#!/usr/bin/env python3
# SPDX-License-Identifier: Apache-2.0
"""Looks for the development secrets in built files (libhxcore.so, hxcore.dll,
anything else): the private key's Base64 lines, the AES key and the IV, as
plain text and in the form tools/scramble_secrets stores them (a LEB128
length, then the text padded with zero bytes to 8-byte blocks, each
enciphered with XTEA under a 128-bit key). The scrambling key is tried as the
development folder has it and as every 16 bytes of the file's data sections
at a 4-byte boundary, the way anyone holding the file would recover it: a
build that carries the development key under a new scrambling key is found
too. Prints each find; exit status 1 when something was found, 0 when not.
  secrets_scan.py [--secrets DIR] FILE...   (DIR: secrets/development-only)
"""
import argparse
import re
import struct
import subprocess
import sys
from pathlib import Path

MASK = 0xFFFFFFFF
DELTA = 0x9E3779B9
PEM_START = b"-----BEG"  # the first block of every stored private key


def encipher(block, key):
    v0, v1 = struct.unpack("<2I", block)
    total = 0
    for _ in range(16):
        v0 = (v0 + ((((v1 << 4) ^ (v1 >> 5)) + v1) ^ (total + key[total & 3]))) & MASK
        total = (total + DELTA) & MASK
        v1 = (v1 + ((((v0 << 4) ^ (v0 >> 5)) + v0) ^ (total + key[(total >> 11) & 3]))) & MASK
    return struct.pack("<2I", v0, v1)


def scrambled_sample(text, key):
    """32 bytes of the scrambled text, from its middle: every private key begins
    and ends with the same 32 characters."""
    padded = text + b"\0" * (-len(text) % 8)
    start = len(padded) // 16 * 8 if len(padded) > 32 else 0
    return b"".join(encipher(padded[at:at + 8], key) for at in range(start, start + 32, 8))


def secrets_of(folder):
    """The stored texts, as the scrambler reads them, and plain pieces of them."""
    pem = (folder / "rsa_private_key.pem").read_bytes().replace(b"\r", b"")
    stored = {"private key": pem.replace(b"\n", b"==")}
    for name, file in (("AES key", "aes_key.txt"), ("AES IV", "aes_iv.txt")):
        stored[name] = (folder / file).read_bytes().rstrip(b"\r\n")
    plain = [(f"private key line {n}", line) for n, line in enumerate(pem.split(b"\n"), 1)
             if len(line) >= 16 and not line.startswith(b"-")]
    plain += [(name, text[:16]) for name, text in stored.items() if name != "private key"]
    key = struct.unpack("<4I", bytes.fromhex((folder / "scramble_key.txt").read_text().strip()))
    return stored, plain, key


def data_sections(path, size):
    """(start, end, writable) of each data section, or the whole file if objdump cannot read it."""
    try:
        listing = subprocess.run(["objdump", "-h", str(path)], capture_output=True, text=True,
                                 check=True).stdout
    except (OSError, subprocess.CalledProcessError):
        return [(0, size, True)]
    header = re.compile(r"^\s*\d+\s+\S+\s+([0-9a-f]+)\s+[0-9a-f]+\s+[0-9a-f]+\s+([0-9a-f]+)\s")
    sections, lines = [], listing.splitlines()
    for line, flags in zip(lines, lines[1:]):
        match = header.match(line)
        if match and "CONTENTS" in flags and "DATA" in flags and "CODE" not in flags:
            start = int(match.group(2), 16)
            sections.append((start, start + int(match.group(1), 16), "READONLY" not in flags))
    return sections or [(0, size, True)]


def candidate_keys(data, sections):
    """Every 16 bytes of data under which a private key's first block lies in writable data."""
    blocks = set()
    for start, end, writable in sections:
        if writable:
            blocks.update(data[at:at + 8] for at in range(start, end - 7))
    for start, end, _ in sections:
        for at in range(start + (-start % 4), end - 15, 4):
            key = struct.unpack_from("<4I", data, at)
            if encipher(PEM_START, key) in blocks:
                yield at, key


def scan(path, stored, plain, development_key):
    data = path.read_bytes()
    finds = [f"{name} in plain text" for name, text in plain if text in data]
    keys = [("the development scrambling key", development_key)]
    keys += [(f"the key at offset {at:#x}", key)
             for at, key in candidate_keys(data, data_sections(path, len(data)))
             if key != development_key]
    for where, key in keys:
        finds += [f"{name} scrambled under {where}" for name, text in stored.items()
                  if scrambled_sample(text, key) in data]
    return finds


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--secrets", type=Path,
                        default=Path(__file__).resolve().parent.parent / "secrets/development-only")
    parser.add_argument("files", nargs="+", type=Path)
    args = parser.parse_args()
    stored, plain, key = secrets_of(args.secrets)
    found = False
    for path in args.files:
        finds = scan(path, stored, plain, key)
        for find in finds:
            print(f"{path}: {find}")
        if not finds:
            print(f"{path}: none of the secrets of {args.secrets}")
        found = found or bool(finds)
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())
