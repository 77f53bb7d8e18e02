"""cmake --install from the outside: the desktop program with its help pages,
its desktop entry and the icon the entry names, at every size."""
import configparser
import os
import shutil
import struct
import subprocess
import tempfile
import unittest

BUILD = os.environ.get("OPTA_BUILD_DIR", "build")
PROGRAM = os.path.join(BUILD, "src", "app", "optascope")


def png_size(path):
    with open(path, "rb") as f:
        head = f.read(24)
    if head[:8] != b"\x89PNG\r\n\x1a\n" or head[12:16] != b"IHDR":
        return None
    return struct.unpack(">II", head[16:24])


@unittest.skipUnless(os.path.exists(PROGRAM), "the desktop program is not built")
class Install(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.TemporaryDirectory()
        cls.prefix = cls.tmp.name
        subprocess.run(["cmake", "--install", BUILD, "--prefix", cls.prefix],
                       check=True, capture_output=True, timeout=300)

    @classmethod
    def tearDownClass(cls):
        cls.tmp.cleanup()

    def entry(self):
        parser = configparser.ConfigParser(interpolation=None)
        parser.optionxform = str
        parser.read(os.path.join(self.prefix, "share", "applications", "optascope.desktop"))
        return parser["Desktop Entry"]

    def test_entry_starts_the_installed_program(self):
        e = self.entry()
        self.assertEqual(e["Type"], "Application")
        self.assertEqual(e["Name"], "Optascope")
        self.assertEqual(e["Terminal"], "false")
        self.assertTrue(os.access(os.path.join(self.prefix, "bin", e["Exec"]), os.X_OK))
        self.assertTrue(e["Categories"].endswith(";"))
        if shutil.which("desktop-file-validate"):
            path = os.path.join(self.prefix, "share", "applications", "optascope.desktop")
            p = subprocess.run(["desktop-file-validate", path], capture_output=True, text=True)
            self.assertEqual(p.returncode, 0, p.stdout + p.stderr)

    def test_icon_it_names_is_installed_at_each_size(self):
        name = self.entry()["Icon"]
        for size in (16, 32, 48, 64, 128, 256):
            with self.subTest(size=size):
                path = os.path.join(self.prefix, "share", "icons", "hicolor",
                                    "%dx%d" % (size, size), "apps", name + ".png")
                self.assertEqual(png_size(path), (size, size))

    def test_help_pages_travel_with_the_program(self):
        self.assertTrue(os.path.exists(os.path.join(self.prefix, "share", "optascope", "help", "index.html")))


if __name__ == "__main__":
    unittest.main()
