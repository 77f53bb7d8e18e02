"""optascope-cli from the outside when things go wrong: the exit statuses,
the reasons it gives, files that promise more than they hold, and saving
with little memory."""
import os
import resource
import struct
import subprocess
import sys
import unittest

BUILD = os.environ.get("OPTA_BUILD_DIR", "build")
SOURCE = os.environ.get("OPTA_SOURCE_DIR", ".")
CLI = os.path.join(BUILD, "src", "cli", "optascope-cli")
CORPUS = os.path.join(SOURCE, "tests", "data", "bmp-corpus")
sys.path.insert(0, os.path.join(SOURCE, "tests", "support"))
from optacli import InTempDir  # noqa: E402


def cli(*args, limit=None):
    """Exit status (negative: the signal that ended it), stdout lines, stderr;
    limit caps the address space."""
    def cap():
        if limit:
            resource.setrlimit(resource.RLIMIT_AS, (limit, limit))
    p = subprocess.run([CLI, *args], capture_output=True, text=True, timeout=300, preexec_fn=cap)
    return p.returncode, p.stdout.splitlines(), p.stderr


def read(path):
    with open(path, "rb") as f:
        return f.read()


def peak_kib(*args):
    """Exit status and peak resident memory in KiB of one run."""
    pid = os.fork()
    if pid == 0:
        devnull = os.open(os.devnull, os.O_WRONLY)
        os.dup2(devnull, 1)
        os.dup2(devnull, 2)
        os.execv(CLI, [CLI, *args])
    _, status, usage = os.wait4(pid, 0)
    return os.waitstatus_to_exitcode(status), usage.ru_maxrss


def bmp24(width, height, rgb=(10, 20, 30)):
    stride = (width * 3 + 3) & ~3
    row = bytes((rgb[2], rgb[1], rgb[0])) * width + bytes(stride - width * 3)
    data = row * height
    return (b"BM" + struct.pack("<IHHI", 54 + len(data), 0, 0, 54) +
            struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(data), 0, 0, 0, 0) + data)


class Cli(InTempDir):
    def setUp(self):
        super().setUp()
        self.image = self.path("in.bmp", bmp24(5, 3))

    def test_exit_statuses(self):
        missing = self.path("missing.bmp")
        out = self.path("out.bmp")
        self.assertEqual(cli("run", self.image, "--save", out)[0], 0)
        self.assertEqual(cli("convert", self.image, self.path("out.ppm"))[0], 0)
        code, _, err = cli("run", self.image, "--save", self.path("no/such/dir.bmp"))
        self.assertEqual(code, 1)
        self.assertIn("cannot write", err)
        self.assertIn("No such file or directory", err)
        self.assertEqual(cli("convert", self.image, self.dir.name + "/")[0], 2)  # neither .bmp nor .ppm
        self.assertIn("Is a directory", cli("run", self.image, "--window", self.dir.name)[2])
        self.assertEqual(cli("run", "--bogus")[0], 2)
        self.assertEqual(cli("frobnicate")[0], 2)
        self.assertEqual(cli()[0], 2)
        for args in (("run", missing), ("info", missing), ("convert", missing, out)):
            self.assertEqual(cli(*args)[0], 3, args)
        # The commands still run after a failed open (cli_run_test.py), and Exit's own code wins.
        self.assertEqual(cli("run", missing, "-c", "Exit")[0], 0)

    def test_every_help_lists_the_statuses(self):
        for args in (("--help",), ("run", "--help"), ("info", "--help"), ("convert", "--help")):
            code, out, _ = cli(*args)
            self.assertEqual(code, 0, args)
            self.assertIn("3 the image could not be opened", "\n".join(out), args)

    def test_files_that_promise_more_than_they_hold_allocate_nothing_large(self):
        for name in ("marked-declares-256-megapixels.refused.bmp", "rle8-over-budget.refused.bmp"):
            path = os.path.join(CORPUS, name)
            self.assertLessEqual(os.path.getsize(path), 1080)
            code, peak = peak_kib("info", path)
            self.assertEqual(code, 3, name)
            self.assertLess(peak, 64 * 1024, name)  # the pictures would take 1 GiB

    def test_saving_a_large_picture_in_300_mb(self):
        side = 4096
        big = self.path("big.bmp", bmp24(side, side, (200, 100, 50)))
        target = self.path("target.bmp", bmp24(2, 2))
        old = read(target)
        code, out, err = cli("run", big, "-c", "Invert", "-c", "Rotate 90 Degree", "-c", "TRFG",
                             "-c", "Save", "-a", "file=" + target, "--save", self.path("again.bmp"),
                             limit=300 << 20)
        self.assertGreaterEqual(code, 0, err)  # never ended by a signal
        saved = read(target)
        self.assertTrue(saved == old or len(saved) == 3 * side * side + 54)
        if code == 0:  # both saves wrote the same last result
            self.assertEqual(read(self.path("again.bmp")), saved)


if __name__ == "__main__":
    if not os.path.exists(CLI):
        print("optascope-cli not built at " + CLI, file=sys.stderr)
        sys.exit(1)
    unittest.main()
