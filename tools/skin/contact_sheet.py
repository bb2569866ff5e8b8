#!/usr/bin/env python3
"""Renders the skin for a human eye, into one PNG:

 1. the main window as the program would show it: the skin cut by the
    traced outline, the popups cut by theirs at sample positions, and the
    control faces, captions and value displays laid at their panel
    coordinates the way the controls paint them;
 2. the same with the layout boxes outlined, to spot anything on a seam;
 3. every bitmap at 1:1 with its id.

    contact_sheet.py SKIN_DIR OUT.png [--font digifaw.ttf]
"""
import argparse
import os
import sys

import numpy as np
from PIL import Image, ImageDraw, ImageFont

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import bmpio  # noqa: E402
import layout as L  # noqa: E402
import outline  # noqa: E402
from gauges import TABLE_31, TABLE_42  # noqa: E402
from skin_table import BITMAPS  # noqa: E402

SANS = "/usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf"
SANS_BOLD = "/usr/share/fonts/truetype/liberation2/LiberationSans-Bold.ttf"
DESKTOP = (58, 110, 165)
WHITE, GREY = (255, 255, 255), (0x77, 0x8B, 0x8B)
LIGHT_FRAME, DISABLED_TEXT = (0xA5, 0xD1, 0xD1), (0x3B, 0x4F, 0x4F)


def font(path, size):
    for p in (path, path.replace("liberation2", "liberation")):
        if os.path.exists(p):
            return ImageFont.truetype(p, size)
    return ImageFont.load_default()


class Panel:
    def __init__(self, skin_dir, digits_font):
        self.dir = skin_dir
        self.cache = {}
        self.f1 = font(SANS_BOLD, 12)
        self.f2 = font(SANS, 12)
        self.f4 = font(SANS_BOLD, 9)
        self.f3 = (ImageFont.truetype(digits_font, 16) if digits_font and
                   os.path.exists(digits_font) else self.f2)

    def bmp(self, rid):
        if rid not in self.cache:
            self.cache[rid] = bmpio.read_bmp(os.path.join(self.dir, "%d.bmp" % rid))[0]
        return self.cache[rid]

    def shaped(self, img, rid, x, y):
        pix = self.bmp(rid)
        region = outline.window_region(pix)
        tile = Image.fromarray(pix)
        img.paste(tile, (x, y), Image.fromarray((region * 255).astype(np.uint8)))

    def blit(self, img, rid, x, y, w=None, h=None, sx=0, sy=0):
        pix = self.bmp(rid)
        h = h or pix.shape[0]
        w = w or pix.shape[1]
        img.paste(Image.fromarray(pix[sy:sy + h, sx:sx + w]), (x, y))

    def text_button(self, img, d, box, faces, caption, state, font_):
        x, y, w, h = box
        normal, hot, disabled = faces
        face = {"normal": normal, "hot": hot, "pressed": hot, "disabled": disabled}[state]
        off = 1 if state == "pressed" else 0
        self.blit(img, face, x + off, y + off, w - 1, h - 1)
        W, H = x + w - 1, y + h - 1
        if state == "pressed":
            d.line([(x, y), (W, y)], (0, 0, 0)); d.line([(x, y), (x, H)], (0, 0, 0))
            d.line([(x, H), (W, H)], WHITE); d.line([(W, H), (W, y)], WHITE)
        elif state == "disabled":
            d.rectangle([x, y, W, H], outline=(0, 0, 0))
        else:
            d.line([(x, y), (W, y)], LIGHT_FRAME); d.line([(x, y), (x, H)], LIGHT_FRAME)
            d.line([(x, H), (W, H)], (0, 0, 0)); d.line([(W, H), (W, y)], (0, 0, 0))
        if caption:
            col = DISABLED_TEXT if state == "disabled" else WHITE
            d.multiline_text((x + w / 2, y + h / 2 + off), caption, col, font_,
                             anchor="mm", align="center", spacing=0)

    def group_button(self, img, d, box, caption, selected, font_):
        x, y, w, h = box
        face = 335 if selected else 333
        off = 0 if selected else 1
        self.blit(img, face, x + off, y + off, min(w, 66) - off, min(h, 33) - off)
        W, H = x + w - 1, y + h - 1
        if selected:
            d.line([(x, y), (W, y)], (0, 0, 0)); d.line([(x, y), (x, H)], (0, 0, 0))
            d.line([(x, H), (W, H)], WHITE); d.line([(W, H), (W, y)], WHITE)
        else:
            d.line([(x, y), (W, y)], LIGHT_FRAME); d.line([(x, y), (x, H)], LIGHT_FRAME)
            d.line([(x, H), (W, H)], (0, 0, 0)); d.line([(W, H), (W, y)], (0, 0, 0))
        top = y + (1 if selected else 0)
        if "\n" in caption:
            d.multiline_text((x + w / 2, top), caption, WHITE, font_, anchor="ma",
                             align="center", spacing=0)
        else:
            d.text((x + w / 2, top + h / 2), caption, WHITE, font_, anchor="mm")

    def check(self, img, d, box, checked, rid=259):
        x, y, w, h = box
        self.blit(img, rid, x, y, w, h, 2, 2)
        if checked:
            d.line([(x + 1, y + h // 2 - 1), (x + w // 2 - 1, y + h - 1),
                    (x + w - 1, y + 1)], (255, 0, 0))

    def slider(self, img, name, fraction, handle=250):
        x, y, tw = L.TRACKS[name]
        self.blit(img, 245, x, y, tw, 5, 3, 0)
        hx = int(x + fraction * tw - 10)
        pix = self.bmp(handle)
        mask = Image.new("L", (21, 11), 0)
        ImageDraw.Draw(mask).rounded_rectangle([0, 0, 20, 10], 3, 255)
        img.paste(Image.fromarray(pix), (hx, y - 3), mask)

    def round_button(self, img, rid, box):
        x, y, w, h = box
        mask = Image.new("L", (w, h), 0)
        ImageDraw.Draw(mask).ellipse([0, 0, w - 1, h - 1], 255)
        img.paste(Image.fromarray(self.bmp(rid)), (x, y), mask)

    def render(self):
        img = Image.new("RGB", (L.SKIN_W + 40, L.SKIN_H + 40), DESKTOP)
        panel = Image.new("RGB", (L.SKIN_W, L.SKIN_H))
        d = ImageDraw.Draw(panel)
        skin = self.bmp(243)
        panel.paste(Image.fromarray(skin))
        # Popups: fan slider at its minimum, the clocks part way up.
        self.shaped(panel, TABLE_42[0], *L.POPUPS["fan"][:2])
        self.shaped(panel, TABLE_42[26], *L.POPUPS["gpu"][:2])
        self.shaped(panel, TABLE_42[33], *L.POPUPS["memory"][:2])
        self.shaped(panel, TABLE_31[19], *L.POPUPS["shader"][:2])
        for name, cap, (tx, ty) in (("fan", "Fan Speed", (43, 50)),
                                    ("gpu", "GPU Clock", (43, 50)),
                                    ("memory", "Memory Clock", (43, 50)),
                                    ("shader", "GPU\nShader", (20, 15))):
            px, py, pw, ph = L.POPUPS[name]
            if name == "gpu":
                continue  # hidden under the shader popup
            d.multiline_text((px + pw / 2, py + ty), cap, WHITE, self.f1,
                             anchor="ma", align="center", spacing=0)
        # Fan section in Auto mode.
        self.check(panel, d, L.CONTROLS["auto_box"], True)
        self.check(panel, d, L.CONTROLS["manual_box"], False)
        self.check(panel, d, L.CONTROLS["link_box"], True, 272)
        for name, frac in (("gpu", 0.62), ("shader", 0.47), ("memory", 0.8)):
            self.slider(panel, name, frac, 271 if name == "memory" else 250)
        faces_down, faces_up = (453, 455, 454), (456, 458, 457)
        for name in ("gpu", "shader", "mem"):
            self.text_button(panel, d, L.CONTROLS[name + "_down"], faces_down, None,
                             "normal", self.f2)
            self.text_button(panel, d, L.CONTROLS[name + "_up"], faces_up, None,
                             "hot" if name == "gpu" else "normal", self.f2)
        self.text_button(panel, d, L.CONTROLS["test"], (258, 267, 330), "Test",
                         "hot", self.f2)
        self.text_button(panel, d, L.CONTROLS["apply"], (258, 267, 330), "Apply",
                         "disabled", self.f2)
        for name, caption, sel, f in (("master", "Master", True, self.f1),
                                      ("slave", "Slave", False, self.f1),
                                      ("bios", "Vexa\nBIOS", False, self.f1),
                                      ("settings", "Settings", False, self.f1),
                                      ("restore", "Restore Def.\nHw Settings", False, self.f2),
                                      ("about", "About", False, self.f1)):
            self.group_button(panel, d, L.CONTROLS[name], caption, sel, f)
        for name, value, col in (("gpu_display", "575", WHITE),
                                 ("shader_display", "1350", WHITE),
                                 ("mem_display", "900", WHITE),
                                 ("fan_display", "2400", WHITE),
                                 ("temp_display", "93", (255, 0, 0))):
            x, y, w, h = L.CONTROLS[name]
            d.rectangle([x, y, x + w - 1, y + h - 1], fill=(94, 105, 111))
            d.text((x + w / 2, y + h / 2), value, col, self.f3, anchor="mm")
        lx, ly, _, _ = L.CONTROLS["logo"]
        self.blit(panel, 353, lx, ly)
        self.round_button(panel, 264, L.CONTROLS["minimise"])
        self.round_button(panel, 269, L.CONTROLS["close"])
        for name, sel in (("radio_2d", True), ("radio_3d", False)):
            x, y, w, h = L.CONTROLS[name]
            d.ellipse([x, y, x + 6, y + 6], fill=(0, 0x64, 0xBE) if sel else WHITE)
        d.rectangle(L.LEVEL_FRAME, outline=WHITE)
        for x, y, s, bold in L.TEXTS:
            if s in ("Min", "Max"):
                continue  # Manual mode only
            d.text((x, y), s, WHITE, self.f1 if bold else self.f2)
        region = outline.window_region(skin)
        img.paste(panel, (20, 20), Image.fromarray((region * 255).astype(np.uint8)))
        return img

    def overlay(self, base):
        img = base.copy()
        d = ImageDraw.Draw(img)
        for name, (x, y, w, h) in L.CONTROLS.items():
            d.rectangle([20 + x, 20 + y, 20 + x + w - 1, 20 + y + h - 1], outline=(255, 0, 255))
        for name, (x, y, w, h) in L.POPUPS.items():
            d.rectangle([20 + x, 20 + y, 20 + x + w - 1, 20 + y + h - 1], outline=(255, 255, 0))
        for name, tr in L.TRACKS.items():
            x, y, w = tr
            d.rectangle([20 + x, 20 + y, 20 + x + w - 1, 20 + y + 4], outline=(0, 255, 0))
        for x, y, s, bold in L.TEXTS:
            f = self.f1 if bold else self.f2
            x0, y0, x1, y1 = d.textbbox((20 + x, 20 + y), s, f)
            d.rectangle([x0, y0, x1, y1], outline=(255, 128, 0))
        return img


def all_bitmaps(panel, width):
    label = font(SANS, 10)
    items = sorted(BITMAPS)
    x, y, row_h = 10, 10, 0
    placed = []
    for rid in items:
        pix = panel.bmp(rid)
        h, w = pix.shape[:2]
        if x + w + 10 > width:
            x, y, row_h = 10, y + row_h + 24, 0
        placed.append((rid, x, y))
        x += max(w, 30) + 12
        row_h = max(row_h, h)
    img = Image.new("RGB", (width, y + row_h + 30), (128, 128, 128))
    d = ImageDraw.Draw(img)
    for rid, x, y in placed:
        pix = panel.bmp(rid)
        img.paste(Image.fromarray(pix), (x, y + 12))
        bpp = bmpio.read_bmp(os.path.join(panel.dir, "%d.bmp" % rid))[1]
        d.text((x, y), "%d%s" % (rid, "" if bpp == 24 else " (%d)" % bpp), (0, 0, 0), label)
    return img


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("skin_dir")
    ap.add_argument("out")
    ap.add_argument("--font")
    a = ap.parse_args()
    panel = Panel(a.skin_dir, a.font)
    preview = panel.render()
    boxes = panel.overlay(preview)
    width = 2 * preview.width + 10
    sheet_rest = all_bitmaps(panel, width)
    out = Image.new("RGB", (width, preview.height + sheet_rest.height), (128, 128, 128))
    out.paste(preview, (0, 0))
    out.paste(boxes, (preview.width + 10, 0))
    out.paste(sheet_rest, (0, preview.height))
    out.save(a.out)
    skin = panel.bmp(243)
    _, stray, holes = outline.check_outline(skin)
    print("contact sheet: %s (skin outline: %d stray key pixels, %d holes)"
          % (a.out, stray.sum(), holes.sum()))


if __name__ == "__main__":
    main()
