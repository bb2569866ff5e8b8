"""Small drawing vocabulary over cairo shared by every picture of the skin:
one palette, bevels, glassy fills and text, so that all faces look alike."""
import math

import cairo
import numpy as np

SANS = "Liberation Sans"
CJK = "WenQuanYi Micro Hei"

# The panel's palette (RGB 0..255). Dark graphite with a teal accent; the
# program itself paints white and grey text onto it and uses RGB(94,105,111)
# behind its value displays and tray menu, so the greys lean the same way.
RIM = (8, 10, 12)
BODY_TOP = (50, 58, 65)
BODY_BOTTOM = (27, 32, 37)
DECK = (18, 22, 26)
DECK_LIGHT = (26, 31, 36)
WELL = (11, 13, 16)
BEVEL_LIGHT = (96, 108, 116)
BEVEL_DARK = (4, 5, 6)
ACCENT = (38, 196, 226)
ACCENT_DIM = (22, 96, 112)
DISPLAY_BG = (94, 105, 111)
MENU_BG = (94, 105, 111)
MENU_HILITE = (167, 175, 180)
KEY = (255, 255, 255)


def rgb(c, a=None):
    r, g, b = (v / 255.0 for v in c)
    return (r, g, b) if a is None else (r, g, b, a)


def mix(c1, c2, t):
    return tuple(int(round(a + (b - a) * t)) for a, b in zip(c1, c2))


class Canvas:
    def __init__(self, w, h, fill=None, alpha=False):
        self.w, self.h = w, h
        self.surface = cairo.ImageSurface(cairo.FORMAT_ARGB32, w, h)
        self.ctx = cairo.Context(self.surface)
        if fill is not None:
            self.ctx.set_source_rgb(*rgb(fill))
            self.ctx.paint()

    def pixels(self, alpha=False):
        """RGB (or straight RGBA) array of the picture, top row first."""
        self.surface.flush()
        buf = np.ndarray((self.h, self.surface.get_stride() // 4, 4), np.uint8,
                         self.surface.get_data())[:, :self.w]
        bgra = buf.copy()
        out = bgra[:, :, [2, 1, 0, 3]].astype(np.float64)
        if alpha:
            a = out[:, :, 3:4]
            with np.errstate(invalid="ignore", divide="ignore"):
                straight = np.where(a > 0, out[:, :, :3] * 255.0 / a, 0)
            out = np.concatenate([np.clip(straight, 0, 255), a], axis=2)
            return np.round(out).astype(np.uint8)
        return out[:, :, :3].astype(np.uint8)

    # --- paths -----------------------------------------------------------
    def polygon(self, pts):
        c = self.ctx
        c.new_path()
        c.move_to(*pts[0])
        for p in pts[1:]:
            c.line_to(*p)
        c.close_path()

    def round_rect(self, x, y, w, h, r):
        c = self.ctx
        c.new_path()
        if r <= 0:
            c.rectangle(x, y, w, h)
            return
        c.arc(x + w - r, y + r, r, -math.pi / 2, 0)
        c.arc(x + w - r, y + h - r, r, 0, math.pi / 2)
        c.arc(x + r, y + h - r, r, math.pi / 2, math.pi)
        c.arc(x + r, y + r, r, math.pi, 3 * math.pi / 2)
        c.close_path()

    def chamfer_rect(self, x, y, w, h, k):
        self.polygon([(x + k, y), (x + w - k, y), (x + w, y + k),
                      (x + w, y + h - k), (x + w - k, y + h), (x + k, y + h),
                      (x, y + h - k), (x, y + k)])

    # --- fills -----------------------------------------------------------
    def fill(self, color, alpha=1.0, preserve=False):
        self.ctx.set_source_rgba(*rgb(color, alpha))
        (self.ctx.fill_preserve if preserve else self.ctx.fill)()

    def vgrad(self, y0, y1, stops, preserve=False):
        """Vertical gradient fill of the current path; stops = [(t, rgb)]."""
        g = cairo.LinearGradient(0, y0, 0, y1)
        for t, col in stops:
            g.add_color_stop_rgb(t, *rgb(col))
        self.ctx.set_source(g)
        (self.ctx.fill_preserve if preserve else self.ctx.fill)()

    def hgrad(self, x0, x1, stops, preserve=False):
        g = cairo.LinearGradient(x0, 0, x1, 0)
        for t, col in stops:
            if len(col) == 4:
                g.add_color_stop_rgba(t, *rgb(col[:3], col[3]))
            else:
                g.add_color_stop_rgb(t, *rgb(col))
        self.ctx.set_source(g)
        (self.ctx.fill_preserve if preserve else self.ctx.fill)()

    def stroke(self, color, width=1.0, alpha=1.0, preserve=False):
        self.ctx.set_source_rgba(*rgb(color, alpha))
        self.ctx.set_line_width(width)
        (self.ctx.stroke_preserve if preserve else self.ctx.stroke)()

    def hline(self, x0, x1, y, color, alpha=1.0):
        """A crisp one-pixel horizontal line covering pixels x0..x1-1 of row y."""
        self.ctx.rectangle(x0, y, x1 - x0, 1)
        self.fill(color, alpha)

    def vline(self, x, y0, y1, color, alpha=1.0):
        self.ctx.rectangle(x, y0, 1, y1 - y0)
        self.fill(color, alpha)

    def rect(self, x, y, w, h, color, alpha=1.0):
        self.ctx.rectangle(x, y, w, h)
        self.fill(color, alpha)

    def bevel_box(self, x, y, w, h, light, dark, sunken=True):
        """One-pixel 3-D frame just outside the box (x, y, w, h)."""
        tl, br = (dark, light) if sunken else (light, dark)
        self.hline(x - 1, x + w + 1, y - 1, tl)
        self.vline(x - 1, y - 1, y + h + 1, tl)
        self.hline(x - 1, x + w + 1, y + h, br)
        self.vline(x + w, y - 1, y + h + 1, br)

    def glow(self, cx, cy, r, color, alpha):
        g = cairo.RadialGradient(cx, cy, 0, cx, cy, r)
        g.add_color_stop_rgba(0, *rgb(color, alpha))
        g.add_color_stop_rgba(1, *rgb(color, 0))
        self.ctx.set_source(g)
        self.ctx.arc(cx, cy, r, 0, 2 * math.pi)
        self.ctx.fill()

    # --- text ------------------------------------------------------------
    def text(self, x, y, s, size, color, bold=False, face=SANS, italic=False,
             align="left", alpha=1.0, spacing=0.0, hint=True):
        """Draws s with its baseline at y; align left/center/right on x."""
        c = self.ctx
        c.select_font_face(face,
                           cairo.FONT_SLANT_ITALIC if italic else cairo.FONT_SLANT_NORMAL,
                           cairo.FONT_WEIGHT_BOLD if bold else cairo.FONT_WEIGHT_NORMAL)
        c.set_font_size(size)
        opts = cairo.FontOptions()
        opts.set_hint_style(cairo.HINT_STYLE_SLIGHT if hint else cairo.HINT_STYLE_NONE)
        opts.set_antialias(cairo.ANTIALIAS_GRAY)
        # Unrounded advances keep letter-spaced captions evenly spaced.
        opts.set_hint_metrics(cairo.HINT_METRICS_OFF)
        c.set_font_options(opts)
        width = self.text_width(s, size, bold, face, italic, spacing)
        if align == "center":
            x -= width / 2
        elif align == "right":
            x -= width
        c.set_source_rgba(*rgb(color, alpha))
        if spacing == 0:
            c.move_to(x, y)
            c.show_text(s)
        else:
            for ch in s:
                c.move_to(x, y)
                c.show_text(ch)
                x += c.text_extents(ch).x_advance + spacing
        return width

    def text_width(self, s, size, bold=False, face=SANS, italic=False, spacing=0.0):
        c = self.ctx
        c.select_font_face(face,
                           cairo.FONT_SLANT_ITALIC if italic else cairo.FONT_SLANT_NORMAL,
                           cairo.FONT_WEIGHT_BOLD if bold else cairo.FONT_WEIGHT_NORMAL)
        c.set_font_size(size)
        if spacing == 0:
            return c.text_extents(s).x_advance
        return sum(c.text_extents(ch).x_advance for ch in s) + spacing * (len(s) - 1)


def brushed(pixels, seed, strength=3.0):
    """Adds a faint horizontal brushed-metal grain (deterministic)."""
    rng = np.random.default_rng(seed)
    h, w = pixels.shape[:2]
    rows = rng.normal(0, strength, (h, 1))
    streaks = rng.normal(0, strength * 0.6, (h, w))
    kernel = np.ones(9) / 9
    streaks = np.apply_along_axis(lambda r: np.convolve(r, kernel, "same"), 1, streaks)
    noise = rows + streaks
    out = pixels.astype(np.float64) + noise[:, :, None]
    return np.clip(np.round(out), 0, 255).astype(np.uint8)


def set_pixels(canvas, rgb):
    """Loads an RGB array back into the canvas (opaque)."""
    h, w = rgb.shape[:2]
    stride = canvas.surface.get_stride()
    canvas.surface.flush()
    buf = np.ndarray((h, stride // 4, 4), np.uint8, canvas.surface.get_data())
    buf[:, :w, 0] = rgb[:, :, 2]
    buf[:, :w, 1] = rgb[:, :, 1]
    buf[:, :w, 2] = rgb[:, :, 0]
    buf[:, :w, 3] = 255
    canvas.surface.mark_dirty()


def hard_mask(w, h, draw_path):
    """Coverage of a path without anti-aliasing, as a bool array: the key
    colour around a shaped bitmap must meet the picture on a crisp edge."""
    surf = cairo.ImageSurface(cairo.FORMAT_A8, w, h)
    ctx = cairo.Context(surf)
    ctx.set_antialias(cairo.ANTIALIAS_NONE)
    draw_path(ctx)
    ctx.set_source_rgba(0, 0, 0, 1)
    ctx.fill()
    surf.flush()
    data = np.ndarray((h, surf.get_stride()), np.uint8, surf.get_data())[:, :w]
    return data > 127


def path_polygon(ctx, pts):
    ctx.new_path()
    ctx.move_to(*pts[0])
    for p in pts[1:]:
        ctx.line_to(*p)
    ctx.close_path()
