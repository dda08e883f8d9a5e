#!/usr/bin/env python3
"""The mosaic computed independently of the program, on a binary PPM (P6, maxval 255):

    mosaic_reference.py IN.ppm OUT.ppm SX SY EX EY

Blocks of 6 x 6: left edges SX, SX+6, ... while <= EX-6; top edges SY, SY+6, ... while
<= EY-6, or one row at SY when the selection is lower than a block; column by column,
each block the average of its samples (those inside the picture) as the picture stands
then, rounded half to even, black without samples, filling 7 x 7 pixels."""
import sys

BLOCK = 6


def read_ppm(path):
    data = open(path, "rb").read()
    fields, pos = [], 0
    while len(fields) < 4:
        while data[pos:pos + 1].isspace():
            pos += 1
        if data[pos:pos + 1] == b"#":
            pos = data.index(b"\n", pos)
            continue
        end = pos
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[pos:end])
        pos = end
    assert fields[0] == b"P6" and int(fields[3]) == 255, "an 8-bit binary PPM"
    width, height = int(fields[1]), int(fields[2])
    return width, height, bytearray(data[pos + 1:pos + 1 + 3 * width * height])


def rounded(total, n):
    q, r = divmod(total, n)
    return q + 1 if 2 * r > n or (2 * r == n and q % 2) else q


def main():
    src, dst = sys.argv[1], sys.argv[2]
    sx, sy, ex, ey = (int(v) for v in sys.argv[3:7])
    width, height, px = read_ppm(src)
    xs = list(range(sx, ex - BLOCK + 1, BLOCK))
    ys = [sy] if ey - BLOCK < sy else list(range(sy, ey - BLOCK + 1, BLOCK))
    for bx in xs:
        for by in ys:
            sums, n = [0, 0, 0], 0
            for y in range(by, by + BLOCK):
                for x in range(bx, bx + BLOCK):
                    if 0 <= x < width and 0 <= y < height:
                        i = 3 * (y * width + x)
                        for k in range(3):
                            sums[k] += px[i + k]
                        n += 1
            colour = [rounded(s, n) for s in sums] if n else [0, 0, 0]
            for y in range(max(by, 0), min(by + BLOCK + 1, height)):
                for x in range(max(bx, 0), min(bx + BLOCK + 1, width)):
                    i = 3 * (y * width + x)
                    px[i:i + 3] = bytes(colour)
    with open(dst, "wb") as out:
        out.write(b"P6\n%d %d\n255\n" % (width, height))
        out.write(px)


if __name__ == "__main__":
    main()
