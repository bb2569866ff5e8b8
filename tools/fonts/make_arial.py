#!/usr/bin/env python3
"""Builds "Arial.ttf": Debian's Liberation Sans (metric-compatible with the
face the panel is laid out for) renamed to "Arial", so that the panel's
captions measure the same under Wine as on Windows. The file is a TrueType
collection of the regular and the bold face: the panel's bold captions would
otherwise be emboldened by the rasterizer, which widens them enough to clip
"Master" and "Settings" on their buttons. The copyright and the SIL Open Font
License texts stay in the name tables.

    make_arial.py LiberationSans-Regular.ttf LiberationSans-Bold.ttf OUT.ttf
"""
import sys

import fontforge


def rename(font, style):
    full = "Arial" if style == "Regular" else "Arial " + style
    postscript = "ArialMT" if style == "Regular" else "Arial-%sMT" % style
    renamed = {
        "Family": "Arial",
        "SubFamily": style,
        "Preferred Family": "Arial",
        "Preferred Styles": style,
        "Fullname": full,
        "PostScriptName": postscript,
        "UniqueID": "Vexa Panel: %s, from Liberation Sans" % full,
        "WWS Family": "Arial",
        "Compatible Full": full,
    }
    font.familyname = "Arial"
    font.fontname = postscript
    font.fullname = full
    names = []
    for lang, strid, text in font.sfnt_names:
        names.append((lang, strid, renamed.get(strid, text)))
    font.sfnt_names = tuple(names)
    if "License" not in {strid for _, strid, _ in font.sfnt_names}:
        sys.exit("the source font carries no license text")


def main():
    regular_src, bold_src, out = sys.argv[1], sys.argv[2], sys.argv[3]
    regular = fontforge.open(regular_src)
    bold = fontforge.open(bold_src)
    rename(regular, "Regular")
    rename(bold, "Bold")
    regular.generateTtc(out, (bold,), ttcflags=(), layer=regular.activeLayer)


if __name__ == "__main__":
    main()
