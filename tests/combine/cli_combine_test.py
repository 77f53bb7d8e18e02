"""The two-image commands from outside: optascope-cli run with Open Also on
small pictures, reading back the saved image and the window."""
import os
import subprocess
import tempfile
import unittest

import cv2
import numpy as np

BUILD = os.environ.get("OPTA_BUILD_DIR", "build")
CLI = os.path.join(BUILD, "src", "cli", "optascope-cli")
NO_IMAGE = "BOPTA: First Open a BITMAP image !!"
WHITE, BLACK = (255, 255, 255), (0, 0, 0)


class TwoImages(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.TemporaryDirectory()

    def tearDown(self):
        self.dir.cleanup()

    def picture(self, name, w, h, rgb):
        path = os.path.join(self.dir.name, name)
        cv2.imwrite(path, np.full((h, w, 3), rgb[::-1], np.uint8))
        return path

    def run_pair(self, first, second, *commands):
        """Opens first, Open Also second, runs the commands; (saved, window) as RGB arrays."""
        saved, window = (os.path.join(self.dir.name, n) for n in ("saved.bmp", "window.ppm"))
        args = [CLI, "run", first, "-c", "Open Also", "-a", "file=" + second]
        for c in commands:
            args += ["-c", c]
        p = subprocess.run(args + ["--save", saved, "--window", window, "--screen", "160x120"],
                           capture_output=True, text=True, timeout=120)
        self.assertEqual((p.returncode, p.stderr), (0, ""))
        self.assertEqual(p.stdout, "")
        return cv2.imread(saved)[..., ::-1], cv2.imread(window)[..., ::-1]

    def assertColour(self, img, x, y, rgb):
        self.assertEqual(tuple(int(v) for v in img[y, x]), tuple(rgb))

    def test_equal_sizes(self):
        a = self.picture("a.bmp", 8, 4, (200, 100, 50))
        b = self.picture("b.bmp", 8, 4, (100, 100, 100))
        want = {"AND Operation": (200, 100, 50), "OR OPeration": (200, 100, 50), "XOR Operation": WHITE,
                "NAND Operation": WHITE, "NOR Operation": WHITE, "NOT Operation": BLACK,
                "Add Image": (255, 200, 150), "Subtract Image": (100, 0, 50)}
        for command, rgb in want.items():
            with self.subTest(command=command):
                saved, window = self.run_pair(a, b, command)
                self.assertEqual(saved.shape, (4, 8, 3))
                self.assertTrue((saved == rgb).all())
                self.assertColour(window, 7, 3, rgb)
                self.assertColour(window, 8, 3, WHITE)

    def test_average_and_less_overlay(self):
        saved, _ = self.run_pair(self.picture("a.bmp", 4, 4, (255, 0, 1)), self.picture("b.bmp", 4, 4, BLACK),
                                 "Average Overlay")
        self.assertColour(saved, 0, 0, (127, 0, 0))
        saved, _ = self.run_pair(self.picture("a.bmp", 4, 4, (200, 200, 200)),
                                 self.picture("b.bmp", 4, 4, (100, 100, 200)), "Less Overlay")
        self.assertColour(saved, 3, 3, (100, 100, 200))

    def test_different_sizes_by_region(self):
        a = self.picture("a.bmp", 100, 50, (10, 20, 30))
        b = self.picture("b.bmp", 52, 100, (40, 50, 60))  # rows of 52 need no padding
        white_corner = {"AND Operation", "XOR Operation", "NOT Operation", "Match Overlay"}
        for command in ("Add Image", "Subtract Image", "AND Operation", "OR OPeration", "XOR Operation",
                        "NAND Operation", "NOR Operation", "NOT Operation", "Greater Overlay", "Less Overlay",
                        "Average Overlay", "Match Overlay"):
            with self.subTest(command=command):
                saved, window = self.run_pair(a, b, command)
                self.assertEqual(saved.shape, (50, 100, 3))
                self.assertColour(window, 99, 99, WHITE if command in white_corner else BLACK)
                self.assertColour(window, 52, 99, WHITE if command in white_corner else BLACK)
                self.assertColour(window, 100, 99, WHITE)  # outside the combined area
                self.assertTrue((window[:50, :100] == saved).all())
        _, window = self.run_pair(a, b, "OR OPeration")
        self.assertColour(window, 51, 99, (40, 50, 60))
        self.assertColour(window, 52, 49, (10, 20, 30))  # x = w2: the first image only

    def test_the_next_repaint_shows_the_second_image(self):
        a = self.picture("a.bmp", 8, 4, (200, 100, 50))
        b = self.picture("b.bmp", 4, 8, (1, 2, 3))
        saved, window = self.run_pair(a, b, "Add Image", "Hide Histogram")
        self.assertColour(saved, 0, 0, (201, 102, 53))
        self.assertColour(window, 0, 0, (1, 2, 3))
        self.assertColour(window, 3, 7, (1, 2, 3))
        self.assertColour(window, 4, 0, WHITE)

    def test_without_a_second_image_only_three_commands_speak(self):
        a = self.picture("a.bmp", 4, 4, WHITE)
        for command in ("Add Image", "Subtract Image", "AND Operation", "50189", "50190", "OR OPeration",
                        "Match Overlay"):
            with self.subTest(command=command):
                p = subprocess.run([CLI, "run", a, "-c", command], capture_output=True, text=True, timeout=60)
                speaks = command not in ("OR OPeration", "Match Overlay")
                self.assertEqual(p.stdout.splitlines(), [NO_IMAGE] if speaks else [])


if __name__ == "__main__":
    unittest.main()
