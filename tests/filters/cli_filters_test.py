"""The filters' worked examples from the outside, through optascope-cli."""
import os
import sys
import unittest

sys.path.insert(0, os.path.join(os.environ.get("OPTA_SOURCE_DIR", "."), "tests", "support"))
from optacli import apply  # noqa: E402

BLACK, WHITE = (0, 0, 0), (255, 255, 255)


def grid(n, values):
    """An n x n picture of values listed x outer, y inner, as a window is."""
    return [[values[x * n + y] for x in range(n)] for y in range(n)]


def centre(n, values, command, *answers):
    out, saved, window = apply(grid(n, values), command, *answers)
    assert out == [] and saved[n // 2][n // 2] == window[n // 2][n // 2], (out, saved, window)
    return saved[n // 2][n // 2]


class WorkedExamples(unittest.TestCase):
    def test_low_pass_spreads_a_single_white_pixel(self):
        rows = [[WHITE if (x, y) == (2, 2) else BLACK for x in range(5)] for y in range(5)]
        out, saved, window = apply(rows, "Low", "click=11")
        self.assertEqual(saved[2][2], (85, 85, 85))  # 510 / 6
        self.assertEqual(saved[1][2], (42, 42, 42))  # 255 / 6, remainder dropped
        self.assertEqual(window[2][3], (42, 42, 42))
        self.assertEqual(saved[1][1], BLACK)
        self.assertEqual(window[2][5], (255, 255, 255))  # beyond the picture: the window's white

    def test_median_picks_the_middle_whole_pixel(self):
        gray = [(v, v, v) for v in (70, 10, 90, 30, 50, 20, 80, 40, 60)]
        self.assertEqual(centre(3, gray, "Median", "click=1000"), (50, 50, 50))
        # Blue decides first: the pixel with the middle blue comes whole.
        colour = [(b * 20, 255 - b * 20, b) for b in (9, 1, 8, 2, 7, 3, 6, 4)] + [(255, 0, 5)]
        self.assertEqual(centre(3, colour, "Median"), (255, 0, 5))

    def test_min_and_midpoint_go_channel_by_channel(self):
        window = [WHITE] * 9
        window[2], window[6] = (255, 0, 0), (0, 0, 255)
        self.assertEqual(centre(3, window, "Min Filter"), BLACK)
        self.assertEqual(centre(3, window, "Midpoint Filter"), (127, 127, 127))

    def test_black_gives_one_under_geometric_and_harmonic_zero_under_contraharmonic(self):
        black = [BLACK] * 25
        self.assertEqual(centre(5, black, "Geometric Mean Filter", "click=1001"), (1, 1, 1))
        self.assertEqual(centre(5, black, "Harmonic Mean Filter", "click=1001"), (1, 1, 1))
        self.assertEqual(centre(5, black, "Contraharmonic Mean Filter", "click=1001", "ok", "1015=10"), BLACK)
        self.assertEqual(centre(5, black, "Median", "click=1001"), BLACK)

    def test_order_zero_gives_the_arithmetic_mean(self):
        ramp = [(v, 2 * v, 255 - v) for v in range(1, 10)]  # sums 45, 90, 2250
        self.assertEqual(centre(3, ramp, "Contraharmonic Mean Filter", "next", "1015=0"), (5, 10, 250))
        self.assertEqual(centre(3, ramp, "Arithmetic Mean Filter"), (5, 10, 250))
        # Order 1.0: sum of squares over sum, 285 / 45 for red. The order box
        # opens empty, so accepting it untouched means Q = 0.
        self.assertEqual(centre(3, ramp, "Contraharmonic Mean Filter", "next", "1015=10")[0], 6)
        self.assertEqual(centre(3, ramp, "Contraharmonic Mean Filter")[0], 5)


if __name__ == "__main__":
    unittest.main()
