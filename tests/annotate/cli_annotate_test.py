"""Labeling Images from outside: optascope-cli run answers dialog 117 and the
font chooser; the built-in font draws 8 x 16 cells (twice that at height 32)."""
import os
import subprocess
import tempfile
import unittest

import cv2
import numpy as np

BUILD = os.environ.get("OPTA_BUILD_DIR", "build")
CLI = os.path.join(BUILD, "src", "cli", "optascope-cli")
RED = "font=Any,16,255,0,0"


class Labeling(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.TemporaryDirectory()
        self.image = os.path.join(self.dir.name, "in.bmp")
        cv2.imwrite(self.image, np.full((60, 400, 3), 255, np.uint8))

    def tearDown(self):
        self.dir.cleanup()

    def run_cli(self, *args, image=None):
        """Runs the commands on the picture; the saved picture as RGB."""
        saved = os.path.join(self.dir.name, "saved.bmp")
        p = subprocess.run([CLI, "run", image or self.image, *args, "--save", saved],
                           capture_output=True, text=True, timeout=60)
        self.assertEqual((p.returncode, p.stdout, p.stderr), (0, "", ""))
        return cv2.imread(saved)[..., ::-1]

    def label(self, *answers, then=()):
        return self.run_cli("-c", "Labeling Images", *answers, *then)

    @staticmethod
    def ink(img, rgb):
        """Bounding box (left, top, right, bottom) of the pixels of one colour, or None."""
        ys, xs = np.nonzero((img == rgb).all(axis=2))
        return None if len(xs) == 0 else (xs.min(), ys.min(), xs.max() + 1, ys.max() + 1)

    def test_text_at_its_position_in_the_chosen_colour(self):
        img = self.label("-a", "1015=Hello", "-a", "1016=5", "-a", "1017=7", "-a", "ok", "-a", RED)
        left, top, right, bottom = self.ink(img, (255, 0, 0))
        self.assertTrue(5 <= left < 8 and 7 <= top < 12, (left, top))
        self.assertTrue(5 + 4 * 8 < right <= 5 + 5 * 8 and bottom <= 7 + 16, (right, bottom))

    def test_forty_five_characters_become_thirty_nine(self):
        img = self.label("-a", "1015=" + "H" * 45, "-a", "ok", "-a", RED)
        left, _, right, _ = self.ink(img, (255, 0, 0))
        self.assertEqual(left, 0)  # empty positions: (0, 0)
        self.assertTrue(38 * 8 < right <= 39 * 8, right)

    def test_negative_position_draws_partly_outside(self):
        img = self.label("-a", "1015=HH", "-a", "1016=-4", "-a", "1017=-6", "-a", "ok", "-a", RED)
        left, top, right, _ = self.ink(img, (255, 0, 0))
        self.assertEqual((left, top), (0, 0))
        self.assertTrue(8 < right <= 12, right)

    def test_cancelled_chooser_draws_the_last_confirmed_font_in_black(self):
        img = self.label("-a", "1015=A", "-a", "ok", "-a", "font=Any,32,255,0,0",
                         then=("-c", "Restore Image", "-c", "Labeling Images", "-a", "1015=A", "-a", "ok"))
        self.assertIsNone(self.ink(img, (255, 0, 0)))
        _, top, _, bottom = self.ink(img, (0, 0, 0))
        self.assertGreater(bottom - top, 16)  # drawn twice the size of the default font

    def test_empty_text_still_asks_for_a_font(self):
        # The font confirmed for an empty text is the one the next, cancelled chooser keeps.
        img = self.label("-a", "ok", "-a", "font=Any,32,255,0,0",
                         then=("-c", "Labeling Images", "-a", "1015=A", "-a", "ok"))
        _, top, _, bottom = self.ink(img, (0, 0, 0))
        self.assertGreater(bottom - top, 16)

    def test_invert_drops_the_text_and_a_saved_file_keeps_it(self):
        img = self.label("-a", "1015=Hi", "-a", "ok", "-a", RED, then=("-c", "Invert"))
        self.assertTrue((img == 0).all())
        self.label("-a", "1015=Hi", "-a", "ok", "-a", RED)
        kept = os.path.join(self.dir.name, "kept.bmp")
        os.replace(os.path.join(self.dir.name, "saved.bmp"), kept)
        again = self.run_cli("-c", "Labeling Images", "-a", "cancel", image=kept)
        self.assertIsNotNone(self.ink(again, (255, 0, 0)))


if __name__ == "__main__":
    unittest.main()
