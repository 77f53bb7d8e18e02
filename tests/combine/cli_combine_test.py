"""The two-image commands from outside: optascope-cli run with Open Also on
small pictures, reading back the saved image and the window (160 x 120)."""
import os
import subprocess
import tempfile
import unittest

import cv2
import numpy as np

CLI = os.path.join(os.environ.get("OPTA_BUILD_DIR", "build"), "src", "cli", "optascope-cli")
W, K = [255, 255, 255], [0, 0, 0]


class TwoImages(unittest.TestCase):
    def run_pair(self, first, second, *commands, speaks=""):
        """(w, h, rgb) pictures; the saved picture and the window, as RGB arrays."""
        with tempfile.TemporaryDirectory() as d:
            paths = [os.path.join(d, n) for n in ("a.bmp", "b.bmp", "saved.bmp", "window.ppm")]
            for path, (w, h, rgb) in zip(paths, (first, second or first)):
                cv2.imwrite(path, np.full((h, w, 3), rgb[::-1], np.uint8))  # widths need no row padding
            args = [CLI, "run", paths[0]] + (["-c", "Open Also", "-a", "file=" + paths[1]] if second else [])
            for c in commands:
                args += ["-c", c]
            p = subprocess.run(args + ["--save", paths[2], "--window", paths[3], "--screen", "160x120"],
                               capture_output=True, text=True, timeout=120)
            self.assertEqual((p.returncode, p.stdout, p.stderr), (0, speaks, ""))
            return cv2.imread(paths[2])[..., ::-1].tolist(), cv2.imread(paths[3])[..., ::-1].tolist()

    def test_worked_examples_of_equal_sizes(self):
        a, b = (8, 4, (200, 100, 50)), (8, 4, (100, 100, 100))
        for command, rgb in {"AND Operation": a[2], "OR OPeration": a[2], "XOR Operation": W,
                             "NAND Operation": W, "NOR Operation": W, "NOT Operation": K,
                             "Add Image": (255, 200, 150), "Subtract Image": (100, 0, 50)}.items():
            saved, window = self.run_pair(a, b, command)
            self.assertEqual(saved, [[list(rgb)] * 8] * 4, command)
            self.assertEqual((window[3][7], window[3][8]), (list(rgb), list(W)), command)

    def test_regions_of_a_100x50_and_a_52x100_picture(self):
        A, B, mean, half_a, half_b = [200, 100, 0], [0, 50, 101], [100, 75, 50], [100, 50, 0], [0, 25, 50]
        cases = {  # (both, first only at x = w2, second only at y = h1, neither)
            "Add Image": ([200, 150, 101], A, B, K), "Subtract Image": ([200, 50, 101], A, B, K),
            "AND Operation": (A, W, W, W), "OR OPeration": (A, A, B, K), "XOR Operation": (W, A, B, W),
            "NAND Operation": (W, A, B, K), "NOR Operation": (W, K, K, K), "NOT Operation": (K, A, K, W),
            "Less Overlay": (B, A, B, K), "Greater Overlay": (B, A, B, K),
            "Average Overlay": (mean, half_a, half_b, K), "Match Overlay": (mean, half_a, half_b, W),
            # The first image's area only; beyond the second image a is kept.
            "Non Zero Overlay": (A, A, W, W), "Zero Overlay": (B, A, W, W)}
        for command, want in cases.items():
            saved, window = self.run_pair((100, 50, A), (52, 100, B), command)
            self.assertEqual((window[0][0], window[49][52], window[50][51], window[99][99]), want, command)
            self.assertEqual((window[50][52], window[99][100]), (want[3], W), command)  # past the combined area: white
            self.assertEqual(saved, [row[:100] for row in window[:50]], command)  # the memory keeps 100 x 50
        _, window = self.run_pair((100, 50, K), (52, 100, [1, 1, 1]), "Match Overlay")  # a lone black turns white
        self.assertEqual((window[0][0], window[49][52], window[50][51], window[99][99]), (K, W, K, W))

    def test_frames_and_the_next_repaint(self):
        no_image = "BOPTA: First Open a BITMAP image !!\n"
        a = (8, 4, (200, 100, 50))
        saved, window = self.run_pair(a, (4, 8, (1, 2, 3)), "Add Image", "Hide Histogram")
        self.assertEqual((saved[0][0], window[0][0], window[7][3], window[0][4]),
                         ([201, 102, 53], [1, 2, 3], [1, 2, 3], list(W)))
        # Without a second image three commands (and Add's toolbar button) say so, the others are silent.
        for command in ("Add Image", "Subtract Image", "AND Operation", "50189", "OR OPeration", "Zero Overlay"):
            speaks = no_image if command[0] in "AS5" else ""
            self.assertEqual(self.run_pair(a, None, command, speaks=speaks)[0], [[list(a[2])] * 8] * 4)


if __name__ == "__main__":
    unittest.main()
