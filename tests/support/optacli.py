"""optascope-cli run for the Python tests: a small BMP written here, one
command run on it from the outside, the saved file and the window read back."""
import os
import struct
import subprocess
import tempfile
import unittest

CLI = os.path.join(os.environ.get("OPTA_BUILD_DIR", "build"), "src", "cli", "optascope-cli")


def bmp24(rows):
    """A 24-bit BMP with padded rows; rows[y][x] = (r, g, b), top row first."""
    h, w = len(rows), len(rows[0])
    pad = bytes((-3 * w) % 4)
    data = b"".join(bytes(c for p in row for c in p[::-1]) + pad for row in reversed(rows))
    return (b"BM" + struct.pack("<IHHI", 54 + len(data), 0, 0, 54)
            + struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(data), 0, 0, 0, 0) + data)


def apply(rows, command, *answers):
    """Runs one command on a 40 x 30 screen; returns (messages, saved rows, window rows)."""
    with tempfile.TemporaryDirectory() as d:
        src, saved, window = (os.path.join(d, n) for n in ("in.bmp", "out.bmp", "win.ppm"))
        with open(src, "wb") as f:
            f.write(bmp24(rows))
        args = [CLI, "run", src, "-c", command] + [x for a in answers for x in ("-a", a)]
        p = subprocess.run(args + ["--save", saved, "--window", window, "--screen", "40x30"],
                           capture_output=True, text=True, timeout=120, check=True)
        with open(saved, "rb") as f:  # bottom row first, rows unpadded, blue green red
            data = f.read()
        off, (w, h) = struct.unpack_from("<I", data, 10)[0], struct.unpack_from("<ii", data, 18)
        saved_rows = [[tuple(data[off + 3 * (r * w + x):off + 3 * (r * w + x) + 3][::-1]) for x in range(w)]
                      for r in reversed(range(h))]
        with open(window, "rb") as f:  # P6 40 x 30
            ppm = f.read().split(b"\n", 3)[3]
        window_rows = [[tuple(ppm[3 * (y * 40 + x):3 * (y * 40 + x) + 3]) for x in range(40)] for y in range(30)]
        return p.stdout.splitlines(), saved_rows, window_rows


class InTempDir(unittest.TestCase):
    """A test case with a folder of its own; path(name, data) names a file in
    it, writing data there when given."""

    def setUp(self):
        self.dir = tempfile.TemporaryDirectory()

    def tearDown(self):
        self.dir.cleanup()

    def path(self, name, data=None):
        p = os.path.join(self.dir.name, name)
        if data is not None:
            with open(p, "wb") as f:
                f.write(data)
        return p
