#!/usr/bin/env python3
"""Draws the program's icon and writes it as a Windows .ico file.

    make_icon.py OUT.ico [PREVIEW.png]

The picture: a blue tile, white corner marks of a selection and an amber cut in
the middle. It is laid out on a 16-unit grid so that at 16 pixels every edge falls
on a pixel edge and the marks stay sharp; the larger sizes are the same drawing.
The 16, 24, 32 and 48 pixel images are 32-bit bitmaps with a mask (what every
Windows version reads); the 256 pixel one is a PNG, as Windows expects at that size.
Only the standard library is used.
"""

import struct
import sys
import zlib

SIZES = (16, 24, 32, 48, 256)

# Colours as (red, green, blue).
TILE_TOP = (0x2B, 0x79, 0xD6)
TILE_BOTTOM = (0x17, 0x4E, 0xA6)
TILE_EDGE = (0x0E, 0x35, 0x7A)
MARK = (0xFF, 0xFF, 0xFF)
CUT = (0xFF, 0xB0, 0x20)
CUT_EDGE = (0xB8, 0x6A, 0x00)

# Grid units (the icon is 16 x 16 units).
TILE_RADIUS = 3.0
MARK_BOX = (2.0, 2.0, 14.0, 14.0)
MARK_ARM = 4.0
MARK_WIDTH = 2.0
CUT_BOX = (6.0, 6.0, 10.0, 10.0)


def overlap(a0, a1, b0, b1):
    return max(0.0, min(a1, b1) - max(a0, b0))


def rect_cover(x, y, box):
    """Share of the pixel (x, y) covered by an axis-aligned box in pixels."""
    x0, y0, x1, y1 = box
    return overlap(x, x + 1, x0, x1) * overlap(y, y + 1, y0, y1)


def rounded_cover(x, y, size, radius):
    """Share of the pixel (x, y) covered by a rounded square at the origin."""
    if x + 1 <= 0 or y + 1 <= 0 or x >= size or y >= size:
        return 0.0
    near_x = x < radius or x + 1 > size - radius
    near_y = y < radius or y + 1 > size - radius
    if not (near_x and near_y):
        return 1.0
    # Only the corners need sampling.
    n = 8
    inside = 0
    for j in range(n):
        py = y + (j + 0.5) / n
        for i in range(n):
            px = x + (i + 0.5) / n
            cx = min(max(px, radius), size - radius)
            cy = min(max(py, radius), size - radius)
            if (px - cx) ** 2 + (py - cy) ** 2 <= radius * radius:
                inside += 1
    return inside / (n * n)


def mark_boxes(scale):
    """The eight arms of the four corner marks, in pixels."""
    x0, y0, x1, y1 = (v * scale for v in MARK_BOX)
    arm, w = MARK_ARM * scale, MARK_WIDTH * scale
    return [
        (x0, y0, x0 + arm, y0 + w), (x0, y0, x0 + w, y0 + arm),
        (x1 - arm, y0, x1, y0 + w), (x1 - w, y0, x1, y0 + arm),
        (x0, y1 - w, x0 + arm, y1), (x0, y1 - arm, x0 + w, y1),
        (x1 - arm, y1 - w, x1, y1), (x1 - w, y1 - arm, x1, y1),
    ]


def over(dst, colour, alpha):
    """Paints colour with coverage alpha over a straight-alpha RGBA pixel."""
    if alpha <= 0:
        return dst
    r, g, b, a = dst
    out_a = alpha + a * (1 - alpha)
    if out_a <= 0:
        return (0.0, 0.0, 0.0, 0.0)
    mix = [(c * alpha + d * a * (1 - alpha)) / out_a for c, d in zip(colour, (r, g, b))]
    return (mix[0], mix[1], mix[2], out_a)


def lerp(c0, c1, t):
    return tuple(a + (b - a) * t for a, b in zip(c0, c1))


def draw(size):
    """The icon at size x size pixels: rows of (r, g, b, a) bytes, top row first."""
    scale = size / 16.0
    radius = TILE_RADIUS * scale
    # A one-pixel darker rim keeps the tile apart from a blue or dark background;
    # the cut gets one only where it is large enough to carry it.
    rim = 1.0
    marks = mark_boxes(scale)
    cut = tuple(v * scale for v in CUT_BOX)
    cut_rim = 1.0 if size >= 32 else 0.0
    cut_inner = (cut[0] + cut_rim, cut[1] + cut_rim, cut[2] - cut_rim, cut[3] - cut_rim)
    rows = []
    for y in range(size):
        row = bytearray()
        shade = lerp(TILE_TOP, TILE_BOTTOM, (y + 0.5) / size)
        for x in range(size):
            px = (0.0, 0.0, 0.0, 0.0)
            tile = rounded_cover(x, y, size, radius)
            px = over(px, TILE_EDGE, tile)
            inner = rounded_cover(x - rim, y - rim, size - 2 * rim, max(radius - rim, 0.5))
            px = over(px, shade, inner)
            px = over(px, MARK, min(1.0, sum(rect_cover(x, y, m) for m in marks)))
            if cut_rim:
                px = over(px, CUT_EDGE, rect_cover(x, y, cut))
                px = over(px, CUT, rect_cover(x, y, cut_inner))
            else:
                px = over(px, CUT, rect_cover(x, y, cut))
            row += bytes(min(255, max(0, round(v))) for v in px[:3])
            row.append(min(255, max(0, round(px[3] * 255))))
        rows.append(bytes(row))
    return rows


def png(width, height, rows):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    raw = b"".join(b"\x00" + bytes(r) for r in rows)
    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9))
            + chunk(b"IEND", b""))


def dib(size, rows):
    """A 32-bit icon bitmap: header, BGRA rows bottom up, then the 1-bit mask."""
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = bytearray()
    mask = bytearray()
    stride = (size + 31) // 32 * 4
    for row in reversed(rows):
        bits = bytearray(stride)
        for x in range(size):
            r, g, b, a = row[4 * x:4 * x + 4]
            pixels += bytes((b, g, r, a))
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + bytes(pixels) + bytes(mask)


def ico(images):
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    body = b""
    for size, data in images:
        dim = 0 if size >= 256 else size
        out += struct.pack("<BBBBHHII", dim, dim, 0, 0, 1, 32, len(data), offset + len(body))
        body += data
    return out + body


def main(argv):
    if len(argv) not in (2, 3):
        sys.stderr.write("usage: make_icon.py OUT.ico [PREVIEW.png]\n")
        return 2
    images = []
    drawn = {}
    for size in SIZES:
        rows = draw(size)
        drawn[size] = rows
        images.append((size, png(size, size, rows) if size >= 256 else dib(size, rows)))
    with open(argv[1], "wb") as f:
        f.write(ico(images))
    if len(argv) == 3:
        # Every size side by side on white, for a look at the drawing.
        width = sum(SIZES) + 8 * (len(SIZES) + 1)
        height = max(SIZES) + 16
        sheet = [bytearray(b"\xff\xff\xff\xff" * width) for _ in range(height)]
        left = 8
        for size in SIZES:
            for y, row in enumerate(drawn[size]):
                for x in range(size):
                    r, g, b, a = row[4 * x:4 * x + 4]
                    dst = sheet[8 + y]
                    i = 4 * (left + x)
                    for k, c in enumerate((r, g, b)):
                        dst[i + k] = round(c * a / 255 + 255 * (1 - a / 255))
            left += size + 8
        with open(argv[2], "wb") as f:
            f.write(png(width, height, sheet))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
