"""The Shape Manipulation commands' worked examples from the outside,
through optascope-cli, held to a model of the passes and the border
replication written here from the rules."""
import os
import random
import sys
import unittest

sys.path.insert(0, os.path.join(os.environ.get("OPTA_SOURCE_DIR", "."), "tests", "support"))
from optacli import apply  # noqa: E402

WHITE, BLACK = (255, 255, 255), (0, 0, 0)
ELEMENTS = {1018: (0, 1, 0, 0, 1, 0, 0, 1, 0), 1019: (0, 0, 0, 1, 1, 1, 0, 0, 0),
            1020: (0, 1, 0, 1, 1, 1, 0, 1, 0), 1021: (1,) * 9}  # rows as printed: row i is dx = i - 1


def model_pass(src, element, erode):
    """One pass; the outermost ring it cannot compute keeps the source's values."""
    h, w = len(src), len(src[0])
    t = [row[:] for row in src]
    for x in range(1, w - 1):
        for y in range(1, h - 1):
            cur = BLACK if erode else WHITE
            for k in (k for k in range(9) if element[k] == 1):
                v = src[y + k % 3 - 1][x + k // 3 - 1]
                if (erode and all(a > b for a, b in zip(v, cur))) or (not erode and max(v) < 255):
                    cur = v
            t[y][x] = cur
    corner = t[h - 4][w - 4] if w >= 4 and h >= 4 else None
    for x in range(w - 1 if h >= 4 else 0):
        for k in (3, 2, 1):  # one after the other: the bands may overlap
            t[k - 1][x] = t[k][x]
            t[h - k][x] = t[h - k - 1][x]
    for y in range(h - 1 if w >= 4 else 0):
        for k in (3, 2, 1):
            t[y][k - 1] = t[y][k]
            t[y][w - k] = t[y][w - k - 1]
    if corner:
        t[h - 1][w - 1] = corner
    return t


def random_picture(rng, w, h, levels):
    return [[tuple(rng.choice(levels) for _ in range(3)) for _ in range(w)] for _ in range(h)]


class Worked(unittest.TestCase):
    def interior(self, rows, command, element, count=None):
        answers = ("click=%d" % element, "ok") + (("1015=" + count, "ok") if count is not None else ())
        out, saved, window = apply(rows, command, *answers)
        h, w = len(rows), len(rows[0])
        inner = [row[1:w - 1] for row in saved[1:h - 1]]
        self.assertEqual((out, inner), ([], [row[1:w - 1] for row in window[1:h - 1]]))
        self.assertEqual(saved[0], rows[0])  # the outermost ring keeps the picture
        return inner

    def expect_model(self, rows, command, element, erode, passes=1, count=None, outline=False):
        t = rows
        for _ in range(passes):
            t = model_pass(t, ELEMENTS[element], erode)
        want = [[tuple(abs(a - b) for a, b in zip(t[y][x], rows[y][x])) if outline else t[y][x]
                 for x in range(1, len(rows[0]) - 1)] for y in range(1, len(rows) - 1)]
        self.assertEqual(self.interior(rows, command, element, count), want, (command, element, count))

    def test_single_black_pixel_under_the_cross(self):
        rows = [[BLACK if (x, y) == (5, 5) else WHITE for x in range(11)] for y in range(11)]
        dilated = self.interior(rows, "Dilation", 1020)
        self.assertEqual({(x, y) for y in range(9) for x in range(9) if dilated[y][x] == BLACK},
                         {(4, 4), (3, 4), (5, 4), (4, 3), (4, 5)})  # interior coordinates: one less
        self.assertEqual({c for row in self.interior(rows, "Erosion", 1020) for c in row}, {WHITE})

    def test_pure_red(self):
        red = [[(255, 0, 0)] * 9 for _ in range(8)]
        self.assertEqual({c for row in self.interior(red, "Exterior  Outline", 1020) for c in row}, {(0, 255, 255)})
        self.assertEqual({c for row in self.interior(red, "Erosion", 1021) for c in row}, {BLACK})

    def test_counts_of_opening_and_closing(self):
        rows = random_picture(random.Random(4), 12, 11, (0, 40, 41, 200, 255))
        for count, passes in (("3", 3), ("10", 10), ("11", 10), ("0", 1), ("-2", 1), ("x", 1)):
            self.expect_model(rows, "Opening", 1021, True, passes, count)
        self.expect_model(rows, "Closing", 1020, False, 3, "3")

    def test_three_to_six_pixels_where_the_bands_overlap(self):
        # Rows of their own gray, uniform along x: the horizontal element
        # keeps each row, and the replication order decides what shows;
        # 3 rows have no bands to replicate, so the computed row stays.
        for h, shown in ((3, 1), (4, 3), (5, 1), (6, 3)):
            rows = [[(10 * y + 5,) * 3] * 9 for y in range(h)]
            self.assertEqual({c for row in self.interior(rows, "Erosion", 1018) for c in row}, {(10 * shown + 5,) * 3})
        rng = random.Random(5)
        for w, h in ((3, 5), (4, 6), (5, 5), (6, 4), (7, 6), (6, 3)):
            rows = random_picture(rng, w, h, (0, 9, 10, 254, 255))
            for element in ELEMENTS:
                self.expect_model(rows, "Erosion", element, True)
                self.expect_model(rows, "Closing", element, False, 2, "2")
                self.expect_model(rows, "Interior Outline", element, True, outline=True)


if __name__ == "__main__":
    unittest.main()
