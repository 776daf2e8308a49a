#!/usr/bin/env python3
"""Draws the Tandrel64 icon and writes ui/tandrel64.ico.

The picture: a white arch bridge over a strip of film on a blue tile, the
bridge that carries 32-bit codecs over to 64-bit programs. It is drawn from
shapes at 32 by 32 and 16 by 16, eight samples a pixel each way, and stored
with 256 colours and a transparency mask, as the dialogs' icon 118 wants.

    python3 ui/tandrel64_icon.py [--png DIR]

--png also writes both sizes as PNG files, to look at them.
"""

import os
import struct
import sys
import zlib

SAMPLES = 8
TILE_TOP = (58, 120, 226)
TILE_BOTTOM = (20, 58, 140)
FILM = (245, 166, 35)
FILM_HOLE = (60, 38, 10)
BRIDGE = (255, 255, 255)


def rounded_tile(x, y, size):
    """True inside the tile: a square one unit in from the edge, rounded."""
    radius = size * 0.19
    lo, hi = size * 0.03, size * 0.97
    if not (lo <= x < hi and lo <= y < hi):
        return False
    cx = min(max(x, lo + radius), hi - radius)
    cy = min(max(y, lo + radius), hi - radius)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2


def colour_at(x, y, size):
    """The colour at a point of a size-by-size icon (units of the 32 icon)."""
    u, v = x * 32.0 / size, y * 32.0 / size
    small = size <= 16
    # Film strip across the lower part, with sprocket holes.
    if 21.5 <= v < 29.0:
        pitch = 8.0 if small else 4.0
        in_row = 22.6 <= v < 24.4 or 26.1 <= v < 27.9
        if in_row and (u - 2.0) % pitch < pitch / 2:
            return FILM_HOLE
        return FILM
    # Deck of the bridge.
    if 16.0 <= v < 19.0 and 3.0 <= u < 29.0:
        return BRIDGE
    # Arch and its hangers, above the deck.
    if v < 16.0:
        r = ((u - 16.0) ** 2 + (v - 23.0) ** 2) ** 0.5
        thickness = 3.0 if small else 2.6
        if 13.0 - thickness <= r < 13.0:
            return BRIDGE
        hangers = (10.0, 16.0, 22.0) if not small else (16.0,)
        if r < 13.0 - thickness and any(abs(u - h) < (0.9 if small else 0.75) for h in hangers):
            return BRIDGE
    t = v / 32.0
    return tuple(round(a + (b - a) * t) for a, b in zip(TILE_TOP, TILE_BOTTOM))


def draw(size):
    """Rows of (r, g, b) or None for transparent pixels, top row first."""
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            inside, total = 0, [0, 0, 0]
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    x = px + (sx + 0.5) / SAMPLES
                    y = py + (sy + 0.5) / SAMPLES
                    if rounded_tile(x, y, size):
                        inside += 1
                        for i, c in enumerate(colour_at(x, y, size)):
                            total[i] += c
            if inside * 2 < SAMPLES * SAMPLES:
                row.append(None)
            else:
                row.append(tuple(round(c / inside) for c in total))
        rows.append(row)
    return rows


def palette_for(images):
    """At most 256 colours: channels are coarsened until the images fit."""
    step = 1
    while True:
        def coarse(c, step=step):
            return tuple(min(255, round(v / step) * step) for v in c)
        colours = sorted({coarse(c) for rows in images for row in rows for c in row if c is not None})
        if len(colours) <= 256:
            return colours, coarse
        step += 1


def ico_image(rows, palette, coarse):
    size = len(rows)
    index = {c: i for i, c in enumerate(palette)}
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 8, 0, 0, 0, 0, 256, 0)
    colours = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)
    colours += b"\0\0\0\0" * (256 - len(palette))
    pixels, mask = b"", b""
    mask_stride = ((size + 31) // 32) * 4
    for row in reversed(rows):
        pixels += bytes(0 if c is None else index[coarse(c)] for c in row)
        bits = 0
        for c in row:
            bits = (bits << 1) | (1 if c is None else 0)
        mask += bits.to_bytes((size + 7) // 8, "big").ljust(mask_stride, b"\0")
    return header + colours + pixels + mask


def png(rows):
    size = len(rows)
    raw = b"".join(b"\0" + b"".join(bytes((0, 0, 0, 0)) if c is None else bytes(c) + b"\xff" for c in row)
                   for row in rows)

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    ihdr = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr) + chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b"")


def main():
    sizes = (32, 16)
    images = [draw(size) for size in sizes]
    palette, coarse = palette_for(images)
    blobs = [ico_image(rows, palette, coarse) for rows in images]
    out = struct.pack("<HHH", 0, 1, len(blobs))
    offset = 6 + 16 * len(blobs)
    for size, blob in zip(sizes, blobs):
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 8, len(blob), offset)
        offset += len(blob)
    out += b"".join(blobs)
    here = os.path.dirname(os.path.abspath(__file__))
    with open(os.path.join(here, "tandrel64.ico"), "wb") as f:
        f.write(out)
    if len(sys.argv) == 3 and sys.argv[1] == "--png":
        for size, rows in zip(sizes, images):
            with open(os.path.join(sys.argv[2], "tandrel64-%d.png" % size), "wb") as f:
                f.write(png([[None if c is None else coarse(c) for c in row] for row in rows]))


if __name__ == "__main__":
    main()
