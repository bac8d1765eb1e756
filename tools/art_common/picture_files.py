"""What the art tools share: colour arithmetic and the 24-bit BMP file
format. Pictures are lists of rows of (r, g, b), top row first."""
import struct


def clamp(v):
    return max(0, min(255, int(round(v))))


def mix(a, b, t):
    """a moved by t towards b."""
    return tuple(clamp(a[i] + (b[i] - a[i]) * t) for i in range(3))


def bmp24(rows):
    """An uncompressed 24-bit BMP file's bytes; rows stored bottom-up, each
    padded to four bytes."""
    height, width = len(rows), len(rows[0])
    stride = (width * 3 + 3) & ~3
    data = bytearray()
    for row in reversed(rows):
        line = bytearray()
        for r, g, b in row:
            line += bytes((b, g, r))
        line += b"\0" * (stride - len(line))
        data += line
    header = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(data), 0, 0, 14 + 40)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    return header + info + bytes(data)


def write_bmp24(path, rows):
    with open(path, "wb") as f:
        f.write(bmp24(rows))
