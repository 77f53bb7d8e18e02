"""optascope-cli run from the outside: what the user sees of frames, dialogs,
file loading and saving, printed as 'CAPTION: TEXT' lines."""
import os
import struct
import subprocess
import sys
import unittest

BUILD = os.environ.get("OPTA_BUILD_DIR", "build")
CLI = os.path.join(BUILD, "src", "cli", "optascope-cli")
sys.path.insert(0, os.path.join(os.environ.get("OPTA_SOURCE_DIR", "."), "tests", "support"))
from optacli import InTempDir  # noqa: E402

NO_IMAGE = "BOPTA: First Open a BITMAP image !!"
CANNOT_LOAD = "OPTA: Cannot load DIB file"


def run(*args):
    p = subprocess.run([CLI, "run", *args], capture_output=True, text=True, timeout=120)
    return p.returncode, p.stdout.splitlines(), p.stderr


def bmp24(width, height, pixel, size_delta=0):
    """A standard 24-bit BMP with padded rows; pixel(x, y) gives (r, g, b)."""
    stride = (width * 3 + 3) & ~3
    rows = []
    for y in reversed(range(height)):
        row = bytearray()
        for x in range(width):
            r, g, b = pixel(x, y)
            row += bytes((b, g, r))
        row += bytes(stride - width * 3)
        rows.append(bytes(row))
    data = b"".join(rows)
    size = 54 + len(data)
    header = b"BM" + struct.pack("<IHHI", size + size_delta, 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(data), 0, 0, 0, 0)
    return header + info + data


def pattern(x, y):
    return (10 * x + 1, 20 * y + 2, 200)


class Frames(unittest.TestCase):
    def test_plain_frame_speaks_silent_frame_does_not(self):
        self.assertEqual(run("-c", "Rotate 90 Degree"), (0, [NO_IMAGE], ""))
        self.assertEqual(run("-c", "Rotate 180 Degree"), (0, [], ""))
        self.assertEqual(run("-c", "50194")[1], [NO_IMAGE])  # its toolbar button

    def test_dialog_comes_first_and_cancel_stops(self):
        for name in ("Median", "Brightness"):
            with self.subTest(name=name):
                if "not used" in run("-c", name, "-a", "cancel")[2]:
                    self.skipTest(name + " has no dialog yet: its family is not registered")
                self.assertEqual(run("-c", name, "-a", "cancel")[1], [])
                self.assertEqual(run("-c", name)[1], [NO_IMAGE])
                self.assertEqual(run("-c", name, "-a", "ok")[1], [NO_IMAGE])

    def test_exit_stops_everything_after_it(self):
        self.assertEqual(run("-c", "Exit", "-c", "Rotate 90 Degree"), (0, [], ""))


class Names(unittest.TestCase):
    def test_names_paths_and_ids(self):
        code, out, err = run("-c", "Paste")
        self.assertEqual(code, 2)
        self.assertIn("ambiguous", err)
        self.assertEqual(len(err.strip().splitlines()), 1)
        self.assertEqual(run("-c", "Edit/Paste")[0], 0)
        self.assertEqual(run("-c", "No Such Command")[0], 2)
        self.assertEqual(run("-c", "99999")[0], 2)
        self.assertEqual(run("-c", "40034")[1], [NO_IMAGE])
        self.assertEqual(run("-c", "rotate  90 degree")[1], [NO_IMAGE])
        self.assertEqual(run("-c", "Brightness", "-a", "nonsense")[0], 2)
        self.assertEqual(run("-a", "ok")[0], 2)

    def test_help_lists_the_menu(self):
        code, out, _ = run("--help")
        self.assertEqual(code, 0)
        text = "\n".join(out)
        self.assertIn("40013  Segment/Histogram Peak", text)
        self.assertIn("-a 1024=50", text)


class Files(InTempDir):

    def test_open_failures(self):
        bad = self.path("bad.bmp", bmp24(5, 3, pattern, size_delta=1))
        self.assertEqual(run(bad)[1], [": bsuccess", CANNOT_LOAD])
        self.assertEqual(run(self.path("missing.bmp"))[1], [CANNOT_LOAD])
        # After a failed Open there is no image.
        self.assertEqual(run(bad, "-c", "Invert")[1], [": bsuccess", CANNOT_LOAD, NO_IMAGE])

    def test_save_and_window_after_invert(self):
        src = self.path("in.bmp", bmp24(5, 3, pattern))
        saved, window = self.path("out.bmp"), self.path("win.ppm")
        code, out, err = run(src, "-c", "Invert", "--save", saved, "--window", window, "--screen", "40x20")
        self.assertEqual((code, out), (0, []), err)
        with open(saved, "rb") as f:
            data = f.read()
        self.assertEqual(len(data), 3 * 5 * 3 + 54)
        self.assertEqual(struct.unpack_from("<H", data, 6)[0], 1)  # the program's marker
        # Bottom row first, unpadded, blue green red; inverted.
        r, g, b = pattern(0, 2)
        self.assertEqual(tuple(data[54:57]), (255 - b, 255 - g, 255 - r))
        with open(window, "rb") as f:
            ppm = f.read()
        header = b"P6\n40 20\n255\n"
        self.assertTrue(ppm.startswith(header))
        pixels = ppm[len(header):]
        self.assertEqual(len(pixels), 40 * 20 * 3)
        r, g, b = pattern(1, 1)
        at = (1 * 40 + 1) * 3
        self.assertEqual(tuple(pixels[at:at + 3]), (255 - r, 255 - g, 255 - b))
        at = (10 * 40 + 30) * 3
        self.assertEqual(tuple(pixels[at:at + 3]), (255, 255, 255))

    def test_window_bmp_rows_are_padded(self):
        # 5 pixels a row: 15 bytes, padded to 16, as every BMP reader expects.
        src = self.path("in.bmp", bmp24(5, 3, pattern))
        window = self.path("win.bmp")
        self.assertEqual(run(src, "--window", window, "--screen", "5x3")[0], 0)
        with open(window, "rb") as f:
            data = f.read()
        self.assertEqual(len(data), 54 + 16 * 3)
        self.assertEqual(struct.unpack_from("<ii", data, 18), (5, 3))
        for y in range(3):
            row = data[54 + 16 * (2 - y):54 + 16 * (3 - y)]
            r, g, b = pattern(4, y)
            self.assertEqual(tuple(row[12:15]), (b, g, r), y)
            self.assertEqual(row[15], 0)

    def test_typed_answers_count_without_a_closing_ok(self):
        src = self.path("in.bmp", bmp24(2, 1, lambda x, y: (100, 100, 100)))
        for answers in (["-a", "1024=50"], ["-a", "1024=50", "-a", "ok"]):
            with self.subTest(answers=answers):
                saved = self.path("bright.bmp")
                self.assertEqual(run(src, "-c", "Brightness", *answers, "--save", saved)[0], 0)
                with open(saved, "rb") as f:
                    self.assertEqual(tuple(f.read()[54:57]), (150, 150, 150))

    def test_message_with_line_breaks_prints_on_one_line(self):
        src = self.path("in.bmp", bmp24(5, 3, pattern))
        out = run(src, "-c", "Show Image Details")[1]
        self.assertEqual(len(out), 1)
        self.assertTrue(out[0].startswith("OPTA: Width in pixels: 5\\nHeight in pixels: 3\\n"), out)

    def test_save_inside_a_command_takes_a_file_answer(self):
        src = self.path("in.bmp", bmp24(4, 2, pattern))
        saved = self.path("saved.bmp")
        self.assertEqual(run(src, "-c", "Save", "-a", "file=" + saved)[0], 0)
        self.assertEqual(os.path.getsize(saved), 3 * 4 * 2 + 54)


if __name__ == "__main__":
    if not os.path.exists(CLI):
        print("optascope-cli not built at " + CLI, file=sys.stderr)
        sys.exit(1)
    unittest.main()
