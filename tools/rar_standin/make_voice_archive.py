#!/usr/bin/env python3
"""Writes the sample voice archive: a standard ZIP holding the voice folder
with Ilvo.ddb, Ilvo.ddi and Ilvo.vvd of generated, deterministic content.

The content is pseudo-random bytes from a 64-symbol alphabet, repeated in
1 MiB blocks: it deflates to about three quarters of its size, so extraction
does real work, and generating a large archive stays fast.
"""
import argparse
import os
import random
import struct
import sys
import zipfile
import zlib

VOICE_FOLDER = "KT3WQ8ZRMD5LXNVC"
# Entry names and their shares of the total size, in archive order.
ENTRIES = [
    (VOICE_FOLDER + "/Ilvo.ddb", 12 / 16),
    (VOICE_FOLDER + "/Ilvo.ddi", 3 / 16),
    (VOICE_FOLDER + "/Ilvo.vvd", 1 / 16),
]
BLOCK_SIZE = 1 << 20
ALPHABET = bytes((i & 0x3F) | 0x40 for i in range(256))
FIXED_TIME = (2020, 1, 1, 0, 0, 0)
# Keeps every entry and offset below the ZIP64 limits.
MAX_SIZE_MB = 2500
LOCAL_HEADER = struct.Struct("<IHHHHHIIIHH")


def content_block(name):
    # A string seed is hashed with SHA-512: the same bytes on every run.
    return random.Random(name).randbytes(BLOCK_SIZE).translate(ALPHABET)


def write_entry(archive, name, size):
    info = zipfile.ZipInfo(name, date_time=FIXED_TIME)
    info.compress_type = zipfile.ZIP_DEFLATED
    info.external_attr = 0o644 << 16
    info.file_size = size
    block = content_block(name)
    with archive.open(info, "w") as entry:
        remaining = size
        while remaining > 0:
            entry.write(block[: min(remaining, BLOCK_SIZE)])
            remaining -= BLOCK_SIZE


def damage_entry(path, name):
    """Flips one bit in the middle of the entry's compressed data, choosing a
    place where the data still inflates to the full size, so only the CRC-32
    check can find the damage."""
    with zipfile.ZipFile(path) as archive:
        info = archive.getinfo(name)
    with open(path, "r+b") as file:
        file.seek(info.header_offset)
        fields = LOCAL_HEADER.unpack(file.read(LOCAL_HEADER.size))
        data_offset = info.header_offset + LOCAL_HEADER.size + fields[-2] + fields[-1]
        file.seek(data_offset)
        data = bytearray(file.read(info.compress_size))
        for offset in range(len(data) // 2, len(data)):
            data[offset] ^= 0x01
            inflater = zlib.decompressobj(-zlib.MAX_WBITS)
            try:
                output = inflater.decompress(bytes(data))
            except zlib.error:
                output = b""
            if inflater.eof and len(output) == info.file_size and zlib.crc32(output) != info.CRC:
                file.seek(data_offset + offset)
                file.write(data[offset : offset + 1])
                return
            data[offset] ^= 0x01
    raise SystemExit("make_voice_archive: found no place to damage " + name)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--output", required=True, help="archive to write")
    parser.add_argument("--size-mb", type=float, default=4.0,
                        help="total size of the three files in MiB (default 4)")
    parser.add_argument("--damaged", action="store_true",
                        help="corrupt the data of the last file so its CRC-32 check fails")
    args = parser.parse_args()
    if not 0 < args.size_mb <= MAX_SIZE_MB:
        parser.error(f"--size-mb must be above 0 and at most {MAX_SIZE_MB}")

    total = int(args.size_mb * BLOCK_SIZE)
    partial = args.output + ".partial"
    os.makedirs(os.path.dirname(os.path.abspath(args.output)), exist_ok=True)
    with zipfile.ZipFile(partial, "w", compression=zipfile.ZIP_DEFLATED) as archive:
        for name, share in ENTRIES:
            write_entry(archive, name, int(total * share))
    if args.damaged:
        damage_entry(partial, ENTRIES[-1][0])
    os.replace(partial, args.output)


if __name__ == "__main__":
    sys.exit(main())
