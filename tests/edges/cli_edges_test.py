"""The edge detectors from the outside: optascope-cli run on small BMPs,
checking the saved file and the window."""
import os
import sys
import unittest

sys.path.insert(0, os.path.join(os.environ.get("OPTA_SOURCE_DIR", "."), "tests", "support"))
from optacli import CLI, apply, picture  # noqa: E402

WHITE, BLACK = (255, 255, 255), (0, 0, 0)
GEOMETRIC = "Geometrics Detection"
PLAIN = ("Homogenity", "Difference", "Variance", "quick", "kirsh", "prewitt")


def gray(v):
    return (v, v, v)


class Worked(unittest.TestCase):
    def centre(self, rows, command, *answers, at=(2, 2)):
        out, saved, window = apply(rows, command, *answers)
        self.assertEqual(out, [])
        x, y = at
        self.assertEqual(saved[y][x], window[y][x])
        return saved[y][x]

    def test_uniform_pictures(self):
        fill = (12, 200, 77)
        cases = [(c, ()) for c in PLAIN] + [(GEOMETRIC, ("click=%d" % i, "ok")) for i in range(1010, 1015)]
        for command, answers in cases:
            with self.subTest(command=command, answers=answers):
                out, saved, window = apply(picture(6, 5, fill), command, *answers)
                expected = WHITE if command == GEOMETRIC else BLACK
                for y in range(1, 4):
                    for x in range(1, 5):
                        self.assertEqual(saved[y][x], expected)
                        self.assertEqual(window[y][x], expected)
                # The saved border keeps the picture; the window is white around.
                self.assertEqual(saved[0][0], fill)
                self.assertEqual(saved[4][5], fill)
                self.assertEqual(window[0][0], WHITE)
                self.assertEqual(window[4][5], WHITE)
                self.assertEqual(window[29][39], WHITE)

    def test_too_small_for_an_interior(self):
        out, saved, window = apply(picture(2, 5, gray(90)), "Variance")
        self.assertEqual([c for row in saved for c in row], [gray(90)] * 10)
        self.assertEqual(window[0][0], WHITE)

    def test_homogeneity_of_a_single_white_pixel(self):
        rows = picture(7, 7)
        rows[3][3] = WHITE
        out, saved, window = apply(rows, "Homogenity")
        for y in range(2, 5):
            for x in range(2, 5):
                self.assertEqual(saved[y][x], WHITE)  # the pixel: 8 x 255, limited; each neighbour 255
        self.assertEqual(saved[1][1], BLACK)

    def test_variance_of_510_is_limited_and_edge_neighbours_give_nothing(self):
        rows = picture(5, 5)
        for x, y in ((1, 1), (3, 1), (1, 3), (3, 3)):
            rows[y][x] = WHITE
        self.assertEqual(self.centre(rows, "Variance"), WHITE)
        rows = picture(5, 5)
        for x, y in ((2, 1), (1, 2), (3, 2), (2, 3)):
            rows[y][x] = WHITE
        self.assertEqual(self.centre(rows, "Variance"), BLACK)

    def test_kirsch_restarts_from_zero(self):
        # 15 at (x + 1, y): -45 three times, then +75 three times, -45 twice,
        # the sum kept at 0 or above after each: 135, white; with 14 it is 126.
        rows = picture(5, 5)
        rows[2][3] = gray(15)
        self.assertEqual(self.centre(rows, "kirsh"), WHITE)
        rows[2][3] = gray(14)
        self.assertEqual(self.centre(rows, "kirsh"), BLACK)

    def test_gray_threshold_127_and_126(self):
        # Prewitt with 64 at (x - 1, y - 1) ends at 127 (gray 128.27), with 63 at 126 (127.26).
        rows = picture(5, 5)
        rows[1][1] = gray(64)
        self.assertEqual(self.centre(rows, "prewitt"), WHITE)
        rows[1][1] = gray(63)
        self.assertEqual(self.centre(rows, "prewitt"), BLACK)


if __name__ == "__main__":
    if not os.path.exists(CLI):
        print("optascope-cli not built at " + CLI, file=sys.stderr)
        sys.exit(1)
    unittest.main()
