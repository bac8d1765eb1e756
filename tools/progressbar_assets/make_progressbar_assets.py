#!/usr/bin/env python3
"""Draws the progress bar's built-in pictures as uncompressed 24-bit BMP files:
the frame `img` (59 x 13), the eraser `blank` (8 x 10) and three 8 x 10 tiles
for each of the eight looks (<look>_<tile>.bmp).

Usage: make_progressbar_assets.py [OUTPUT_FOLDER]
Without a folder it writes into controls/progressbar/assets of this tree.
The output is deterministic, so the committed files can be regenerated and
compared byte for byte."""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "art_common"))
from picture_files import clamp, mix, write_bmp24  # noqa: E402

WHITE = (255, 255, 255)

# What shows through the frame's rounded outer corners: the white window
# background the bars sit on, so that the anti-aliased corners fade into it.
FRAME_OUTSIDE = WHITE
FRAME_OUTER = (96, 96, 96)        # dark grey
FRAME_MIDDLE = (190, 190, 190)    # light grey
FRAME_INNER = (244, 244, 244)     # near-white
FRAME_WIDTH, FRAME_HEIGHT = 59, 13
FRAME_RADIUS = 3.0
SUBSAMPLES = 8
# The control copies the trough's interior from this rectangle (x, y, w, h) of
# the frame picture and erases the busy runner with the `blank` tile, over the
# same rows. The rectangle reaches one row into the bottom ring, so it is kept
# the eraser's white: an erased segment is then the same as a fresh trough. The
# bottom edge is copied from column 3, which keeps the ring.
INTERIOR_SOURCE = (4, 4, 51, 7)

TILE_WIDTH, TILE_HEIGHT = 8, 10

# Look sets in ProgressLook order: name, full colour, shading profile.
LOOKS = [
    ("master", (36, 200, 52), "gloss"),
    ("blue", (36, 104, 236), "gloss"),
    ("bluemet", (28, 92, 112), "metal"),
    ("goldmet", (206, 160, 32), "gloss"),
    ("grmet", (96, 138, 88), "metal"),
    ("greymet", (124, 124, 124), "gloss"),
    ("orangemet", (238, 176, 18), "gloss"),
    ("redmet", (236, 108, 24), "gloss"),
]

# How far each row is lifted towards white: light at the top and bottom,
# full strength in the middle, for a rounded bar. The metal profile adds a
# sharp highlight under the top row.
PROFILES = {
    "gloss": [0.62, 0.44, 0.26, 0.10, 0.0, 0.0, 0.06, 0.18, 0.34, 0.52],
    "metal": [0.40, 0.72, 0.38, 0.12, 0.0, 0.0, 0.10, 0.24, 0.40, 0.50],
}


def frame_depth(px, py):
    """Distance of a point inside the rounded outer edge from that edge
    (negative outside), and whether the bottom side is the nearest side."""
    w, h, r = FRAME_WIDTH, FRAME_HEIGHT, FRAME_RADIUS
    cx = min(max(px, r), w - r)
    cy = min(max(py, r), h - r)
    dx, dy = px - cx, py - cy
    if dx != 0 and dy != 0:
        depth = r - (dx * dx + dy * dy) ** 0.5
    else:
        depth = min(px, py, w - px, h - py)
    to_bottom = h - py
    bottom_nearest = to_bottom < px and to_bottom < w - px and to_bottom < py
    return depth, bottom_nearest


def frame_colour_at(px, py):
    depth, bottom_nearest = frame_depth(px, py)
    if depth < 0:
        return FRAME_OUTSIDE
    if depth < 1:
        return FRAME_OUTER
    if depth < 2:
        return FRAME_INNER if bottom_nearest else FRAME_MIDDLE
    if depth < 3:
        return FRAME_INNER
    return WHITE


def frame_picture():
    """Three rounded rings around a white interior, anti-aliased by averaging
    SUBSAMPLES x SUBSAMPLES points per pixel."""
    rows = []
    n = SUBSAMPLES
    for y in range(FRAME_HEIGHT):
        row = []
        for x in range(FRAME_WIDTH):
            total = [0, 0, 0]
            for sy in range(n):
                for sx in range(n):
                    c = frame_colour_at(x + (sx + 0.5) / n, y + (sy + 0.5) / n)
                    for i in range(3):
                        total[i] += c[i]
            row.append(tuple(clamp(t / (n * n)) for t in total))
        rows.append(row)
    ix, iy, iw, ih = INTERIOR_SOURCE
    for y in range(iy, iy + ih):
        for x in range(ix, ix + iw):
            rows[y][x] = WHITE
    return rows


def full_block(colour, profile):
    lift = PROFILES[profile]
    return [[mix(colour, WHITE, lift[y])] * TILE_WIDTH for y in range(TILE_HEIGHT)]


def pale(colour, amount):
    return mix(colour, WHITE, amount)


def look_tiles(colour, profile):
    """Tile 0: a pale tint, palest at the left. Tile 1: the full block fading
    to the tint towards its left edge. Tile 2: the full block."""
    block = full_block(colour, profile)
    tile0, tile1 = [], []
    for y in range(TILE_HEIGHT):
        row0, row1 = [], []
        for x in range(TILE_WIDTH):
            towards_right = x / (TILE_WIDTH - 1)
            tint = pale(block[y][x], 0.78 - 0.30 * towards_right)
            row0.append(tint)
            row1.append(mix(tint, block[y][x], 0.25 + 0.75 * towards_right))
        tile0.append(row0)
        tile1.append(row1)
    return [tile0, tile1, block]


def pictures():
    yield "img", frame_picture()
    yield "blank", [[WHITE] * TILE_WIDTH for _ in range(TILE_HEIGHT)]  # the interior's colour
    for name, colour, profile in LOOKS:
        for index, tile in enumerate(look_tiles(colour, profile)):
            yield f"{name}_{index}", tile


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    default = os.path.join(here, "..", "..", "controls", "progressbar", "assets")
    out = sys.argv[1] if len(sys.argv) > 1 else default
    os.makedirs(out, exist_ok=True)
    for name, rows in pictures():
        write_bmp24(os.path.join(out, name + ".bmp"), rows)


if __name__ == "__main__":
    main()
