#!/usr/bin/env python3
"""Draws the installer window's art: the 115 x 115 picture shown at the upper
left (24-bit BMP) and the 32 x 32, 256-colour window icon (ICO).

Usage: make_window_art.py OUTPUT_FOLDER
Output is deterministic, so the files can be regenerated and compared."""
import math
import os
import struct
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "art_common"))
from picture_files import clamp, mix, write_bmp24  # noqa: E402


def voice_picture(size):
    """A singer's sound: a deep blue disc with concentric waves and a note."""
    top, bottom = (38, 84, 160), (14, 26, 66)
    wave = (120, 200, 255)
    note = (255, 236, 170)
    cx, cy = size * 0.40, size * 0.58
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            colour = mix(top, bottom, y / (size - 1))
            d = math.hypot(x - cx, y - cy)
            ring = (d % 16.0) / 16.0
            if d > 12 and abs(ring - 0.5) < 0.09 and x > cx - 4:
                fade = max(0.0, 1.0 - d / (size * 0.9))
                colour = mix(colour, wave, 0.85 * fade + 0.15)
            # a quaver: head, stem and flag
            hx, hy = size * 0.36, size * 0.66
            if ((x - hx) / 9.0) ** 2 + ((y - hy) / 6.5) ** 2 <= 1.0:
                colour = note
            if hx + 6 <= x <= hx + 9 and size * 0.22 <= y <= hy:
                colour = note
            if hx + 9 <= x <= hx + 22 and 0 <= (y - size * 0.22) - (x - hx - 9) * 0.6 <= 5:
                colour = note
            row.append(colour)
        rows.append(row)
    return rows


def write_ico8(path, rows):
    """One 32 x 32 image with a 256-entry palette and an all-opaque mask."""
    size = len(rows)
    palette = []
    index_of = {}
    pixels = []
    for row in rows:
        out = []
        for colour in row:
            # 6-6-6 colour cube quantisation keeps the palette within 256 entries
            q = tuple(int(round(c / 51.0)) * 51 for c in colour)
            if q not in index_of:
                index_of[q] = len(palette)
                palette.append(q)
            out.append(index_of[q])
        pixels.append(out)
    palette += [(0, 0, 0)] * (256 - len(palette))
    xor = bytearray()
    for row in reversed(pixels):
        xor += bytes(row)
    mask_stride = ((size + 31) // 32) * 4
    mask = b"\0" * (mask_stride * size)
    info = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 8, 0, len(xor) + len(mask), 0, 0, 256, 0)
    pal = b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
    image = info + pal + xor + mask
    directory = struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", size, size, 0, 0, 1, 8, len(image), 6 + 16)
    with open(path, "wb") as f:
        f.write(directory + image)


def shrink(rows, size):
    n = len(rows)
    out = []
    for y in range(size):
        row = []
        for x in range(size):
            acc = [0, 0, 0]
            y0, y1 = y * n // size, (y + 1) * n // size
            x0, x1 = x * n // size, (x + 1) * n // size
            count = 0
            for yy in range(y0, max(y1, y0 + 1)):
                for xx in range(x0, max(x1, x0 + 1)):
                    for i in range(3):
                        acc[i] += rows[yy][xx][i]
                    count += 1
            row.append(tuple(clamp(a / count) for a in acc))
        out.append(row)
    return out


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    picture = voice_picture(115)
    write_bmp24(os.path.join(out, "voice.bmp"), picture)
    write_ico8(os.path.join(out, "ilvo.ico"), shrink(picture, 32))


if __name__ == "__main__":
    main()
