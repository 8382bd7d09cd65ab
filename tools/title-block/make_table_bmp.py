#!/usr/bin/env python3
"""Draws the title-block picture "table.bmp" of the printed sheet.

The sheet renderer stretches this picture into the lower right corner of the
sheet and writes the labels and the project's values into it at fixed
positions, measured in pixels of this picture:

    title           (110, 15)   across the top row
    Inwestor        (18, 55)    value from x = 130
    Obiekt          (18, 98)    value from x = 130
    Projektant      (16, 138)   value from x = 130
    Proj. nr        (16, 175)   value centred on x = 148
    Data            (182, 175)  value centred on x = 296
    Skala           (372, 175)  value centred on x = 480

Texts are 24 pixels of this picture high, so every row leaves room for one
line of text. Rules are at least 2 pixels wide so that they survive the
picture being shown at half size in the print preview.

Run from the repository's top folder:
    python3 tools/title-block/make_table_bmp.py data/gui/table.bmp
The output is a plain 8-bit paletted Windows bitmap.
"""

import struct
import sys

WIDTH, HEIGHT = 600, 210

WHITE, BLACK, SHADE = 0, 1, 2
PALETTE = [(255, 255, 255), (0, 0, 0), (232, 232, 232)]

# Row boundaries (y) and the column rules of each row band.
TITLE_BOTTOM = 48
ROWS = [48, 90, 130, 168]          # tops of "Inwestor", "Obiekt", "Projektant", the bottom row
LABEL_RULE = 122                   # between the labels and the values of the upper rows
BOTTOM_RULES = [178, 362]          # between "Proj. nr", "Data" and "Skala"
OUTER = 4                          # outer border width
INNER = 2                          # inner rule width


def make():
    px = [[WHITE] * WIDTH for _ in range(HEIGHT)]

    def fill(x0, y0, x1, y1, c):
        for y in range(max(0, y0), min(HEIGHT, y1)):
            row = px[y]
            for x in range(max(0, x0), min(WIDTH, x1)):
                row[x] = c

    # The title row is shaded; the text is written over it.
    fill(0, 0, WIDTH, TITLE_BOTTOM, SHADE)
    # A small mark at the left of the title row: a sprinkler head throwing
    # three arcs of water.
    cx, cy = 60, 40
    for r_out, r_in in ((30, 27), (22, 19), (14, 11)):
        for y in range(cy - r_out, cy + 1):
            for x in range(cx - r_out, cx + r_out + 1):
                d2 = (x - cx) ** 2 + (y - cy) ** 2
                if r_in * r_in <= d2 <= r_out * r_out and y <= cy - abs(x - cx) * 0.35:
                    px[y][x] = BLACK
    fill(cx - 4, cy - 6, cx + 5, TITLE_BOTTOM, BLACK)

    # Horizontal rules under the title row and between the rows.
    for top in ROWS:
        fill(0, top - INNER // 2, WIDTH, top + INNER - INNER // 2, BLACK)
    # The label column of the upper rows.
    fill(LABEL_RULE, ROWS[0], LABEL_RULE + INNER, ROWS[-1], BLACK)
    # The cells of the bottom row.
    for x in BOTTOM_RULES:
        fill(x, ROWS[-1], x + INNER, HEIGHT, BLACK)
    # Outer border.
    fill(0, 0, WIDTH, OUTER, BLACK)
    fill(0, HEIGHT - OUTER, WIDTH, HEIGHT, BLACK)
    fill(0, 0, OUTER, HEIGHT, BLACK)
    fill(WIDTH - OUTER, 0, WIDTH, HEIGHT, BLACK)
    return px


def write_bmp(path, px):
    stride = (WIDTH + 3) & ~3
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in PALETTE)
    palette += b"\0" * (4 * (256 - len(PALETTE)))
    image = bytearray()
    for y in range(HEIGHT - 1, -1, -1):  # bottom-up rows
        image += bytes(px[y]) + b"\0" * (stride - WIDTH)
    offset = 14 + 40 + len(palette)
    file_header = struct.pack("<2sIHHI", b"BM", offset + len(image), 0, 0, offset)
    # 3780 pixels per metre: 96 dpi.
    info_header = struct.pack("<IiiHHIIiiII", 40, WIDTH, HEIGHT, 1, 8, 0, len(image), 3780, 3780, 256, 0)
    with open(path, "wb") as f:
        f.write(file_header + info_header + palette + image)


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit("usage: make_table_bmp.py OUT.bmp")
    write_bmp(sys.argv[1], make())
