"""The Snakemake workflow on a handful of generated smears and one broken
file, with two cores: its joined tables must be the ones a single batch run
over the same folder writes (the ms column aside), and the config's
defaults must be overridable from the command line."""
import csv
import os
import shutil
import subprocess
import tempfile
import unittest

BUILD = os.path.abspath(os.environ.get("OPTA_BUILD_DIR", "build"))
SOURCE = os.environ.get("OPTA_SOURCE_DIR", os.path.join(os.path.dirname(__file__), "..", ".."))
CLI = os.path.join(BUILD, "src", "cli", "optascope-cli")
GENERATOR = os.path.join(BUILD, "tools", "smear_generator")
SNAKEFILE = os.path.join(SOURCE, "workflow", "Snakefile")


def without_ms(path):
    with open(path, newline="") as f:
        return [r[:-1] for r in csv.reader(f)]


def read(path):
    with open(path, "rb") as f:
        return f.read()


class Workflow(unittest.TestCase):
    def test_joined_tables_equal_one_batch_run(self):
        with tempfile.TemporaryDirectory() as tmp:
            smears = os.path.join(tmp, "smears")
            os.makedirs(os.path.join(smears, "slide2"))
            for seed, rel in enumerate(["a.bmp", "b.bmp", "slide2/c.bmp", "slide2/d.bmp"], start=1):
                subprocess.run([GENERATOR, "--width", "640", "--height", "480", "--seed", str(seed),
                                os.path.join(smears, rel)], check=True, capture_output=True)
                os.remove(os.path.join(smears, rel[:-4] + ".json"))
            with open(os.path.join(smears, "broken.bmp"), "wb") as f:
                f.write(b"BM")
            p = subprocess.run(["snakemake", "-s", SNAKEFILE, "--cores", "2", "--quiet", "--config",
                                f"input={smears}", f"cli={CLI}", "output=out"],
                               cwd=tmp, capture_output=True, text=True, timeout=900)
            self.assertEqual(p.returncode, 0, p.stderr[-3000:])
            table, objects = os.path.join(tmp, "batch.csv"), os.path.join(tmp, "objects.csv")
            subprocess.run([CLI, "batch", smears, "--csv", table, "--objects", objects], capture_output=True)
            joined = os.path.join(tmp, "out", "batch.csv")
            self.assertEqual(without_ms(joined), without_ms(table))
            self.assertEqual(len(without_ms(joined)), 1 + 5)
            self.assertEqual(read(os.path.join(tmp, "out", "objects.csv")), read(objects))
            self.assertTrue(read(joined).startswith(b"file,width,height,objects,"))

    def test_recipe_from_the_config(self):
        with tempfile.TemporaryDirectory() as tmp:
            smears = os.path.join(tmp, "smears")
            os.mkdir(smears)
            subprocess.run([GENERATOR, "--width", "320", "--height", "240", "--seed", "9",
                            os.path.join(smears, "s.bmp")], check=True, capture_output=True)
            config = os.path.join(tmp, "config.yaml")
            with open(config, "w") as f:
                f.write(f"input: {smears}\noutput: out\ncli: {CLI}\nrecipe:\n"
                        "  - {command: Set Threshold Limits, answers: [1015=0, 1016=0, ok]}\n"
                        "  - TRFG\n")
            p = subprocess.run(["snakemake", "-s", SNAKEFILE, "--cores", "2", "--quiet", "--configfile", config],
                               cwd=tmp, capture_output=True, text=True, timeout=900)
            self.assertEqual(p.returncode, 0, p.stderr[-3000:])
            rows = without_ms(os.path.join(tmp, "out", "batch.csv"))
            # Limits [0, 0]: only pure black is object, and a smear has none.
            self.assertEqual(rows[1][:4], [os.path.join(smears, "s.bmp"), "320", "240", "0"])
            self.assertEqual(rows[1][4:9], ["", "", "", "", "ok"])


if __name__ == "__main__":
    if not (os.path.exists(CLI) and os.path.exists(GENERATOR) and shutil.which("snakemake")):
        print("skipped: needs optascope-cli, smear_generator and snakemake")
        raise SystemExit(0)
    unittest.main()
