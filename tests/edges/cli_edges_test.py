"""The edge detectors' worked examples from the outside, through optascope-cli."""
import os
import sys
import unittest

sys.path.insert(0, os.path.join(os.environ.get("OPTA_SOURCE_DIR", "."), "tests", "support"))
from optacli import apply  # noqa: E402

WHITE, BLACK = (255, 255, 255), (0, 0, 0)


def picture(w, h, points=(), fill=BLACK):
    rows = [[fill] * w for _ in range(h)]
    for (x, y), c in points:
        rows[y][x] = c
    return rows


def centre(command, points):
    out, saved, window = apply(picture(5, 5, points), command)
    assert out == [] and saved[2][2] == window[2][2], (out, saved[2][2], window[2][2])
    return saved[2][2]


class Worked(unittest.TestCase):
    def test_uniform_pictures_and_the_white_window(self):
        fill = (12, 200, 77)
        cases = [(c, ()) for c in ("Homogenity", "Difference", "Variance", "quick", "kirsh", "prewitt")]
        cases += [("Geometrics Detection", ("click=%d" % i, "ok")) for i in range(1010, 1015)]
        for command, answers in cases:
            out, saved, window = apply(picture(6, 5, fill=fill), command, *answers)
            inside = WHITE if answers else BLACK
            self.assertEqual({c for row in saved[1:4] for c in row[1:5]}, {inside}, command)
            self.assertEqual({c for row in window[1:4] for c in row[1:5]}, {inside}, command)
            self.assertEqual((saved[0][0], saved[4][5]), (fill, fill))  # the saved border keeps the picture
            self.assertEqual((window[0][0], window[4][5], window[29][39]), (WHITE,) * 3)
        out, saved, window = apply(picture(2, 5, fill=fill), "Variance")  # no interior
        self.assertEqual({c for row in saved for c in row}, {fill})

    def test_homogeneity_of_a_single_white_pixel(self):
        out, saved, window = apply(picture(7, 7, [((3, 3), WHITE)]), "Homogenity")
        self.assertEqual({c for row in saved[2:5] for c in row[2:5]}, {WHITE})  # 8 x 255 limited, and each neighbour
        self.assertEqual(saved[1][1], BLACK)

    def test_variance_of_510_is_limited(self):
        self.assertEqual(centre("Variance", [((x, y), WHITE) for x in (1, 3) for y in (1, 3)]), WHITE)
        self.assertEqual(centre("Variance", [(p, WHITE) for p in ((2, 1), (1, 2), (3, 2), (2, 3))]), BLACK)

    def test_kirsch_restarts_from_zero(self):
        # 15 at (x + 1, y): -45 three times, +75 three times, -45 twice; kept
        # at 0 or above after each it ends at 135, white; with 14 at 126, black.
        self.assertEqual(centre("kirsh", [((3, 2), (15, 15, 15))]), WHITE)
        self.assertEqual(centre("kirsh", [((3, 2), (14, 14, 14))]), BLACK)

    def test_gray_threshold_at_127_and_126(self):
        # Prewitt with 64 at (x - 1, y - 1) ends at 127 (gray 128.27); with 63 at 126 (127.26).
        self.assertEqual(centre("prewitt", [((1, 1), (64, 64, 64))]), WHITE)
        self.assertEqual(centre("prewitt", [((1, 1), (63, 63, 63))]), BLACK)


if __name__ == "__main__":
    unittest.main()
