"""optascope-cli batch from the outside: the tables it writes for a folder of
generated smears, other picture formats and broken files, against what
`run` reports and what the smear generator knows; its order, quoting,
resumption after SIGKILL, exit codes and progress line."""
import csv
import io
import json
import os
import pty
import re
import shutil
import signal
import struct
import subprocess
import tempfile
import time
import unittest

import cv2
import numpy as np

BUILD = os.environ.get("OPTA_BUILD_DIR", "build")
CLI = os.path.join(BUILD, "src", "cli", "optascope-cli")
GENERATOR = os.path.join(BUILD, "tools", "smear_generator")
DEFAULT = ["TRFG", "RBC General", "Identify Sickel Cells", "Find WBCs"]
MARKS = {"normal": "normal red cell", "sickle": "sickle", "wbc": "white cell", "elongated": "none"}
HEADER = b"file,width,height,objects,normal_rbcs,anaemia,white_cells,sickle_cells,status,ms\r\n"


def batch(*args, timeout=600):
    p = subprocess.run([CLI, "batch", *args], capture_output=True, text=True, timeout=timeout)
    return p.returncode, p.stdout, p.stderr


def read(path):
    with open(path, "rb") as f:
        return f.read()


def rows(path):
    with open(path, newline="") as f:
        return list(csv.DictReader(f))


def without_ms(path):
    return [{k: v for k, v in r.items() if k != "ms"} for r in rows(path)]


def generate(path, seed, w=1024, h=768):
    subprocess.run([GENERATOR, "--width", str(w), "--height", str(h), "--seed", str(seed), path],
                   check=True, capture_output=True)
    with open(path[:-4] + ".json") as f:
        truth = json.load(f)
    os.remove(path[:-4] + ".json")
    return truth


def read_saved(path):
    """A picture in the program's saved layout: 54-byte header, unpadded
    24-bit rows, bottom row first. Returns h x w x 3 (r, g, b)."""
    data = read(path)
    w, h = struct.unpack_from("<ii", data, 18)
    px = np.frombuffer(data, np.uint8, w * h * 3, 54).reshape(h, w, 3)[::-1]
    return px[..., ::-1]


SMEARS = None  # folder, truths by path


def setUpModule():
    global SMEARS, TMP
    TMP = tempfile.mkdtemp(prefix="opta-batch-")
    folder = os.path.join(TMP, "smears")
    os.mkdir(folder)
    truths = {}
    for seed in range(1, 21):
        path = os.path.join(folder, f"smear_{seed:02d}.bmp")
        truths[path] = generate(path, seed)
    # One more smear as PNG, and two broken files.
    bmp = os.path.join(TMP, "smear_21.bmp")
    truth = generate(bmp, 21)
    png = os.path.join(folder, "smear_21.png")
    cv2.imwrite(png, cv2.imread(bmp, cv2.IMREAD_COLOR))
    truths[png] = truth
    with open(os.path.join(folder, "broken_a.bmp"), "wb") as f:
        f.write(b"BM" + bytes(100))
    with open(bmp, "rb") as src, open(os.path.join(folder, "broken_b.png"), "wb") as f:
        f.write(cv2.imencode(".png", cv2.imread(bmp))[1].tobytes()[:3000])
    SMEARS = (folder, truths, bmp)


def tearDownModule():
    shutil.rmtree(TMP, ignore_errors=True)


class FolderOfSmears(unittest.TestCase):
    def test_one_row_a_picture_in_order_and_the_same_whatever_j(self):
        folder, truths, _ = SMEARS
        out = {}
        for j in ("1", "2"):
            csv_path, obj_path = os.path.join(TMP, f"j{j}.csv"), os.path.join(TMP, f"j{j}.objects.csv")
            code, stdout, stderr = batch(folder, "-j", j, "--csv", csv_path, "--objects", obj_path)
            self.assertEqual(code, 1)  # two pictures failed
            self.assertEqual(stdout, "")
            self.assertEqual(sorted(stderr.splitlines()), [
                f"batch: {folder}/broken_a.bmp: bsuccess; Cannot load DIB file",
                f"batch: {folder}/broken_b.png: PNG: Read Error"])
            out[j] = (csv_path, obj_path)
        table = rows(out["1"][0])
        self.assertEqual([r["file"] for r in table], sorted(r["file"] for r in table))
        self.assertEqual(sum(r["status"] == "ok" for r in table), 21)
        errors = [r for r in table if r["status"] != "ok"]
        self.assertEqual([r["file"] for r in errors], [f"{folder}/broken_a.bmp", f"{folder}/broken_b.png"])
        for r in errors:
            self.assertEqual([r[k] for k in ("width", "objects", "anaemia", "white_cells")], ["", "", "", ""])
        for r in table:
            self.assertRegex(r["ms"], r"^\d+\.\d$")
        self.assertEqual(without_ms(out["1"][0]), without_ms(out["2"][0]))
        self.assertEqual(read(out["1"][1]), read(out["2"][1]))

        # Counts and objects against the smears' ground truth.
        objects = rows(out["1"][1])
        for path, truth in truths.items():
            with self.subTest(path=path):
                row = next(r for r in table if r["file"] == path)
                exp = truth["expected"]
                self.assertEqual((row["width"], row["height"]), ("1024", "768"))
                self.assertEqual(int(row["objects"]), exp["total_objects"])
                self.assertEqual(int(row["normal_rbcs"]), exp["normal_rbcs"])
                self.assertEqual(int(row["white_cells"]), exp["wbc_objects"])
                self.assertEqual(int(row["sickle_cells"]), exp["s_marks"])
                mine = [o for o in objects if o["file"] == path]
                self.assertEqual([int(o["object"]) for o in mine], list(range(1, len(mine) + 1)))
                self.assertEqual(len(mine), exp["total_objects"])
                # Each cell is the object whose box starts at its first pixel's column.
                for cell in truth["cells"]:
                    fx, fy = cell["first_pixel"]
                    hit = [o for o in mine if int(o["bbox_x"]) == fx
                           and int(o["bbox_y"]) <= fy < int(o["bbox_y"]) + int(o["bbox_height"])]
                    self.assertEqual(len(hit), 1, cell)
                    self.assertEqual(int(hit[0]["area"]), cell["area"])
                    self.assertEqual(hit[0]["mark"], MARKS[cell["kind"]])

    def test_counts_are_those_run_reports(self):
        folder, truths, png_source = SMEARS
        csv_path = os.path.join(TMP, "run_check.csv")
        batch(folder, "--csv", csv_path)
        for r in rows(csv_path):
            if r["status"] != "ok":
                continue
            image = png_source if r["file"].endswith(".png") else r["file"]
            with self.subTest(file=r["file"]):
                args = [CLI, "run", image]
                for c in DEFAULT:
                    args += ["-c", c]
                lines = subprocess.run(args, capture_output=True, text=True, check=True).stdout.splitlines()
                verdict = "yes" if "suffering" in lines[1] else "no"
                self.assertEqual(lines, [
                    f"OPTA: Total Objects Found: {r['objects']}",
                    lines[1],
                    f"OPTA: Normal RBCs Found: {r['normal_rbcs']}",
                    f"OPTA: Total Objects Found: {r['white_cells']}",
                ])
                self.assertEqual(verdict, r["anaemia"])

    def test_default_recipe_judges_sickle_cells_before_find_wbcs(self):
        # Identify Sickel Cells judges the labels the command before it left:
        # after Find WBCs those are the nuclei, none of them sickle-shaped.
        folder, truths, _ = SMEARS
        path = os.path.join(folder, "smear_01.bmp")
        code, out, _ = batch(path)
        self.assertEqual(code, 0)
        row = next(csv.DictReader(io.StringIO(out)))
        self.assertEqual(int(row["sickle_cells"]), truths[path]["expected"]["s_marks"])
        args = []
        for c in ["TRFG", "RBC General", "Find WBCs", "Identify Sickel Cells"]:
            args += ["-c", c]
        row = next(csv.DictReader(io.StringIO(batch(path, *args)[1])))
        self.assertEqual(row["sickle_cells"], "0")
        self.assertEqual(int(row["white_cells"]), truths[path]["expected"]["wbc_objects"])


class Tables(unittest.TestCase):
    def test_names_with_commas_and_quotes_follow_rfc_4180(self):
        with tempfile.TemporaryDirectory() as tmp:
            generate(os.path.join(tmp, "plain.bmp"), 3, 200, 150)
            for name in ('a,b.bmp', 'say "hi".bmp'):
                shutil.copy(os.path.join(tmp, "plain.bmp"), os.path.join(tmp, name))
            p = subprocess.run([CLI, "batch", tmp, "-c", "TRFG"], capture_output=True, timeout=600)
            self.assertEqual(p.returncode, 0)
            raw, out = p.stdout, p.stdout.decode()
            self.assertTrue(raw.startswith(HEADER))
            self.assertTrue(raw.endswith(b"\r\n"))
            self.assertNotIn(b"\n", raw.replace(b"\r\n", b""))
            lines = raw.split(b"\r\n")[1:-1]
            self.assertTrue(lines[0].startswith(f'"{tmp}/a,b.bmp",200,150,'.encode()))
            self.assertTrue(lines[1].startswith(f"{tmp}/plain.bmp,200,150,".encode()))
            self.assertTrue(lines[2].startswith(f'"{tmp}/say ""hi"".bmp",200,150,'.encode()))
            parsed = list(csv.reader(io.StringIO(out, newline="")))
            self.assertEqual([p[0] for p in parsed[1:]],
                             [f"{tmp}/a,b.bmp", f"{tmp}/plain.bmp", f'{tmp}/say "hi".bmp'])
            self.assertEqual(len({tuple(p[1:9]) for p in parsed[1:]}), 1)  # same picture, same row

    def test_resume_after_sigkill_gives_the_uninterrupted_tables(self):
        folder, _, _ = SMEARS
        with tempfile.TemporaryDirectory() as tmp:
            many = os.path.join(tmp, "many")
            os.mkdir(many)
            for k in range(3):
                for name in sorted(os.listdir(folder)):
                    os.symlink(os.path.join(folder, name), os.path.join(many, f"{k}_{name}"))
            full, full_obj = os.path.join(tmp, "full.csv"), os.path.join(tmp, "full.objects.csv")
            self.assertEqual(batch(many, "-j", "2", "--csv", full, "--objects", full_obj)[0], 1)
            part, part_obj = os.path.join(tmp, "part.csv"), os.path.join(tmp, "part.objects.csv")
            p = subprocess.Popen([CLI, "batch", many, "-j", "2", "--csv", part, "--objects", part_obj],
                                 stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            deadline = time.time() + 120
            while time.time() < deadline and p.poll() is None:
                if os.path.exists(part) and read(part).count(b"\r\n") >= 6:
                    break
                time.sleep(0.002)
            p.send_signal(signal.SIGKILL)
            p.wait()
            time.sleep(0.2)  # the workers follow their parent
            killed = read(part)
            self.assertLess(killed.count(b"\r\n"), 1 + 69, "the batch ended before it could be killed")
            self.assertTrue(killed.endswith(b"\r\n"))
            code, _, _ = batch(many, "-j", "2", "--csv", part, "--objects", part_obj, "--resume")
            self.assertEqual(code, 1)
            self.assertEqual(without_ms(part), without_ms(full))
            self.assertEqual(read(part_obj), read(full_obj))

    def test_resume_keeps_ok_rows_and_redoes_the_rest(self):
        folder, _, _ = SMEARS
        with tempfile.TemporaryDirectory() as tmp:
            names = ["broken_a.bmp", "smear_01.bmp", "smear_02.bmp", "smear_03.bmp"]
            for n in names:
                os.symlink(os.path.join(folder, n), os.path.join(tmp, n))
            table = os.path.join(tmp, "t.csv")
            batch(tmp, "-c", "TRFG", "--csv", table)
            before = rows(table)
            lines = read(table).split(b"\r\n")
            # The last row torn in the middle, as a write cut short would leave it.
            with open(table, "wb") as f:
                f.write(b"\r\n".join(lines[:-2]) + b"\r\n" + lines[-2][:20])
            code, _, _ = batch(tmp, "-c", "TRFG", "--csv", table, "--resume")
            self.assertEqual(code, 1)
            after = rows(table)
            self.assertEqual([r["file"] for r in after], [os.path.join(tmp, n) for n in names])
            # ok rows are kept as they were (their times too); the error row and
            # the torn one are analysed again, once each.
            self.assertEqual(after[1]["ms"], before[1]["ms"])
            self.assertEqual(after[2]["ms"], before[2]["ms"])
            self.assertEqual(after[0]["status"], "bsuccess; Cannot load DIB file")
            self.assertEqual(after[3]["status"], "ok")
            self.assertTrue(read(table).endswith(b"\r\n"))
            # A file that is not an image table is not resumed over.
            with open(table, "wb") as f:
                f.write(b"something else\r\n")
            self.assertEqual(batch(tmp, "--csv", table, "--resume")[0], 2)


class Options(unittest.TestCase):
    def test_exit_codes(self):
        folder, _, _ = SMEARS
        ok = os.path.join(folder, "smear_01.bmp")
        self.assertEqual(batch(ok, "-c", "TRFG")[0], 0)
        self.assertEqual(batch(ok, os.path.join(folder, "broken_a.bmp"), "-c", "TRFG")[0], 1)
        for args in ([], [ok, "-j", "0"], [ok, "-j", "x"], [ok, "--resume"], [ok, "--bogus"],
                     [ok, "-a", "ok"], [ok, "-c", "No Such Command"], [ok, "-c"]):
            with self.subTest(args=args):
                code, out, err = batch(*args)
                self.assertEqual((code, out), (2, ""))
                self.assertTrue(err.startswith("batch: "))
        code, out, _ = batch("--help")
        self.assertEqual(code, 0)
        self.assertIn("Exit status: 0 every picture ok, 1 some picture failed", out)
        self.assertIn("40109  Classification/TRFG", out)

    def test_out_saves_marked_pictures_and_refuses_clashes(self):
        folder, _, png_source = SMEARS
        with tempfile.TemporaryDirectory() as tmp:
            out = os.path.join(tmp, "marked")
            code, _, _ = batch(os.path.join(folder, "smear_21.png"), png_source, "--out", out)
            self.assertEqual(code, 0)
            self.assertEqual(sorted(os.listdir(out)), ["smear_21.bmp", "smear_21.png.bmp"])
            # The PNG became the BMP's very picture, so both are marked alike.
            self.assertEqual(read(os.path.join(out, "smear_21.bmp")), read(os.path.join(out, "smear_21.png.bmp")))
            saved = subprocess.run([CLI, "run", png_source, "-c", "TRFG", "-c", "RBC General", "-c",
                                    "Identify Sickel Cells", "-c", "Find WBCs", "--save",
                                    os.path.join(tmp, "run.bmp")], capture_output=True, check=True)
            self.assertEqual(saved.returncode, 0)
            self.assertEqual(read(os.path.join(tmp, "run.bmp")), read(os.path.join(out, "smear_21.bmp")))
            os.mkdir(os.path.join(tmp, "other"))
            shutil.copy(png_source, os.path.join(tmp, "other", "smear_21.bmp"))
            code, _, err = batch(png_source, os.path.join(tmp, "other", "smear_21.bmp"), "--out", out)
            self.assertEqual(code, 2)
            self.assertIn("would both be saved as smear_21.bmp", err)

    def test_screen_is_at_least_the_picture(self):
        # Labelling seeks objects only where x <= the screen's width: the
        # default screen (1920 wide) reaches a square at x = 1920, not 1921.
        with tempfile.TemporaryDirectory() as tmp:
            for x0, run_count in ((1920, 1), (1921, 0)):
                img = np.full((60, 2000, 3), 255, np.uint8)
                img[20:40, x0:x0 + 20] = 0  # 400 pixels: kept by TRFG
                path = os.path.join(tmp, f"wide_{x0}.bmp")
                cv2.imwrite(path, img)
                with self.subTest(x0=x0):
                    out = subprocess.run([CLI, "run", path, "-c", "TRFG"], capture_output=True, text=True).stdout
                    self.assertEqual(out, f"OPTA: Total Objects Found: {run_count}\n")
                    row = next(csv.DictReader(io.StringIO(batch(path, "-c", "TRFG")[1])))
                    self.assertEqual(row["objects"], "1")

    def test_progress_line_only_on_a_terminal(self):
        folder, _, _ = SMEARS
        ok = os.path.join(folder, "smear_01.bmp")
        self.assertEqual(batch(ok, "-c", "TRFG")[2], "")
        master, slave = pty.openpty()
        p = subprocess.run([CLI, "batch", ok, "-c", "TRFG"], stdout=subprocess.DEVNULL, stderr=slave,
                           timeout=120)
        os.close(slave)
        shown = os.read(master, 4096).decode()
        os.close(master)
        self.assertEqual(p.returncode, 0)
        self.assertRegex(shown, r"\[1/1\] " + re.escape(ok) + r"  [0-9.]+ pictures/s  0:00 left")


class Formats(unittest.TestCase):
    def saved_pixels(self, path):
        """The working image as loaded: Restore Image copies it to the picture saved by --out."""
        with tempfile.TemporaryDirectory() as tmp:
            code, out, _ = batch(path, "-c", "Restore Image", "--out", tmp)
            self.assertEqual(code, 0, out)
            return read_saved(os.path.join(tmp, os.listdir(tmp)[0]))

    def test_other_formats_become_the_working_image_a_bmp_gives(self):
        rng = np.random.default_rng(5)
        bgr = rng.integers(0, 256, (7, 9, 3), dtype=np.uint8)
        # 0x00FF would round to 1 and 0x7F80 to 128: their top bytes are 0 and 127.
        sixteen = np.array([[0x00FF, 0x0100, 0xFFFF, 0x7F80]], np.uint16)
        with tempfile.TemporaryDirectory() as tmp:
            for ext in ("png", "tif", "bmp"):
                path = os.path.join(tmp, f"p.{ext}")
                cv2.imwrite(path, bgr)
                self.assertEqual(self.saved_pixels(path).tolist(), bgr[..., ::-1].tolist(), ext)
            for ext in ("png", "tif"):
                path = os.path.join(tmp, f"g16.{ext}")
                cv2.imwrite(path, sixteen)
                self.assertEqual(self.saved_pixels(path)[0].tolist(),
                                 [[0, 0, 0], [1, 1, 1], [255, 255, 255], [127, 127, 127]], ext)
            jpeg = os.path.join(tmp, "flat.jpg")
            cv2.imwrite(jpeg, np.full((16, 16, 3), (40, 90, 200), np.uint8))
            self.assertLessEqual(np.abs(self.saved_pixels(jpeg).astype(int) - [200, 90, 40]).max(), 2)


if __name__ == "__main__":
    if not (os.path.exists(CLI) and os.path.exists(GENERATOR)):
        print(f"skipped: needs {CLI} and {GENERATOR}")
        raise SystemExit(0)
    unittest.main()
