"""Slider popup pictures: a segmented arc meter that fills as the slider's
handle moves. 42 frames of 139 x 71 (GPU, memory and fan sliders) and 31
frames of 88 x 44 (the shader slider, whose popup sits inside the GPU one).
The program writes the slider's caption over the lower middle of each
picture, so the meter keeps to the top and the corners."""
import math

import cairo

import canvas as cv
from canvas import Canvas, mix

# Frame order of the two picture tables: entry i shows fill level i/(n-1).
TABLE_42 = [242, 240, 282, 328, 284, 285, 286, 287, 288, 289, 290, 291, 292,
            293, 294, 295, 296, 297, 298, 299, 300, 301, 302, 303, 304, 305,
            306, 307, 311, 312, 313, 314, 315, 316, 317, 318, 319, 320, 321,
            322, 323, 308]
TABLE_31 = [407, 438, 429, 418, 415, 414, 374, 413, 412, 408, 409, 443, 444,
            445, 446, 442, 441, 440, 439, 437, 436, 435, 434, 411, 410, 433,
            432, 431, 430, 428, 427]

RAMP = [(0.0, (38, 196, 226)), (0.45, (70, 220, 130)), (0.7, (236, 212, 64)),
        (0.85, (250, 146, 44)), (1.0, (240, 62, 50))]


def ramp(t):
    for (t0, c0), (t1, c1) in zip(RAMP, RAMP[1:]):
        if t <= t1:
            return mix(c0, c1, (t - t0) / (t1 - t0) if t1 > t0 else 0)
    return RAMP[-1][1]


class Meter:
    def __init__(self, w, h, top_cut, bottom_cut, cx, cy, r_out, r_in,
                 segments, half_angle):
        self.w, self.h = w, h
        self.top_cut, self.bottom_cut = top_cut, bottom_cut
        self.cx, self.cy = cx, cy
        self.r_out, self.r_in = r_out, r_in
        self.segments = segments
        self.half = math.radians(half_angle)

    def outline(self):
        w, h, k, b = self.w, self.h, self.top_cut, self.bottom_cut
        return [(k, 0), (w - k, 0), (w, k), (w, h - b), (w - b, h), (b, h),
                (0, h - b), (0, k)]

    def seg_angles(self, i):
        span = 2 * self.half / self.segments
        a0 = -math.pi / 2 - self.half + i * span
        return a0 + span * 0.18, a0 + span * 0.82

    def plate(self, c):
        pts = self.outline()
        c.polygon(pts)
        c.vgrad(0, self.h, [(0, (30, 37, 43)), (0.55, (14, 17, 21)), (1, (9, 11, 13))])
        c.polygon(pts)
        c.ctx.set_line_width(9)
        g = cairo.LinearGradient(0, 0, 0, self.h)
        g.add_color_stop_rgb(0, *cv.rgb((120, 132, 140)))
        g.add_color_stop_rgb(1, *cv.rgb((34, 40, 46)))
        c.ctx.set_source(g)
        c.ctx.stroke()
        c.polygon(pts)
        c.stroke(cv.RIM, 7)
        # A faint reflection across the upper half of the glass.
        c.polygon([(4, 4), (self.w * 0.62, 4), (self.w * 0.38, self.h * 0.45),
                   (4, self.h * 0.45)])
        c.fill((255, 255, 255), 0.025)

    def arc_segment(self, c, i, r0, r1):
        a0, a1 = self.seg_angles(i)
        ctx = c.ctx
        ctx.new_path()
        ctx.arc(self.cx, self.cy, r1, a0, a1)
        ctx.arc_negative(self.cx, self.cy, r0, a1, a0)
        ctx.close_path()

    def draw(self, level, marker=True):
        c = Canvas(self.w, self.h, fill=cv.RIM)
        self.plate(c)
        n = self.segments
        lit = int(round(level * n))
        # Glow under the lit part first, then the segments over it.
        for i in range(lit):
            self.arc_segment(c, i, self.r_in - 2, self.r_out + 2)
            c.fill(ramp(i / max(1, n - 1)), 0.16)
        for i in range(n):
            self.arc_segment(c, i, self.r_in, self.r_out)
            if i < lit:
                col = ramp(i / max(1, n - 1))
                g = cairo.RadialGradient(self.cx, self.cy, self.r_in,
                                         self.cx, self.cy, self.r_out)
                g.add_color_stop_rgb(0, *cv.rgb(mix(col, (0, 0, 0), 0.25)))
                g.add_color_stop_rgb(0.5, *cv.rgb(mix(col, (255, 255, 255), 0.25)))
                g.add_color_stop_rgb(1, *cv.rgb(col))
                c.ctx.set_source(g)
                c.ctx.fill()
            else:
                c.fill((36, 46, 54))
        # Scale ticks inside the arc.
        ctx = c.ctx
        for k in range(n + 1):
            a = -math.pi / 2 - self.half + k * 2 * self.half / n
            major = k % (n // 4 if n % 4 == 0 else 10) == 0 or k == n
            r0 = self.r_in - (4 if major else 2)
            ctx.new_path()
            ctx.move_to(self.cx + (self.r_in - 1) * math.cos(a),
                        self.cy + (self.r_in - 1) * math.sin(a))
            ctx.line_to(self.cx + r0 * math.cos(a), self.cy + r0 * math.sin(a))
            c.stroke((110, 126, 134) if major else (62, 72, 80), 1)
        if not marker:
            return c
        # Marker at the lit end, pointing at the arc.
        a = -math.pi / 2 - self.half + level * 2 * self.half
        tip = self.r_in - 5
        base = tip - 5
        px, py = math.cos(a), math.sin(a)
        qx, qy = -py, px
        c.polygon([(self.cx + tip * px, self.cy + tip * py),
                   (self.cx + base * px + 2.6 * qx, self.cy + base * py + 2.6 * qy),
                   (self.cx + base * px - 2.6 * qx, self.cy + base * py - 2.6 * qy)])
        c.fill((235, 245, 248))
        return c

    def finish(self, c):
        pix = c.pixels()
        inside = cv.hard_mask(self.w, self.h,
                              lambda ctx: cv.path_polygon(ctx, self.outline()))
        pix[~inside] = cv.KEY
        return pix


BIG = Meter(139, 71, 10, 6, 69.5, 118, 112, 103, 41, 31.5)
SMALL = Meter(88, 44, 8, 5, 44, 100, 93, 86, 30, 22.5)


def big_frame(i):
    c = BIG.draw(i / 41)
    c.text(9, 64, "MIN", 7, (104, 120, 128), bold=True, spacing=0.4)
    c.text(130, 64, "MAX", 7, (104, 120, 128), bold=True, align="right",
           spacing=0.4)
    return BIG.finish(c)


def small_frame(i):
    # No marker here: the popup's two-line caption fills the middle.
    c = SMALL.draw(i / 30, marker=False)
    return SMALL.finish(c)


def frames():
    """Yields (id, pixels) for every popup picture."""
    for i, rid in enumerate(TABLE_42):
        yield rid, big_frame(i)
    for i, rid in enumerate(TABLE_31):
        yield rid, small_frame(i)
