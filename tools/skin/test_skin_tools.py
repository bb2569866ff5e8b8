#!/usr/bin/env python3
"""Tests of the skin tools themselves: the bitmap and icon writers, and the
outline model the skin checks rely on."""
import os
import struct
import sys
import tempfile
import unittest

import numpy as np

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import bmpio  # noqa: E402
import outline  # noqa: E402

WHITE = (255, 255, 255)


def picture(w, h, box, colour=(20, 30, 40)):
    img = np.full((h, w, 3), 255, np.uint8)
    x0, y0, x1, y1 = box
    img[y0:y1, x0:x1] = colour
    return img


class BitmapFiles(unittest.TestCase):
    def round_trip(self, w, h, bpp):
        rng = np.random.default_rng(w * 100 + h)
        img = rng.integers(0, 256, (h, w, 3), dtype=np.uint8)
        with tempfile.TemporaryDirectory() as d:
            path = os.path.join(d, "x.bmp")
            bmpio.write_bmp(path, img, bpp)
            back, got_bpp = bmpio.read_bmp(path)
            size = os.path.getsize(path)
        self.assertEqual(got_bpp, bpp)
        np.testing.assert_array_equal(back, img)
        stride = ((w * bpp + 31) // 32) * 4
        self.assertEqual(size, 54 + stride * h)

    def test_rows_of_every_padding_survive(self):
        for w in (1, 2, 3, 4, 5, 17, 139):
            self.round_trip(w, 3, 24)
        self.round_trip(100, 36, 32)

    def test_icon_directory_lists_each_image(self):
        imgs = [np.zeros((s, s, 4), np.uint8) for s in (16, 32, 48)]
        for img in imgs:
            img[2:-2, 2:-2] = (10, 20, 30, 255)
        with tempfile.TemporaryDirectory() as d:
            path = os.path.join(d, "x.ico")
            bmpio.write_ico(path, imgs)
            with open(path, "rb") as f:
                data = f.read()
        _, kind, count = struct.unpack_from("<HHH", data, 0)
        self.assertEqual((kind, count), (1, 3))
        for i, s in enumerate((16, 32, 48)):
            w, h, _, _, planes, bits, size, offset = struct.unpack_from(
                "<BBBBHHII", data, 6 + 16 * i)
            self.assertEqual((w, h, planes, bits), (s, s, 1, 32))
            header = struct.unpack_from("<IiiHH", data, offset)
            self.assertEqual(header, (40, s, 2 * s, 1, 32))
            mask_stride = ((s + 31) // 32) * 4
            self.assertEqual(size, 40 + s * s * 4 + mask_stride * s)


class OutlineModel(unittest.TestCase):
    def test_rows_above_the_picture_repeat_its_first_row(self):
        img = picture(20, 10, (4, 3, 16, 10))
        pts = outline.outline_points(img)
        h = 10
        for y in range(3):
            self.assertEqual(pts[y], pts[3])
            self.assertEqual(pts[2 * h - 1 - y], pts[2 * h - 1 - 3])
        # Picture columns 4..15. Upper half: left (x+1, y) moved by (+1, +1),
        # right (x-1, y) moved by (-1, -1).
        self.assertEqual(pts[3], (4 + 1 + 1, 3 + 1))
        self.assertEqual(pts[2 * h - 1 - 3], (15 - 1 - 1, 3 - 1))

    def test_a_pixel_near_white_in_one_byte_does_not_count(self):
        img = picture(20, 4, (5, 0, 15, 4))
        img[:, 2] = (255, 0, 0)  # red: its red byte equals the key's
        img[:, 17] = (0, 0, 252)  # blue byte within 3 of the key
        pts = outline.outline_points(img)
        # Picture columns 5..14; row 3 is in the lower half.
        self.assertEqual(pts[3], (5 + 1 + 2, 3))
        self.assertEqual(pts[4], (14 - 1, 3))

    def test_lower_half_edges_are_trimmed_in_place(self):
        img = picture(12, 8, (0, 0, 12, 8))
        pts = outline.outline_points(img)
        self.assertEqual(pts[4], (3, 4))       # lower left: x + 1 + 2
        self.assertEqual(pts[2 * 8 - 1 - 4], (10, 4))  # lower right: x - 1

    def test_a_clean_shape_has_no_stray_pixels_or_holes(self):
        img = picture(40, 30, (0, 0, 40, 30))
        region, stray, holes = outline.check_outline(img)
        self.assertFalse(stray.any())
        self.assertFalse(holes.any())
        self.assertTrue(region[15, 5:37].all())

    def test_a_shape_widening_fast_at_the_top_right_lets_key_pixels_in(self):
        img = picture(60, 40, (0, 0, 20, 40))
        img[6:40, 20:60] = (20, 30, 40)  # a step of 40 pixels on one row
        _, stray, _ = outline.check_outline(img)
        self.assertTrue(stray[5].any())

    def test_white_artwork_inside_the_outline_stays_in_the_window(self):
        img = picture(40, 30, (0, 0, 40, 30))
        img[10:20, 10:30] = WHITE
        region, stray, holes = outline.check_outline(img)
        self.assertTrue(region[10:20, 10:30].all())
        self.assertFalse(stray.any())
        self.assertFalse(holes.any())


if __name__ == "__main__":
    unittest.main()
