#!/usr/bin/env python3
"""Writes small stand-in skin bitmaps and a resource script that names them
by the ids the controls load, so the control tests do not depend on the real
skin. Usage: make_test_skin.py <output folder>"""

import math
import os
import struct
import sys


def write_bmp(path, width, height, pixel, bits=24):
    """pixel(x, y) -> (r, g, b), y counted from the top."""
    bpp = bits // 8
    stride = (width * bpp + 3) & ~3
    rows = []
    for y in range(height - 1, -1, -1):
        row = bytearray()
        for x in range(width):
            r, g, b = pixel(x, y)
            row += bytes((b, g, r)) + (b"\x00" if bpp == 4 else b"")
        row += b"\x00" * (stride - len(row))
        rows.append(bytes(row))
    data = b"".join(rows)
    header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, len(data), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(b"BM" + struct.pack("<IHHI", 14 + 40 + len(data), 0, 0, 54))
        f.write(header + data)


def gradient(top, bottom, height):
    def pixel(_x, y):
        t = y / max(1, height - 1)
        return tuple(int(a + (b - a) * t) for a, b in zip(top, bottom))
    return pixel


def framed(inner, edge):
    def make(width, height):
        def pixel(x, y):
            if x in (0, width - 1) or y in (0, height - 1):
                return edge
            return inner
        return pixel
    return make


def disc(colour, width, height):
    def pixel(x, y):
        dx = (x + 0.5 - width / 2) / (width / 2)
        dy = (y + 0.5 - height / 2) / (height / 2)
        return colour if dx * dx + dy * dy <= 1 else (0, 0, 0)
    return pixel


def popup_picture(index, count, width, height):
    """A rounded plate on the white key colour; its colour and filled bar
    follow the index so each picture of a table looks different."""
    hue = index / max(1, count - 1)
    plate = (int(40 + 180 * hue), int(60 + 60 * (1 - hue)), int(200 - 150 * hue))
    radius = height // 3

    def pixel(x, y):
        cx = min(max(x, radius), width - 1 - radius)
        cy = min(max(y, radius), height - 1 - radius)
        if (x - cx) ** 2 + (y - cy) ** 2 > radius * radius:
            return (255, 255, 255)
        bar_end = 8 + int((width - 16) * (index + 1) / count)
        if height - 14 <= y < height - 8 and 8 <= x < bar_end:
            return (250, 230, 60)
        return plate
    return pixel


def outline_probe(width, height):
    """A diamond on the white key whose rim is the faintest colour that still
    counts as picture (4 below white), ringed by pixels that must not count:
    3 below white, pure red and cyan. A screen of fewer colours rounds the
    rim to white; the outline must not move with it."""
    def pixel(x, y):
        half = abs(y - height // 2)
        left, right = 3 + half, width - 4 - half
        if left < x < right:
            return (40, 60, 90)
        if x in (left, right):
            return (251, 251, 251)
        if x in (left - 1, right + 1):
            return (252, 252, 252)
        if x == left - 2:
            return (255, 0, 0)
        if x == right + 2:
            return (0, 255, 255)
        return (255, 255, 255)
    return pixel


PICTURES = [242, 240, 282, 328, 284, 285, 286, 287, 288, 289, 290, 291, 292, 293,
            294, 295, 296, 297, 298, 299, 300, 301, 302, 303, 304, 305, 306, 307,
            311, 312, 313, 314, 315, 316, 317, 318, 319, 320, 321, 322, 323, 308]
ALTERNATE = [407, 438, 429, 418, 415, 414, 374, 413, 412, 408, 409, 443, 444, 445, 446, 442,
             441, 440, 439, 437, 436, 435, 434, 411, 410, 433, 432, 431, 430, 428, 427]


def bitmaps():
    out = {}
    # text button faces: normal, hot, disabled
    out[258] = (100, 18, gradient((70, 90, 110), (30, 40, 55), 18))
    out[267] = (100, 18, gradient((90, 150, 190), (40, 80, 120), 18))
    out[330] = (100, 18, gradient((120, 120, 120), (90, 90, 90), 18))
    # step buttons: down 453 normal, 454 disabled, 455 hot; up 456, 457, 458
    for rid, colour in ((453, (60, 80, 100)), (454, (110, 110, 110)), (455, (90, 150, 190)),
                        (456, (60, 80, 100)), (457, (110, 110, 110)), (458, (90, 150, 190))):
        out[rid] = (17, 11, gradient(colour, tuple(c // 2 for c in colour), 11))
    # group button faces
    out[333] = (66, 33, gradient((50, 70, 100), (20, 30, 50), 33))
    out[334] = (66, 33, gradient((110, 110, 110), (80, 80, 80), 33))
    out[335] = (66, 33, gradient((80, 130, 190), (30, 60, 110), 33))
    # check box faces (the box shows them from (2, 2))
    out[259] = (11, 11, framed((30, 30, 40), (150, 150, 160))(11, 11))
    out[272] = (11, 11, framed((50, 80, 120), (200, 220, 255))(11, 11))
    out[359] = (11, 11, framed((100, 100, 100), (130, 130, 130))(11, 11))
    # minimise and close faces
    out[264] = (16, 17, disc((80, 110, 160), 16, 17))
    out[270] = (16, 17, disc((120, 170, 230), 16, 17))
    out[265] = (16, 17, disc((170, 60, 60), 16, 17))
    out[269] = (16, 17, disc((230, 100, 100), 16, 17))
    # slider handle faces and track
    out[250] = (21, 11, gradient((220, 220, 225), (140, 140, 150), 11))
    out[271] = (21, 11, gradient((255, 230, 120), (200, 160, 40), 11))
    out[358] = (21, 11, gradient((120, 120, 120), (90, 90, 90), 11))
    out[245] = (242, 7, gradient((20, 20, 30), (90, 100, 120), 7))
    # slider popups
    for i, rid in enumerate(PICTURES):
        out[rid] = (139, 71, popup_picture(i, len(PICTURES), 139, 71))
    for i, rid in enumerate(ALTERNATE):
        out[rid] = (88, 44, popup_picture(i, len(ALTERNATE), 88, 44))
    # the outline probe of the bitmap shape tests
    out[600] = (40, 24, outline_probe(40, 24))
    # logos (353 is the one 32-bit picture)
    out[352] = (100, 40, gradient((200, 40, 40), (120, 20, 20), 40))
    out[353] = (100, 36, gradient((40, 160, 80), (20, 90, 40), 36), 32)
    return out


def main():
    folder = os.path.abspath(sys.argv[1])
    os.makedirs(folder, exist_ok=True)
    lines = []
    for rid, entry in sorted(bitmaps().items()):
        width, height, pixel = entry[:3]
        bits = entry[3] if len(entry) > 3 else 24
        path = os.path.join(folder, "%d.bmp" % rid)
        write_bmp(path, width, height, pixel, bits)
        lines.append('%d BITMAP "%s"' % (rid, path.replace("\\", "/")))
    with open(os.path.join(folder, "test_skin.rc"), "w") as f:
        f.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
