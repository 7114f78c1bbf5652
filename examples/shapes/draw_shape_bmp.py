#!/usr/bin/env python3
"""Draws SHAPE.BMP, the component bitmap the example's TShape names: a 48x48
24-bit Windows bitmap with a square, a circle and a triangle, smoothed by
sampling every pixel 4x4 times. Run it from this directory to redraw it."""
import struct

SIZE, SAMPLES = 48, 4
BACKGROUND = (250, 250, 246)


def square(x, y, grow):
    return 5 - grow <= x <= 27 + grow and 19 - grow <= y <= 41 + grow


def circle(x, y, grow):
    return (x - 31) ** 2 + (y - 17) ** 2 <= (12 + grow) ** 2


def triangle(x, y, grow):
    # Apex (36, 21), base from (20, 44) to (44, 44); grow moves every edge out.
    def side(ax, ay, bx, by):
        length = ((bx - ax) ** 2 + (by - ay) ** 2) ** 0.5
        return ((bx - ax) * (y - ay) - (by - ay) * (x - ax)) / length
    return (side(36, 21, 20, 44) <= grow and side(20, 44, 44, 44) <= grow
            and side(44, 44, 36, 21) <= grow)


# Drawn in order, each as a dark outline under its fill.
SHAPES = [
    (square, (40, 90, 170), (90, 150, 230)),
    (circle, (170, 60, 30), (245, 140, 60)),
    (triangle, (40, 120, 50), (110, 200, 100)),
]


def colour(x, y):
    result = BACKGROUND
    for inside, outline, fill in SHAPES:
        if inside(x, y, 0):
            result = fill
        elif inside(x, y, 1.4):
            result = outline
    return result


def pixel(px, py):
    total = [0, 0, 0]
    for sy in range(SAMPLES):
        for sx in range(SAMPLES):
            c = colour(px + (sx + 0.5) / SAMPLES, py + (sy + 0.5) / SAMPLES)
            total = [t + v for t, v in zip(total, c)]
    return [round(t / SAMPLES ** 2) for t in total]


def main():
    rows = []
    for py in reversed(range(SIZE)):  # a bitmap stores its bottom row first
        row = bytearray()
        for px in range(SIZE):
            r, g, b = pixel(px, py)
            row += bytes((b, g, r))
        row += b"\0" * (-len(row) % 4)
        rows.append(bytes(row))
    image = b"".join(rows)
    header = struct.pack("<2sIHHI", b"BM", 54 + len(image), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE, 1, 24, 0, len(image), 2835, 2835, 0, 0)
    with open("SHAPE.BMP", "wb") as out:
        out.write(header + info + image)


if __name__ == "__main__":
    main()
