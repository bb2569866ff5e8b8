"""The small pictures: slider track and handle, button faces, check boxes,
step buttons, the round window buttons, logos, menu pictures and the
program icon. Each function returns an RGB array at the exact size the
program expects (RGBA for the icon images)."""
import math

import cairo
import numpy as np

import canvas as cv
from canvas import Canvas, mix

# --- slider ----------------------------------------------------------------

def track():
    """245, 242 x 7. The track window is 5 pixels high and shows columns
    3.. of rows 0..4: a sunken groove with a faint lit core."""
    c = Canvas(242, 7, fill=(14, 17, 20))
    rows = [(5, 6, 8), (16, 20, 24), (22, 78, 92), (16, 22, 26), (64, 74, 82),
            (30, 35, 40), (30, 35, 40)]
    for y, col in enumerate(rows):
        c.hline(0, 242, y, col)
    c.ctx.rectangle(0, 2, 242, 1)
    c.hgrad(0, 242, [(0, (20, 90, 106)), (0.5, (30, 130, 150)), (1, (20, 90, 106))])
    return c.pixels()


def handle(state):
    """250 normal, 271 hot, 358 disabled: 21 x 11, cut by the program to a
    rounded rectangle with 6 x 6 corners."""
    c = Canvas(21, 11, fill=(10, 12, 14))
    if state == "disabled":
        top, bottom, grip = (92, 98, 102), (58, 62, 66), (50, 54, 58)
    elif state == "hot":
        top, bottom, grip = (176, 238, 250), (30, 150, 178), (12, 70, 86)
    else:
        top, bottom, grip = (214, 222, 228), (110, 122, 132), (60, 68, 76)
    c.round_rect(0.5, 0.5, 20, 10, 3)
    c.vgrad(0, 11, [(0, top), (0.45, mix(top, bottom, 0.45)), (1, bottom)])
    c.round_rect(0.5, 0.5, 20, 10, 3)
    c.stroke((12, 14, 16), 1)
    c.hline(3, 18, 1, mix(top, (255, 255, 255), 0.5))
    for gx in (8, 10, 12):
        c.vline(gx, 3, 8, grip)
        c.vline(gx + 1, 3, 8, mix(top, (255, 255, 255), 0.3), 0.7)
    return c.pixels()


# --- push buttons ----------------------------------------------------------

def _glass(c, w, h, top, bottom, visible_h):
    """Glossy face: lighter upper half over the rows the button shows."""
    c.rect(0, 0, w, h, bottom)
    c.ctx.rectangle(0, 0, w, visible_h)
    mid = mix(top, bottom, 0.55)
    c.vgrad(0, visible_h, [(0, mix(top, (255, 255, 255), 0.12)), (0.48, top),
                           (0.52, mid), (1, bottom)])
    c.ctx.rectangle(0, visible_h, w, h - visible_h)
    c.fill(bottom)


TEXT_FACES = {
    "normal": ((70, 94, 104), (30, 42, 48)),
    "hot": ((46, 152, 176), (14, 72, 88)),
    "disabled": ((100, 108, 112), (82, 88, 92)),
}


def text_face(state):
    """258 normal, 267 hot, 330 disabled: 100 x 18. The panel's buttons are
    35 x 14 and show the top-left 34 x 13 of the face."""
    c = Canvas(100, 18)
    top, bottom = TEXT_FACES[state]
    _glass(c, 100, 18, top, bottom, 13)
    return c.pixels()


GROUP_FACES = {
    "normal": ((76, 88, 96), (30, 36, 42)),
    "pressed": ((36, 44, 50), (58, 68, 76)),
    "hot": ((44, 142, 166), (14, 64, 78)),
}


def group_face(state):
    """333 normal (also disabled), 334 spare, 335 hot/selected: 66 x 33;
    the group buttons are 42..62 x 25 and show the top-left part."""
    c = Canvas(66, 33)
    top, bottom = GROUP_FACES[state]
    _glass(c, 66, 33, top, bottom, 25)
    if state == "hot":
        # A lit strip along the bottom edge marks the selected button.
        c.ctx.rectangle(0, 20, 66, 4)
        c.vgrad(20, 24, [(0, (14, 64, 78)), (1, (60, 200, 228))])
    return c.pixels()


def step_face(direction, state):
    """453..455 (down: normal, disabled, hot) and 456..458 (up: normal,
    disabled, hot): 17 x 11 with a small arrow. The program draws a frame
    over the outer pixel ring."""
    c = Canvas(17, 11)
    faces = {"normal": ((66, 84, 92), (30, 40, 46), (110, 220, 240)),
             "hot": ((56, 160, 184), (16, 76, 92), (255, 255, 255)),
             "disabled": ((88, 94, 98), (70, 76, 80), (50, 56, 60))}
    top, bottom, arrow = faces[state]
    _glass(c, 17, 11, top, bottom, 10)
    cx, cy = 8.0, 5.0
    if direction == "up":
        pts = [(cx + 3, cy), (cx - 2, cy - 3.5), (cx - 2, cy + 3.5)]
    else:
        pts = [(cx - 3, cy), (cx + 2, cy - 3.5), (cx + 2, cy + 3.5)]
    c.polygon(pts)
    c.fill(arrow)
    return c.pixels()


def check_face(state):
    """259 normal, 272 hot, 359 disabled: 11 x 11; the program shows the
    inner 8 x 8 from (2, 2) and draws its own red tick."""
    c = Canvas(11, 11, fill=cv.DECK)
    border = {"normal": (150, 170, 178), "hot": (70, 210, 236),
              "disabled": (70, 76, 80)}[state]
    inner = {"normal": ((10, 12, 14), (40, 46, 52)),
             "hot": ((12, 40, 48), (40, 90, 104)),
             "disabled": ((34, 36, 38), (40, 42, 44))}[state]
    c.rect(2, 2, 8, 8, border)
    c.ctx.rectangle(3, 3, 6, 6)
    c.vgrad(3, 9, [(0, inner[0]), (1, inner[1])])
    return c.pixels()


def round_button(kind, hot):
    """264/270 minimise (normal/hot), 265/269 close: 16 x 17, cut to the
    inscribed ellipse."""
    c = Canvas(16, 17, fill=(10, 12, 14))
    glow = (60, 200, 230) if kind == "minimise" else (236, 70, 60)
    ctx = c.ctx
    ctx.save()
    ctx.translate(8, 8.5)
    ctx.scale(1, 17 / 16)
    ctx.arc(0, 0, 7.6, 0, 2 * math.pi)
    ctx.restore()
    if hot:
        c.vgrad(0, 17, [(0, mix(glow, (255, 255, 255), 0.35)), (1, mix(glow, (0, 0, 0), 0.45))])
    else:
        c.vgrad(0, 17, [(0, (92, 104, 112)), (1, (22, 26, 30))])
    ctx.save()
    ctx.translate(8, 8.5)
    ctx.scale(1, 17 / 16)
    ctx.arc(0, 0, 6.2, 0, 2 * math.pi)
    ctx.restore()
    if hot:
        c.vgrad(0, 17, [(0, glow), (1, mix(glow, (0, 0, 0), 0.35))])
    else:
        c.vgrad(0, 17, [(0, (36, 42, 48)), (1, (54, 62, 68))])
    mark = (255, 255, 255) if hot else (190, 204, 210)
    ctx.set_line_cap(cairo.LINE_CAP_ROUND)
    ctx.new_path()
    if kind == "minimise":
        ctx.move_to(5, 9)
        ctx.line_to(11, 9)
    else:
        ctx.move_to(5.5, 6)
        ctx.line_to(10.5, 11)
        ctx.move_to(10.5, 6)
        ctx.line_to(5.5, 11)
    c.stroke(mark, 1.6)
    return c.pixels()


# --- logos -----------------------------------------------------------------

LOGO_BG = (14, 17, 20)


def _emblem(c, x, y, s):
    """A chip-like hexagon with a V cut into it."""
    ctx = c.ctx
    pts = [(x + s * math.cos(math.radians(a)), y + s * math.sin(math.radians(a)))
           for a in range(-90, 270, 60)]
    c.polygon(pts)
    c.vgrad(y - s, y + s, [(0, (60, 210, 236)), (1, (14, 90, 110))])
    c.polygon(pts)
    c.stroke((150, 236, 250), 1)
    c.polygon([(x - s * 0.5, y - s * 0.42), (x - s * 0.18, y - s * 0.42),
               (x, y + s * 0.12), (x + s * 0.18, y - s * 0.42),
               (x + s * 0.5, y - s * 0.42), (x, y + s * 0.6)])
    c.fill((255, 255, 255))


def logo(chinese):
    """352 (Simplified Chinese) 100 x 40 and 353 (others) 100 x 36. The
    logo window is 123 x 44 and the picture sits at its top-left, so the
    artwork leans right to look centred in the window."""
    h = 40 if chinese else 36
    c = Canvas(100, h, fill=LOGO_BG)
    _emblem(c, 35, 14 if chinese else 15, 10)
    c.text(49, 21 if chinese else 22, "VEXA", 17, (255, 255, 255), bold=True,
           italic=True)
    if chinese:
        c.text(62, 37, "\u663e\u5361\u63a7\u5236\u9762\u677f", 11,
               (160, 222, 236), face=cv.CJK, align="center", spacing=0.2)
    else:
        c.text(62, 33, "GRAPHICS PANEL", 7.2, (140, 210, 226), bold=True,
               align="center", spacing=0.6)
    return c.pixels()


# --- menus -----------------------------------------------------------------

def tray_picture(kind, selected):
    """448/449 "Main window" (selected/normal), 451/450 "Quit": 20 x 20 on
    the owner-drawn menu's own background colours."""
    bg = cv.MENU_HILITE if selected else cv.MENU_BG
    c = Canvas(20, 20, fill=bg)
    ink = (20, 26, 30) if selected else (240, 246, 248)
    accent = (10, 110, 134) if selected else (90, 220, 244)
    ctx = c.ctx
    if kind == "main":
        c.round_rect(3.5, 4.5, 13, 11, 1.5)
        c.stroke(ink, 1)
        c.rect(4, 5, 12, 3, accent)
        c.rect(6, 10, 8, 1, ink)
        c.rect(6, 12, 5, 1, ink)
    else:
        ctx.set_line_cap(cairo.LINE_CAP_ROUND)
        ctx.new_path()
        ctx.arc(10, 10.5, 5.5, math.radians(-60), math.radians(240))
        c.stroke(accent if not selected else (170, 30, 24), 1.8)
        ctx.new_path()
        ctx.move_to(10, 3.5)
        ctx.line_to(10, 10)
        c.stroke(ink, 1.8)
    return c.pixels()


def sysmenu_picture():
    """351, 14 x 14: the system menu's "About" item, on a light menu."""
    c = Canvas(14, 14, fill=(240, 240, 240))
    c.ctx.arc(7, 7, 6, 0, 2 * math.pi)
    c.vgrad(1, 13, [(0, (60, 200, 230)), (1, (16, 96, 120))])
    c.rect(6, 6, 2, 5, (255, 255, 255))
    c.rect(6, 3, 2, 2, (255, 255, 255))
    return c.pixels()


# --- icon ------------------------------------------------------------------

def icon_image(size):
    """Icon 140 at 16, 32 or 48 pixels: a dark rounded tile with the meter
    arc of the popups and a V."""
    c = Canvas(size, size)
    s = size / 48.0
    ctx = c.ctx
    c.round_rect(1 * s, 1 * s, 46 * s, 46 * s, 9 * s)
    c.vgrad(0, size, [(0, (64, 74, 82)), (1, (16, 19, 22))])
    c.round_rect(1.5 * s, 1.5 * s, 45 * s, 45 * s, 8.5 * s)
    c.stroke((8, 10, 12), max(1.0, 1.2 * s))
    cx, cy = 24 * s, 30 * s
    n = 5 if size <= 16 else 9
    for i in range(n):
        a0 = math.radians(-160 + i * 140 / n + 2)
        a1 = math.radians(-160 + (i + 1) * 140 / n - 2)
        ctx.new_path()
        ctx.arc(cx, cy, 19 * s, a0, a1)
        ctx.arc_negative(cx, cy, 13 * s, a1, a0)
        ctx.close_path()
        from gauges import ramp
        c.fill(ramp(i / (n - 1)))
    w = 6.5 * s
    c.polygon([(cx - 2.2 * w, cy - 1.4 * w), (cx - 1.2 * w, cy - 1.4 * w),
               (cx, cy + 0.4 * w), (cx + 1.2 * w, cy - 1.4 * w),
               (cx + 2.2 * w, cy - 1.4 * w), (cx, cy + 1.9 * w)])
    c.fill((255, 255, 255))
    return c.pixels(alpha=True)
