"""The Shape Manipulation commands from the outside: optascope-cli run on
small BMPs, against a model of the passes and the border replication
written here from the rules."""
import os
import random
import sys
import unittest

sys.path.insert(0, os.path.join(os.environ.get("OPTA_SOURCE_DIR", "."), "tests", "support"))
from optacli import CLI, apply, picture  # noqa: E402

WHITE, BLACK = (255, 255, 255), (0, 0, 0)
HORIZONTAL, VERTICAL, CROSS, SQUARE = 1018, 1019, 1020, 1021
ELEMENTS = {  # rows as printed: row i pairs with dx = i - 1, column j with dy = j - 1
    HORIZONTAL: (0, 1, 0, 0, 1, 0, 0, 1, 0),
    VERTICAL: (0, 0, 0, 1, 1, 1, 0, 0, 0),
    CROSS: (0, 1, 0, 1, 1, 1, 0, 1, 0),
    SQUARE: (1,) * 9,
}


def model_pass(src, element, erode):
    """One pass: the border the pass cannot compute keeps the source's values."""
    h, w = len(src), len(src[0])
    t = [row[:] for row in src]
    for x in range(1, w - 1):
        for y in range(1, h - 1):
            cur = BLACK if erode else WHITE
            for dx in (-1, 0, 1):
                for dy in (-1, 0, 1):
                    if element[3 * (dx + 1) + dy + 1] != 1:
                        continue
                    v = src[y + dy][x + dx]
                    if erode and all(v[i] > cur[i] for i in range(3)):
                        cur = v
                    if not erode and all(c < 255 for c in v):
                        cur = v
            t[y][x] = cur
    corner = t[h - 4][w - 4] if w >= 4 and h >= 4 else None
    if h >= 4:
        for x in range(w - 1):
            for k in (3, 2, 1):
                t[k - 1][x] = t[k][x]
                t[h - k][x] = t[h - k - 1][x]
    if w >= 4:
        for y in range(h - 1):
            for k in (3, 2, 1):
                t[y][k - 1] = t[y][k]
                t[y][w - k] = t[y][w - k - 1]
    if corner is not None:
        t[h - 1][w - 1] = corner
    return t


def model(rows, element, erode, passes=1):
    t = rows
    for _ in range(passes):
        t = model_pass(t, element, erode)
    return t


def shape_answers(element):
    return ("click=%d" % element, "ok")


class Worked(unittest.TestCase):
    def interior(self, rows, command, *answers):
        out, saved, window = apply(rows, command, *answers)
        self.assertEqual(out, [])
        h, w = len(rows), len(rows[0])
        inner = [row[1:w - 1] for row in saved[1:h - 1]]
        self.assertEqual(inner, [row[1:w - 1] for row in window[1:h - 1]])
        self.assertEqual(saved[0], rows[0])  # the outermost ring keeps the picture
        return inner

    def expect_model(self, rows, command, answers, element, erode, passes=1, outline=False):
        got = self.interior(rows, command, *answers)
        t = model(rows, ELEMENTS[element], erode, passes)
        h, w = len(rows), len(rows[0])
        want = [[tuple(abs(a - b) for a, b in zip(t[y][x], rows[y][x])) if outline else t[y][x]
                 for x in range(1, w - 1)] for y in range(1, h - 1)]
        self.assertEqual(got, want)

    def test_single_black_pixel_under_the_cross(self):
        rows = picture(11, 11, WHITE)
        rows[5][5] = BLACK
        dilated = self.interior(rows, "Dilation", *shape_answers(CROSS))
        for x, y in ((5, 5), (4, 5), (6, 5), (5, 4), (5, 6)):
            self.assertEqual(dilated[y - 1][x - 1], BLACK)
        self.assertEqual(dilated[3][3], WHITE)
        eroded = self.interior(rows, "Erosion", *shape_answers(CROSS))
        self.assertEqual(eroded[4][4], WHITE)

    def test_pure_red(self):
        rows = picture(9, 8, (255, 0, 0))
        self.assertEqual(self.interior(rows, "Exterior  Outline", *shape_answers(CROSS))[3][3], (0, 255, 255))
        self.assertEqual(self.interior(rows, "Erosion", *shape_answers(SQUARE))[3][3], BLACK)

    def test_opening_counts(self):
        rng = random.Random(4)
        rows = [[tuple(rng.choice((0, 40, 41, 200, 255)) for _ in range(3)) for _ in range(12)] for _ in range(11)]
        for typed, passes in (("3", 3), ("10", 10), ("11", 10), ("0", 1), ("-2", 1), ("x", 1)):
            with self.subTest(typed=typed):
                self.expect_model(rows, "Opening", shape_answers(SQUARE) + ("1015=" + typed, "ok"), SQUARE, True,
                                  passes)
        self.expect_model(rows, "Closing", shape_answers(CROSS) + ("1015=3", "ok"), CROSS, False, 3)

    def test_overlapping_bands_on_four_to_six_pixels(self):
        # Rows of their own gray, uniform along x: the horizontal element
        # keeps them, and the replication order decides what shows.
        for h, shown in ((4, 3), (5, 1), (6, 3)):
            rows = [[(10 * y + 5,) * 3] * 9 for y in range(h)]
            inner = self.interior(rows, "Erosion", *shape_answers(HORIZONTAL))
            self.assertEqual({c for row in inner for c in row}, {(10 * shown + 5,) * 3}, h)
        rng = random.Random(5)
        for w in (4, 5, 6):
            for h in (4, 5, 6):
                rows = [[tuple(rng.choice((0, 9, 10, 254, 255)) for _ in range(3)) for _ in range(w)] for _ in range(h)]
                for element in ELEMENTS:
                    with self.subTest(w=w, h=h, element=element):
                        self.expect_model(rows, "Erosion", shape_answers(element), element, True)
                        self.expect_model(rows, "Closing", shape_answers(element) + ("1015=2", "ok"), element,
                                          False, 2)
                        self.expect_model(rows, "Interior Outline", shape_answers(element), element, True,
                                          outline=True)


if __name__ == "__main__":
    if not os.path.exists(CLI):
        print("optascope-cli not built at " + CLI, file=sys.stderr)
        sys.exit(1)
    unittest.main()
