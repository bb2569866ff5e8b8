#!/usr/bin/env python3
"""Builds "Arial.ttf": Debian's Liberation Sans (metric-compatible with the
face the panel is laid out for) renamed to "Arial", so that the panel's
captions measure the same under Wine as on Windows. The copyright and the
SIL Open Font License texts stay in the name table.

    make_arial.py LiberationSans-Regular.ttf OUT.ttf
"""
import sys

import fontforge

RENAMED = {
    "Family": "Arial",
    "Preferred Family": "Arial",
    "Fullname": "Arial",
    "PostScriptName": "ArialMT",
    "UniqueID": "Vexa Panel: Arial stand-in from Liberation Sans",
    "WWS Family": "Arial",
    "Compatible Full": "Arial",
}


def main():
    src, out = sys.argv[1], sys.argv[2]
    font = fontforge.open(src)
    font.familyname = "Arial"
    font.fontname = "ArialMT"
    font.fullname = "Arial"
    names = []
    for lang, strid, text in font.sfnt_names:
        if strid in RENAMED:
            text = RENAMED[strid]
        names.append((lang, strid, text))
    font.sfnt_names = tuple(names)
    kept = {strid for _, strid, _ in font.sfnt_names}
    if "License" not in kept:
        sys.exit("the source font carries no license text")
    font.generate(out)


if __name__ == "__main__":
    main()
