"""Bitmap 243: the 552 x 330 main window skin. The window is cut from it
along the outline of the picture on a white key, so the outline below is
drawn crisp and every row from the top to the bottom holds picture."""
import math

import cairo

import canvas as cv
from canvas import Canvas, mix
import layout as L

W, H = L.SKIN_W, L.SKIN_H

# Outline of the window, in pixel-edge coordinates. Corners are 45-degree
# chamfers: the traced region shifts the upper half of its right edge up by
# a row, so an edge that widened faster than that downwards would let key
# pixels into the window.
OUTLINE = [
    (24, 0), (528, 0), (549, 21), (549, 290), (535, 304), (503, 304),
    (491, 316), (491, 322), (483, 330), (184, 330), (176, 322), (176, 316),
    (164, 304), (17, 304), (3, 290), (3, 21),
]

DECK_BOX = (56, 47, 470, 252)      # x, y, w, h of the dark instrument deck
SLOT_BOX = (188, 300, 291, 31)     # the recess that holds the group buttons
LOGO_WELL = (54, 229, 124, 46)


def _body(c):
    c.polygon(OUTLINE)
    c.vgrad(0, H, [(0, cv.BODY_TOP), (0.5, (40, 47, 53)), (1, cv.BODY_BOTTOM)])


def _rim(c):
    # A bevel line just inside a dark rim of which the window trace keeps
    # one or two pixels on every side.
    c.polygon(OUTLINE)
    c.ctx.set_line_width(10)
    g = cairo.LinearGradient(0, 0, 0, H)
    g.add_color_stop_rgb(0, *cv.rgb((128, 140, 148)))
    g.add_color_stop_rgb(1, *cv.rgb((40, 46, 52)))
    c.ctx.set_source(g)
    c.ctx.stroke()
    c.polygon(OUTLINE)
    c.stroke(cv.RIM, 8)


def _sheen(c):
    """Light falling on the top plate from above and the left."""
    g = cairo.LinearGradient(0, 0, 260, 90)
    g.add_color_stop_rgba(0, 1, 1, 1, 0.07)
    g.add_color_stop_rgba(1, 1, 1, 1, 0.0)
    c.polygon(OUTLINE)
    c.ctx.set_source(g)
    c.ctx.fill()


def _recess(c, x, y, w, h, k, top, bottom, rim=True):
    """A sunken panel: dark top-left edge, faint highlight bottom-right."""
    if rim:
        c.chamfer_rect(x - 1, y - 1, w + 2, h + 2, k + 1)
        c.vgrad(y - 1, y + h + 1, [(0, (6, 7, 9)), (1, (92, 104, 112))])
    c.chamfer_rect(x, y, w, h, k)
    c.vgrad(y, y + h, [(0, top), (1, bottom)])


def _deck(c):
    x, y, w, h = DECK_BOX
    _recess(c, x, y, w, h, 6, cv.WELL, cv.DECK)
    # Gauge bay darkest at the top, brightening without a step into the
    # deck below: the section titles are written across that transition.
    c.chamfer_rect(x, y, w, 172, 6)
    t = lambda yy: (yy - y) / 172.0
    c.vgrad(y, y + 172, [(0, (9, 11, 13)), (t(110), (13, 16, 19)), (t(132), (19, 24, 28)),
                         (t(170), (17, 21, 25)), (1, (15, 18, 21))])
    c.ctx.rectangle(x + 1, 221, w - 2, 77)
    c.vgrad(221, 298, [(0, (17, 21, 25)), (1, (13, 16, 19))])
    # Engraved seam between the clock deck and the value displays.
    c.hline(x + 8, x + w - 8, 219, (7, 9, 11))
    c.hline(x + 8, x + w - 8, 220, (40, 47, 53))
    # Seats of the popups: a soft halo so the gauges look set into the bay.
    for name, (px, py, pw, ph) in L.POPUPS.items():
        if name == "shader":
            continue
        # The seat ends with the popup, whose last rows the outline trims;
        # nothing of it may reach the titles written just below.
        bottom = py + ph - 1
        c.polygon([(px + 8, py - 2), (px + pw - 8, py - 2), (px + pw + 2, py + 8),
                   (px + pw + 2, bottom), (px - 2, bottom), (px - 2, py + 8)])
        c.fill((5, 6, 8))
        ctx = c.ctx
        ctx.new_path()
        ctx.move_to(px - 2.5, bottom)
        ctx.line_to(px - 2.5, py + 7.5)
        ctx.line_to(px + 7.5, py - 2.5)
        ctx.line_to(px + pw - 7.5, py - 2.5)
        ctx.line_to(px + pw + 2.5, py + 7.5)
        ctx.line_to(px + pw + 2.5, bottom)
        c.stroke((34, 40, 46), 1, 0.8)
    # Accent bars in front of the two section titles the program writes at
    # y 122 (fan at x 82, clocks at x 239).
    for bx in (76, 232):
        c.rect(bx, 125, 3, 10, cv.ACCENT_DIM)
        c.rect(bx, 125, 3, 1, cv.ACCENT)
    # Little accent marks in the gaps between the gauges.
    for gx in (226.5, 374.5):
        for gy in (66, 88, 110):
            c.glow(gx, gy, 3, cv.ACCENT, 0.35)
            c.rect(int(gx) - 1, gy - 1, 2, 2, (70, 180, 200))


def _displays(c):
    for name in ("gpu_display", "shader_display", "mem_display",
                 "fan_display", "temp_display"):
        x, y, w, h = L.CONTROLS[name]
        c.rect(x - 3, y - 3, w + 6, h + 6, (5, 6, 8))
        c.bevel_box(x - 3, y - 3, w + 6, h + 6, (60, 70, 78), (3, 4, 5))
        c.rect(x - 1, y - 1, w + 2, h + 2, (38, 44, 48))
        # The program fills the display itself; this is what shows if it
        # ever leaves a pixel undrawn.
        c.rect(x, y, w, h, cv.DISPLAY_BG)
    for name in ("gpu_display", "shader_display", "mem_display"):
        x, y, w, h = L.CONTROLS[name]
        c.text(x + w + 5, y + 14, "MHz", 8.5, (120, 150, 158), bold=True)
    x, y, w, h = L.CONTROLS["temp_display"]
    c.text(x + w + 5, y + 14, "\u00b0C", 9, (120, 150, 158), bold=True)
    # The fan display shows RPM or percent as the card allows, so it gets
    # a fan glyph rather than a unit.
    x, y, w, h = L.CONTROLS["fan_display"]
    _fan_glyph(c, x + w + 11.5, y + 10, (120, 150, 158))


def _fan_glyph(c, cx, cy, col):
    ctx = c.ctx
    for k in range(3):
        a = math.radians(k * 120 - 90)
        ctx.save()
        ctx.translate(cx, cy)
        ctx.rotate(a)
        ctx.new_path()
        ctx.move_to(0, 0)
        ctx.curve_to(2.5, -1.5, 6, -1.5, 6.5, 1.2)
        ctx.curve_to(4.5, 3, 2, 2.5, 0, 0)
        ctx.close_path()
        ctx.restore()
        c.fill(col)
    ctx.new_path()
    ctx.arc(cx, cy, 1.4, 0, 2 * math.pi)
    c.fill((17, 21, 25))


def _logo_well(c):
    x, y, w, h = LOGO_WELL
    _recess(c, x, y, w, h, 3, (12, 14, 17), (14, 17, 20))
    lx, ly, lw, lh = L.CONTROLS["logo"]
    c.rect(lx, ly, lw, lh, (14, 17, 20))


def _button_slot(c):
    x, y, w, h = SLOT_BOX
    c.ctx.rectangle(x - 1, y - 1, w + 2, h + 2)
    c.fill((5, 6, 8))
    c.ctx.rectangle(x, y, w, h)
    c.vgrad(y, y + h, [(0, (8, 10, 12)), (1, (20, 24, 28))])


def _header(c):
    # Title plate with white lettering: the only white the skin shows.
    c.text(30, 31, "VEXA", 21, (255, 255, 255), bold=True, italic=True,
           spacing=0.5)
    wv = c.text_width("VEXA", 21, True, italic=True, spacing=0.5)
    c.text(34 + wv, 31, "PANEL", 21, cv.ACCENT, bold=False, italic=True,
           spacing=0.5)
    c.text(31, 42, "GRAPHICS CARD CONTROL CENTER", 7.5, (140, 156, 164),
           bold=True, spacing=1.2)
    # Engraved grooves running to the window buttons.
    for gy, col in ((20, (18, 21, 24)), (21, (74, 84, 92))):
        c.hline(206, 418, gy, col)
    for gy, col in ((34, (18, 21, 24)), (35, (70, 80, 88))):
        c.hline(206, 418, gy, col)
    c.rect(206, 25, 150, 6, (22, 26, 30))
    c.hgrad(206, 356, [(0, (*cv.ACCENT, 0.0)), (1, (*cv.ACCENT, 0.9))])
    c.ctx.rectangle(206, 27, 150, 2)
    c.hgrad(206, 356, [(0, (*cv.ACCENT, 0.0)), (1, (*cv.ACCENT, 0.9))])
    # Well behind the minimise and close buttons: a slanted capsule.
    ctx = c.ctx
    ctx.save()
    ctx.translate(450.5, 28.5)
    ctx.rotate(math.atan2(4, 15))
    c.round_rect(-24, -13, 48, 26, 13)
    c.vgrad(-13, 13, [(0, (6, 7, 9)), (1, (70, 80, 88))])
    c.round_rect(-23, -12, 46, 24, 12)
    c.vgrad(-12, 12, [(0, (10, 12, 14)), (1, (24, 28, 32))])
    ctx.restore()


def _vents(c):
    for i in range(19):
        y = 58 + i * 12
        c.round_rect(14, y, 32, 4, 2)
        c.fill((8, 9, 11))
        c.hline(15, 45, y + 4, (74, 84, 92), 0.7)
    for i in range(19):
        y = 58 + i * 12
        c.round_rect(532, y, 10, 4, 2)
        c.fill((8, 9, 11))
        c.hline(533, 541, y + 4, (74, 84, 92), 0.7)


def _screws(c):
    for sx, sy in ((30, 290), (526, 290), (528, 12), (166, 314), (501, 314)):
        if (sx, sy) == (528, 12):
            continue
        c.glow(sx + 0.5, sy + 0.5, 5, (0, 0, 0), 0.6)
        c.ctx.arc(sx + 0.5, sy + 0.5, 3.5, 0, 2 * math.pi)
        c.vgrad(sy - 3, sy + 4, [(0, (150, 160, 168)), (1, (50, 56, 62))])
        c.hline(sx - 2, sx + 3, sy, (30, 34, 38))


def _outline_mask():
    return cv.hard_mask(W, H, lambda ctx: cv.path_polygon(ctx, OUTLINE))


def draw():
    c = Canvas(W, H, fill=cv.RIM)
    _body(c)
    pix = cv.brushed(c.pixels(), seed=243, strength=2.2)
    cv.set_pixels(c, pix)
    _rim(c)
    _sheen(c)
    _header(c)
    _vents(c)
    _deck(c)
    _displays(c)
    _logo_well(c)
    _button_slot(c)
    _screws(c)
    pix = c.pixels()
    inside = _outline_mask()
    pix[~inside] = cv.KEY
    # Nothing inside the outline may come within the key's tolerance at the
    # rim, or the trace would start further in.
    return pix
