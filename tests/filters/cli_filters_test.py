"""The filters' worked examples from the outside: small BMPs through
optascope-cli run, checked in the saved file."""
import os
import struct
import subprocess
import sys
import tempfile
import unittest

BUILD = os.environ.get("OPTA_BUILD_DIR", "build")
CLI = os.path.join(BUILD, "src", "cli", "optascope-cli")

BLACK, WHITE = (0, 0, 0), (255, 255, 255)


def bmp24(rows):
    """A 24-bit BMP of rows of (r, g, b), top row first."""
    height, width = len(rows), len(rows[0])
    stride = (width * 3 + 3) & ~3
    data = b""
    for row in reversed(rows):
        line = b"".join(bytes((b, g, r)) for r, g, b in row)
        data += line + bytes(stride - len(line))
    header = b"BM" + struct.pack("<IHHI", 54 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(data), 0, 0, 0, 0)
    return header + info + data


def grid(n, values):
    """An n x n picture of values listed x outer, y inner, as a window is."""
    return [[values[x * n + y] for x in range(n)] for y in range(n)]


class WorkedExamples(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.TemporaryDirectory()

    def tearDown(self):
        self.dir.cleanup()

    def filtered(self, rows, *commands):
        """The saved picture after the commands, as rows of (r, g, b)."""
        src, out = os.path.join(self.dir.name, "in.bmp"), os.path.join(self.dir.name, "out.bmp")
        with open(src, "wb") as f:
            f.write(bmp24(rows))
        p = subprocess.run([CLI, "run", src, *commands, "--save", out], capture_output=True, text=True, timeout=120)
        self.assertEqual((p.returncode, p.stdout, p.stderr), (0, "", ""))
        with open(out, "rb") as f:
            data = f.read()
        height, width = len(rows), len(rows[0])
        stride = (len(data) - 54) // height
        pixel = lambda x, y: tuple(reversed(data[54 + (height - 1 - y) * stride + 3 * x:][:3]))
        return [[pixel(x, y) for x in range(width)] for y in range(height)]

    def centre(self, n, values, *commands):
        return self.filtered(grid(n, values), *commands)[n // 2][n // 2]

    def test_low_pass_spreads_a_single_white_pixel(self):
        rows = [[WHITE if (x, y) == (2, 2) else BLACK for x in range(5)] for y in range(5)]
        out = self.filtered(rows, "-c", "Low", "-a", "click=11")
        self.assertEqual(out[2][2], (85, 85, 85))  # 510 / 6
        self.assertEqual(out[1][2], (42, 42, 42))  # 255 / 6, remainder dropped
        self.assertEqual(out[2][3], (42, 42, 42))
        self.assertEqual(out[1][1], BLACK)
        self.assertEqual(out[0][2], BLACK)  # the border keeps the picture

    def test_median_picks_the_middle_whole_pixel(self):
        gray = [(v, v, v) for v in (70, 10, 90, 30, 50, 20, 80, 40, 60)]
        self.assertEqual(self.centre(3, gray, "-c", "Median", "-a", "click=1000"), (50, 50, 50))
        # Blue decides first: the pixel with the middle blue comes whole.
        colour = [(b * 20, 255 - b * 20, b) for b in (9, 1, 8, 2, 7, 3, 6, 4)] + [(255, 0, 5)]
        self.assertEqual(self.centre(3, colour, "-c", "Median"), (255, 0, 5))

    def test_min_and_midpoint_go_channel_by_channel(self):
        window = [WHITE] * 9
        window[2], window[6] = (255, 0, 0), (0, 0, 255)
        self.assertEqual(self.centre(3, window, "-c", "Min Filter"), BLACK)
        self.assertEqual(self.centre(3, window, "-c", "Midpoint Filter"), (127, 127, 127))

    def test_black_gives_one_under_geometric_and_harmonic_zero_under_contraharmonic(self):
        black = [BLACK] * 25
        five = ("-a", "click=1001")
        self.assertEqual(self.centre(5, black, "-c", "Geometric Mean Filter", *five), (1, 1, 1))
        self.assertEqual(self.centre(5, black, "-c", "Harmonic Mean Filter", *five), (1, 1, 1))
        self.assertEqual(self.centre(5, black, "-c", "Contraharmonic Mean Filter", *five, "-a", "ok",
                                     "-a", "1015=10"), BLACK)
        self.assertEqual(self.centre(5, black, "-c", "Median", *five), BLACK)

    def test_order_zero_gives_the_arithmetic_mean(self):
        ramp = [(v, 2 * v, 255 - v) for v in range(1, 10)]  # sums 45, 90, 2250
        order0 = ("-c", "Contraharmonic Mean Filter", "-a", "next", "-a", "1015=0")
        self.assertEqual(self.centre(3, ramp, *order0), (5, 10, 250))
        self.assertEqual(self.centre(3, ramp, "-c", "Arithmetic Mean Filter"), (5, 10, 250))
        # Order 1.0: sum of squares over sum, 285 / 45 for red. The order box
        # opens empty, so accepting it untouched means Q = 0.
        order10 = ("-c", "Contraharmonic Mean Filter", "-a", "next", "-a", "1015=10")
        self.assertEqual(self.centre(3, ramp, *order10)[0], 6)
        self.assertEqual(self.centre(3, ramp, "-c", "Contraharmonic Mean Filter")[0], 5)


if __name__ == "__main__":
    if not os.path.exists(CLI):
        print("optascope-cli not built at " + CLI, file=sys.stderr)
        sys.exit(1)
    unittest.main()
