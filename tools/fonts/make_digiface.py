#!/usr/bin/env python3
"""Builds "digifaw.ttf": DigifaceWide, a wide segment-display face for the
panel's value displays (digits, '%', '.', ':', '-', '+', '/', degree sign,
space and the letters A-Z; lower case maps to upper case).

    make_digiface.py OUT.ttf
"""
import math
import sys

import fontforge
import psMat

EM = 1000
ASCENT, DESCENT = 800, 200
ADVANCE = 700           # every digit, letter and the space: columns line up
X0, X1 = 70, 610        # cell of a character
Y0, Y1 = 0, 720
T = 96                  # segment thickness
GAP = 14                # air between neighbouring segments
SLANT = 7               # degrees

L, R = X0 + T / 2, X1 - T / 2
B, TOP = Y0 + T / 2, Y1 - T / 2
M = (B + TOP) / 2
C = (L + R) / 2


def horiz(y, xa, xb):
    h = T / 2
    xa += GAP
    xb -= GAP
    return [(xa, y), (xa + h, y - h), (xb - h, y - h), (xb, y),
            (xb - h, y + h), (xa + h, y + h)]


def vert(x, ya, yb):
    h = T / 2
    ya += GAP
    yb -= GAP
    return [(x, ya), (x + h, ya + h), (x + h, yb - h), (x, yb),
            (x - h, yb - h), (x - h, ya + h)]


def diag(p, q):
    """A bar from p to q, pulled in at both ends so it clears the
    segments it meets."""
    (x1, y1), (x2, y2) = p, q
    dx, dy = x2 - x1, y2 - y1
    n = math.hypot(dx, dy)
    ux, uy = dx / n, dy / n
    inset = T * 0.9
    x1, y1 = x1 + ux * inset, y1 + uy * inset
    x2, y2 = x2 - ux * inset, y2 - uy * inset
    w = T * 0.36
    nx, ny = -uy * w, ux * w
    return [(x1 + nx, y1 + ny), (x2 + nx, y2 + ny), (x2 - nx, y2 - ny),
            (x1 - nx, y1 - ny)]


SEGMENTS = {
    "a": horiz(TOP, L, R), "d": horiz(B, L, R),
    "g1": horiz(M, L, C), "g2": horiz(M, C, R),
    "f": vert(L, M, TOP), "b": vert(R, M, TOP),
    "e": vert(L, B, M), "c": vert(R, B, M),
    "i": vert(C, M, TOP), "l": vert(C, B, M),
    "h": diag((L, TOP), (C, M)), "j": diag((R, TOP), (C, M)),
    "k": diag((L, B), (C, M)), "m": diag((R, B), (C, M)),
    "n1": diag((L, M), (C, B)), "n2": diag((R, M), (C, B)),
}
SEGMENTS["g"] = horiz(M, L, R)

GLYPHS = {
    "0": "a b c d e f", "1": "b c", "2": "a b g e d", "3": "a b c d g",
    "4": "f g b c", "5": "a f g c d", "6": "a f e d c g", "7": "a b c",
    "8": "a b c d e f g", "9": "a b c d f g",
    "A": "a b c e f g", "B": "a b c d g2 i l", "C": "a d e f",
    "D": "a b c d i l", "E": "a d e f g1", "F": "a e f g1",
    "G": "a c d e f g2", "H": "b c e f g", "I": "a d i l", "J": "b c d e",
    "K": "e f g1 j m", "L": "d e f", "M": "b c e f h j", "N": "b c e f h m",
    "O": "a b c d e f", "P": "a b e f g", "Q": "a b c d e f m",
    "R": "a b e f g m", "S": "a f g c d", "T": "a i l", "U": "b c d e f",
    "V": "b f n1 n2", "W": "b c e f k m", "X": "h j k m", "Y": "h j l",
    "Z": "a d j k",
    "-": "g", "+": "g i l", "/": "j k", "%": "f c j k", "=": "g d",
    "_": "d",
}


def square(cx, cy, s):
    return [(cx - s, cy - s), (cx + s, cy - s), (cx + s, cy + s), (cx - s, cy + s)]


EXTRA = {
    ".": ([square(150, B, T * 0.55)], 300),
    ":": ([square(150, B + 120, T * 0.55), square(150, TOP - 140, T * 0.55)], 300),
    "\u00b0": ([horiz(TOP, L, C + 40), horiz(M + 70, L, C + 40),
                vert(L, M + 70, TOP), vert(C + 40, M + 70, TOP)], ADVANCE),
}


def draw(glyph, polys):
    pen = glyph.glyphPen()
    for poly in polys:
        pen.moveTo(poly[0])
        for p in poly[1:]:
            pen.lineTo(p)
        pen.closePath()
    pen = None
    glyph.transform(psMat.skew(math.radians(SLANT)))
    glyph.removeOverlap()
    glyph.round()
    glyph.correctDirection()


def main():
    out = sys.argv[1]
    font = fontforge.font()
    font.encoding = "UnicodeFull"
    font.em = EM
    font.ascent, font.descent = ASCENT, DESCENT
    font.familyname = "DigifaceWide"
    font.fontname = "DigifaceWide"
    font.fullname = "DigifaceWide"
    font.weight = "Regular"
    font.copyright = "Drawn for Vexa Panel; free to use with the program."
    font.version = "1.0"
    for lang, strid in (("English (US)", "Family"), ("English (US)", "Fullname")):
        font.appendSFNTName(lang, strid, "DigifaceWide")
    font.appendSFNTName("English (US)", "SubFamily", "Regular")
    # Windows sizes a font by its win ascent + descent; keeping them close
    # to the segment cell lets the 16-pixel display font fill its field.
    # The metrics are absolute values, not offsets from the glyphs' bounds.
    font.os2_winascent_add = font.os2_windescent_add = False
    font.os2_typoascent_add = font.os2_typodescent_add = False
    font.hhea_ascent_add = font.hhea_descent_add = False
    font.os2_winascent, font.os2_windescent = 790, 60
    font.os2_typoascent, font.os2_typodescent = 790, -60
    font.os2_typolinegap = 0
    font.hhea_ascent, font.hhea_descent = 790, -60
    font.hhea_linegap = 0
    font.os2_weight = 400

    notdef = font.createChar(-1, ".notdef")
    notdef.width = ADVANCE
    space = font.createChar(32, "space")
    space.width = ADVANCE
    for ch, segs in GLYPHS.items():
        g = font.createChar(ord(ch))
        draw(g, [SEGMENTS[s] for s in segs.split()])
        g.width = ADVANCE
    for ch, (polys, width) in EXTRA.items():
        g = font.createChar(ord(ch))
        draw(g, polys)
        g.width = width
    for ch in "abcdefghijklmnopqrstuvwxyz":
        g = font.createChar(ord(ch))
        g.addReference(fontforge.nameFromUnicode(ord(ch.upper())))
        g.width = ADVANCE
    font.generate(out)


if __name__ == "__main__":
    main()
