"""Labeling Images from outside: optascope-cli run answers dialog 117 and the
font chooser; the built-in font draws 8 x 16 cells (twice that at height 32)."""
import os
import subprocess
import tempfile
import unittest

import cv2
import numpy as np

CLI = os.path.join(os.environ.get("OPTA_BUILD_DIR", "build"), "src", "cli", "optascope-cli")
RED = (255, 0, 0)


def label(*answers, then=(), source=None, save_to=None):
    """White 400 x 60 (or the file source) labelled, then the commands in then: the saved RGB picture."""
    with tempfile.TemporaryDirectory() as d:
        path, saved = source or os.path.join(d, "in.bmp"), save_to or os.path.join(d, "saved.bmp")
        if not source:
            cv2.imwrite(path, np.full((60, 400, 3), 255, np.uint8))
        p = subprocess.run([CLI, "run", path, "-c", "Labeling Images", *answers, *then, "--save", saved],
                           capture_output=True, text=True, timeout=60)
        assert (p.returncode, p.stdout, p.stderr) == (0, "", ""), p
        return cv2.imread(saved)[..., ::-1]


def ink(img, rgb):
    """(left, top, right, bottom) of the pixels of one colour, or None."""
    ys, xs = np.nonzero((img == rgb).all(axis=2))
    return None if len(xs) == 0 else (xs.min(), ys.min(), xs.max() + 1, ys.max() + 1)


class Labeling(unittest.TestCase):
    def test_position_length_and_colour(self):
        left, top, right, bottom = ink(label("-a", "1015=Hello", "-a", "1016=5", "-a", "1017=7", "-a", "ok",
                                             "-a", "font=Any,16,255,0,0"), RED)
        self.assertTrue(5 <= left < 8 and 7 <= top < 12 and 5 + 4 * 8 < right <= 5 + 5 * 8 and bottom <= 23)
        left, top, right, _ = ink(label("-a", "1015=" + "H" * 45, "-a", "ok", "-a", "font=Any,16,255,0,0"), RED)
        self.assertEqual((left, top // 8), (0, 0))  # empty positions: (0, 0)
        self.assertTrue(38 * 8 < right <= 39 * 8, right)  # 45 characters became 39
        box = ink(label("-a", "1015=HH", "-a", "1016=-4", "-a", "1017=-6", "-a", "ok"), (0, 0, 0))
        self.assertTrue(box[:2] == (0, 0) and 8 < box[2] <= 12, box)  # partly outside, in black

    def test_empty_text_asks_for_a_font_that_a_cancelled_chooser_keeps_in_black(self):
        img = label("-a", "ok", "-a", "font=Any,32,255,0,0",
                    then=("-c", "Labeling Images", "-a", "1015=A", "-a", "ok"))
        self.assertIsNone(ink(img, RED))
        _, top, _, bottom = ink(img, (0, 0, 0))
        self.assertGreater(bottom - top, 16)  # twice the default font's size

    def test_without_an_image_the_window_shows_it(self):
        with tempfile.TemporaryDirectory() as d:
            window = os.path.join(d, "window.ppm")
            p = subprocess.run([CLI, "run", "-c", "Labeling Images", "-a", "1015=Hi", "-a", "ok", "--window", window],
                               capture_output=True, text=True, timeout=60)
            self.assertEqual((p.returncode, p.stdout), (0, ""))  # no image check, no message
            self.assertIsNotNone(ink(cv2.imread(window), (0, 0, 0)))

    def test_invert_drops_the_text_and_a_saved_file_keeps_it(self):
        red_hi = ("-a", "1015=Hi", "-a", "ok", "-a", "font=Any,16,255,0,0")
        self.assertTrue((label(*red_hi, then=("-c", "Invert")) == 0).all())
        with tempfile.TemporaryDirectory() as d:
            kept = os.path.join(d, "kept.bmp")
            label(*red_hi, save_to=kept)
            self.assertIsNotNone(ink(label("-a", "cancel", source=kept), RED))


if __name__ == "__main__":
    unittest.main()
