"""cmake --install: the program, its help pages, its desktop entry and the icon
the entry names at every size of the icon theme."""
import configparser
import os
import shutil
import struct
import subprocess
import tempfile
import unittest

BUILD = os.environ.get("OPTA_BUILD_DIR", "build")


@unittest.skipUnless(os.path.exists(os.path.join(BUILD, "src", "app", "optascope")), "no desktop program")
class Install(unittest.TestCase):
    def test_entry_icon_and_help_are_installed_with_the_program(self):
        with tempfile.TemporaryDirectory() as prefix:
            subprocess.run(["cmake", "--install", BUILD, "--prefix", prefix], check=True, capture_output=True)
            share = os.path.join(prefix, "share")
            desktop = os.path.join(share, "applications", "optascope.desktop")
            entry = configparser.ConfigParser(interpolation=None)
            entry.read(desktop)
            entry = entry["Desktop Entry"]
            self.assertTrue(os.access(os.path.join(prefix, "bin", entry["Exec"]), os.X_OK))
            for size in (16, 32, 48, 64, 128, 256):
                with open(os.path.join(share, "icons", "hicolor", "%dx%d" % (size, size), "apps",
                                       entry["Icon"] + ".png"), "rb") as f:
                    head = f.read(24)
                self.assertEqual((head[:8], struct.unpack(">II", head[16:24])), (b"\x89PNG\r\n\x1a\n", (size, size)))
            self.assertTrue(os.path.exists(os.path.join(share, "optascope", "help", "index.html")))
            if shutil.which("desktop-file-validate"):
                subprocess.run(["desktop-file-validate", desktop], check=True)


if __name__ == "__main__":
    unittest.main()
