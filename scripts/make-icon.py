#!/usr/bin/env python3
"""Draws setup.exe's icon and writes it as a Windows .ico file.

    scripts/make-icon.py app/win32/setup.ico

The picture: a white arrow going down into an amber tray on a blue tile shaded as the
installer's background is. Each size comes in 16 colours (what Windows 95 and NT 4.0 show
on any display) and in 256 colours; pixels are drawn, not scaled, so that the small size
stays sharp. The output is the same on every run.
"""
import struct
import sys

# The 16 colours of the standard Windows palette, in their index order.
VGA = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
       (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
       (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]

WHITE = (255, 255, 255)
AMBER = (255, 200, 0)
EDGE = (0, 0, 64)

# Where the shapes lie for each size: (tile corner radius, arrow shaft x0, x1, y0, y1,
# head y0, y1, x0, x1, tray x0, x1, top y, bottom y0, y1, side width).
LAYOUT = {
    32: (4, 13, 18, 5, 14, 15, 22, 7, 24, 6, 25, 19, 24, 26, 3),
    16: (2, 6, 9, 2, 6, 7, 10, 3, 12, 2, 13, 9, 12, 13, 2),
}


def draw(size):
    """The picture as rows of colours; None is a transparent pixel."""
    r, sx0, sx1, sy0, sy1, hy0, hy1, hx0, hx1, tx0, tx1, ty, by0, by1, side = LAYOUT[size]
    last = size - 1
    top, bottom = (40, 96, 232), (8, 20, 104)
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            # The rounded tile: outside its corners is transparent.
            cx = r - x if x < r else x - (last - r) if x > last - r else 0
            cy = r - y if y < r else y - (last - r) if y > last - r else 0
            if cx * cx + cy * cy > r * r:
                row.append(None)
                continue
            edge = (cx * cx + cy * cy > (r - 1) * (r - 1) or x in (0, last) or y in (0, last))
            t = y / last
            colour = EDGE if edge else tuple(round(a + (b - a) * t) for a, b in zip(top, bottom))
            # The arrow: a shaft, then a head narrowing to a point.
            if sx0 <= x <= sx1 and sy0 <= y <= sy1:
                colour = WHITE
            if hy0 <= y <= hy1:
                inset = (y - hy0) * (hx1 - hx0 + 1) / (2 * (hy1 - hy0 + 1))
                if hx0 + inset - 0.5 <= x <= hx1 - inset + 0.5:
                    colour = WHITE
            # The tray: a floor and two sides.
            if tx0 <= x <= tx1 and by0 <= y <= by1:
                colour = AMBER
            if ty <= y <= by1 and (tx0 <= x < tx0 + side or tx1 - side < x <= tx1):
                colour = AMBER
            row.append(colour)
        rows.append(row)
    return rows


def nearest(colour, palette):
    return min(range(len(palette)),
               key=lambda i: sum((a - b) ** 2 for a, b in zip(colour, palette[i])))


# A 4 x 4 ordered dither, so that the tile's shading shows in 16 colours.
BAYER = [[0, 8, 2, 10], [12, 4, 14, 6], [3, 11, 1, 9], [15, 7, 13, 5]]


def indexed(rows, bits):
    """Palette and rows of palette indices (transparent pixels take index 0)."""
    if bits == 4:
        # The shapes take their nearest colour; the tile is dithered between blue and navy,
        # lighter at the top as the shaded one is.
        out = []
        for y, row in enumerate(rows):
            line = []
            for x, colour in enumerate(row):
                if colour is None:
                    line.append(0)
                elif colour in (WHITE, AMBER, EDGE):
                    line.append(nearest(colour, VGA))
                else:
                    t = y / (len(rows) - 1)
                    line.append(4 if (BAYER[y % 4][x % 4] + 0.5) / 16 < t else 12)
            out.append(line)
        return VGA, out
    palette = [(0, 0, 0)]
    for row in rows:
        for colour in row:
            if colour is not None and colour not in palette:
                palette.append(colour)
    assert len(palette) <= 256
    palette += [(0, 0, 0)] * (256 - len(palette))
    return palette, [[0 if c is None else palette.index(c) for c in row] for row in rows]


def padded(data):
    return data + b"\0" * (-len(data) % 4)


def image(size, bits):
    """One icon image: header, palette, colour rows and mask rows, both bottom up."""
    rows = draw(size)
    palette, indices = indexed(rows, bits)
    colour_rows = b""
    mask_rows = b""
    for y in reversed(range(size)):
        if bits == 4:
            line = bytes((indices[y][x] << 4) | indices[y][x + 1] for x in range(0, size, 2))
        else:
            line = bytes(indices[y])
        colour_rows += padded(line)
        mask = 0
        for x in range(size):
            mask = (mask << 1) | (rows[y][x] is None)
        mask_rows += padded(mask.to_bytes(size // 8, "big"))
    header = struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, bits, 0,
                         len(colour_rows) + len(mask_rows), 0, 0, 0, 0)
    table = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)
    return header + table + colour_rows + mask_rows


def icon():
    kinds = [(32, 4), (16, 4), (32, 8), (16, 8)]
    images = [image(size, bits) for size, bits in kinds]
    out = struct.pack("<HHH", 0, 1, len(kinds))
    offset = 6 + 16 * len(kinds)
    for (size, bits), data in zip(kinds, images):
        out += struct.pack("<BBBBHHII", size, size, 16 if bits == 4 else 0, 0, 1, bits,
                           len(data), offset)
        offset += len(data)
    return out + b"".join(images)


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit("usage: make-icon.py OUT.ico")
    with open(sys.argv[1], "wb") as f:
        f.write(icon())
