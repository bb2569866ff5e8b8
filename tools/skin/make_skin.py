#!/usr/bin/env python3
"""Draws every bitmap of the skin and the program icon into a folder:
<out>/<id>.bmp and <out>/vexa.ico.

    make_skin.py OUT_DIR
"""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import bmpio  # noqa: E402
import faces  # noqa: E402
from skin_table import BITMAPS, ICON_SIZES  # noqa: E402


def require_cjk_face():
    """The Simplified Chinese logo needs a face with Chinese glyphs; without
    it cairo would quietly draw empty boxes."""
    import subprocess
    from canvas import CJK
    found = subprocess.run(["fc-list", CJK], capture_output=True, text=True).stdout
    if not found.strip():
        sys.exit("font \"%s\" is missing (Debian package fonts-wqy-microhei)" % CJK)


def main():
    out = sys.argv[1]
    require_cjk_face()
    os.makedirs(out, exist_ok=True)
    for rid, (w, h, bpp, draw) in sorted(BITMAPS.items()):
        pix = draw()
        if pix.shape[:2] != (h, w):
            sys.exit("bitmap %d drawn at %dx%d, wanted %dx%d"
                     % (rid, pix.shape[1], pix.shape[0], w, h))
        bmpio.write_bmp(os.path.join(out, "%d.bmp" % rid), pix, bpp)
    bmpio.write_ico(os.path.join(out, "vexa.ico"),
                    [faces.icon_image(s) for s in ICON_SIZES])


if __name__ == "__main__":
    main()
