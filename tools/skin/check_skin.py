#!/usr/bin/env python3
"""Checks the drawn skin files against the rules the program applies to
them: every bitmap at its size and depth, and every shaped picture (the main
skin and the popup frames) cut by the traced outline without key-coloured
specks inside the window or holes in the picture; the frames of one popup
table must share one outline, since the popup keeps its first region.

    check_skin.py SKIN_DIR        exit status 0 when everything holds
"""
import os
import sys

import numpy as np

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import bmpio  # noqa: E402
import layout as L  # noqa: E402
import outline  # noqa: E402
from gauges import TABLE_31, TABLE_42  # noqa: E402
from skin_table import BITMAPS  # noqa: E402


# The program's captions are Arial with a 14-pixel cell (a 12.5-pixel em);
# Liberation Sans has the same advance widths.
FONT_DIRS = ("/usr/share/fonts/truetype/liberation2", "/usr/share/fonts/truetype/liberation")


def text_width(text, bold):
    from PIL import ImageFont
    name = "LiberationSans-Bold.ttf" if bold else "LiberationSans-Regular.ttf"
    for d in FONT_DIRS:
        path = os.path.join(d, name)
        if os.path.exists(path):
            return ImageFont.truetype(path, 125).getlength(text) / 10.0
    return len(text) * 7.6


def text_box(x, y, text, bold):
    return x, y + 1, int(text_width(text, bold)) + 2, 14


def seams_under_texts(skin):
    """The program draws its captions straight onto the skin with a
    transparent background: no edge of the artwork may run beneath them."""
    lum = skin.astype(np.int32) @ np.array([299, 587, 114]) // 1000
    problems = []
    for x, y, text, bold in L.TEXTS:
        bx, by, bw, bh = text_box(x, y, text, bold)
        area = lum[by:by + bh, bx:bx + bw]
        jump = max(np.abs(np.diff(area, axis=0)).max(initial=0),
                   np.abs(np.diff(area, axis=1)).max(initial=0))
        if jump > 12:
            problems.append("\"%s\" at %d,%d sits on an edge of the skin (step %d)"
                            % (text, x, y, jump))
    return problems


def main():
    skin_dir = sys.argv[1]
    failures = []
    pictures = {}
    for rid, (w, h, bpp, _) in sorted(BITMAPS.items()):
        path = os.path.join(skin_dir, "%d.bmp" % rid)
        if not os.path.exists(path):
            failures.append("%d: missing" % rid)
            continue
        pix, got_bpp = bmpio.read_bmp(path)
        pictures[rid] = pix
        if pix.shape[:2] != (h, w) or got_bpp != bpp:
            failures.append("%d: %dx%d at %d bits, wanted %dx%d at %d"
                            % (rid, pix.shape[1], pix.shape[0], got_bpp, w, h, bpp))
    shaped = [243] + TABLE_42 + TABLE_31
    for rid in shaped:
        if rid not in pictures:
            continue
        _, stray, holes = outline.check_outline(pictures[rid])
        if stray.any() or holes.any():
            ys, xs = np.nonzero(stray | holes)
            failures.append("%d: %d stray key pixels, %d holes (first at %d,%d)"
                            % (rid, stray.sum(), holes.sum(), xs[0], ys[0]))
    for table in (TABLE_42, TABLE_31):
        if all(r in pictures for r in table):
            first = outline.outline_points(pictures[table[0]])
            for rid in table[1:]:
                if outline.outline_points(pictures[rid]) != first:
                    failures.append("%d: outline differs from %d" % (rid, table[0]))
    if 243 in pictures:
        failures += seams_under_texts(pictures[243])
    for f in failures:
        print(f)
    print("%d bitmaps checked, %d shaped; %d problems"
          % (len(pictures), len(shaped), len(failures)))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
