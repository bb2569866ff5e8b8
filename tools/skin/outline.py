"""The window outline the program traces from a shaped bitmap, reproduced
so the skin can be checked before it ever reaches a window: one left and one
right point per row where the first picture pixel (every byte more than 3
away from the white key) is met, rows above the picture repeating the first
picture row, then the edge adjustment, then one polygon filled by scanlines.

check_outline() reports key-coloured pixels that end up inside the window
(white specks around the edge) and picture pixels the window loses deep
inside the shape (holes)."""
import math

import numpy as np

KEY = (255, 255, 255)


def picture_mask(rgb, key=KEY):
    diff = np.abs(rgb.astype(np.int16) - np.array(key, np.int16))
    return np.all(diff > 3, axis=2)


def outline_points(rgb, key=KEY):
    pic = picture_mask(rgb, key)
    h, w = pic.shape
    pts = [None] * (2 * h)
    first = None
    for y in range(h):
        xs = np.flatnonzero(pic[y])
        if len(xs):
            pts[y] = (xs[0] + 1, y)
            pts[2 * h - 1 - y] = (xs[-1] - 1, y)
            if first is None:
                first = y
        else:
            pts[y] = (0, y)
            pts[2 * h - 1 - y] = (w - 1, y)
    if first is None:
        return None
    for y in range(first):
        pts[y] = pts[first]
        pts[2 * h - 1 - y] = pts[2 * h - 1 - first]
    out = []
    for i, (x, y) in enumerate(pts):
        if i < h // 2:
            out.append((x + 1, y + 1))
        elif i < h:
            out.append((x + 2, y))
        elif i >= (3 * h) // 2:
            out.append((x - 1, y - 1))
        else:
            out.append((x, y))
    return out


def polygon_mask(pts, w, h):
    """Alternate-fill scan conversion: scanline y meets each non-horizontal
    edge whose span covers [y, y+1); a pixel x is inside between pairs of
    crossings, left crossing inclusive, right exclusive."""
    mask = np.zeros((h, w), bool)
    edges = []
    n = len(pts)
    for i in range(n):
        (x1, y1), (x2, y2) = pts[i], pts[(i + 1) % n]
        if y1 != y2:
            edges.append((x1, y1, x2, y2))
    for y in range(h):
        xs = []
        for x1, y1, x2, y2 in edges:
            lo, hi = min(y1, y2), max(y1, y2)
            if lo <= y < hi:
                xs.append(x1 + (y - y1) * (x2 - x1) / (y2 - y1))
        xs.sort()
        for a, b in zip(xs[0::2], xs[1::2]):
            x0 = max(0, math.ceil(a))
            x1 = min(w, math.ceil(b))
            if x1 > x0:
                mask[y, x0:x1] = True
    return mask


def window_region(rgb, key=KEY):
    h, w = rgb.shape[:2]
    pts = outline_points(rgb, key)
    if pts is None:
        return np.zeros((h, w), bool)
    return polygon_mask(pts, w, h)


def outside_mask(rgb, key=KEY):
    """Key pixels connected to the bitmap's border: what the design means
    to be outside the window."""
    free = ~picture_mask(rgb, key)
    out = np.zeros_like(free)
    out[0, :] = free[0, :]
    out[-1, :] = free[-1, :]
    out[:, 0] = free[:, 0]
    out[:, -1] = free[:, -1]
    while True:
        grown = out.copy()
        grown[1:, :] |= out[:-1, :]
        grown[:-1, :] |= out[1:, :]
        grown[:, 1:] |= out[:, :-1]
        grown[:, :-1] |= out[:, 1:]
        grown &= free
        if (grown == out).all():
            return out
        out = grown


def erode(mask, n):
    m = mask.copy()
    for _ in range(n):
        e = m.copy()
        e[1:, :] &= m[:-1, :]
        e[:-1, :] &= m[1:, :]
        e[:, 1:] &= m[:, :-1]
        e[:, :-1] &= m[:, 1:]
        e[0, :] = e[-1, :] = False
        e[:, 0] = e[:, -1] = False
        m = e
    return m


def check_outline(rgb, key=KEY, margin=4):
    """Returns (region, stray, holes): stray = outside pixels inside the
    region; holes = pixels at least `margin` inside the shape that the
    region misses."""
    region = window_region(rgb, key)
    outside = outside_mask(rgb, key)
    stray = region & outside
    inner = erode(~outside, margin)
    holes = inner & ~region
    return region, stray, holes
