"""The blood-cell commands from the outside, on synthetic smears of several
sizes: optascope-cli runs TRFG, RBC General, Identify Sickel Cells and Find
WBCs, and the counts it prints and the marks it draws must match the ground
truth the smear generator wrote beside each picture."""
import json
import os
import subprocess
import tempfile
import unittest

import cv2
import numpy as np

BUILD = os.environ.get("OPTA_BUILD_DIR", "build")
CLI = os.path.join(BUILD, "src", "cli", "optascope-cli")
GENERATOR = os.path.join(BUILD, "tools", "smear_generator")

# The built-in font's text cell; marks are drawn opaque, black on white.
CELL_W, CELL_H = 8, 16
SIZES = [(512, 512, 3), (1024, 768, 5), (2048, 1536, 9), (4096, 3072, 11)]


def generate(folder, w, h, seed, *extra):
    path = os.path.join(folder, f"smear_{w}x{h}_{seed}.bmp")
    subprocess.run([GENERATOR, "--width", str(w), "--height", str(h), "--seed", str(seed), *extra, path],
                   check=True, capture_output=True)
    with open(path[:-4] + ".json") as f:
        return path, json.load(f)


def run(image, w, h, commands, save):
    args = [CLI, "run", image, "--screen", f"{w}x{h}", "--save", save]
    for c in commands:
        args += ["-c", c]
    p = subprocess.run(args, capture_output=True, text=True, timeout=600)
    assert p.returncode == 0, p.stderr
    return p.stdout.splitlines(), cv2.imread(save, cv2.IMREAD_COLOR)


def mark_cells(img):
    """Pixels of pure white: nothing in a smear or a labelled mask is pure
    white, so they are the background of drawn text cells."""
    return np.all(img == 255, axis=2)


def anchors(truth, kind, dx=0):
    return {(c["first_pixel"][0] + dx, c["first_pixel"][1]) for c in truth["cells"] if c["kind"] == kind}


def isolated(points):
    """Anchors whose text cell no other mark overlaps."""
    out = set()
    for (x, y) in points:
        if all(abs(x - u) >= CELL_W or abs(y - v) >= CELL_H for (u, v) in points if (u, v) != (x, y)):
            out.add((x, y))
    return out


class SmearEndToEnd(unittest.TestCase):
    def check_marks(self, img, expected, kinds):
        """Every white pixel lies in an expected text cell, every expected
        cell holds some, and isolated cells of one kind look alike and unlike
        the other kind."""
        h, w = img.shape[:2]
        white = mark_cells(img)
        covered = np.zeros_like(white)
        for (x, y) in expected:
            covered[max(0, y):min(h, y + CELL_H), max(0, x):min(w, x + CELL_W)] = True
            if x < w and y < h:
                self.assertTrue(white[y:y + CELL_H, x:x + CELL_W].any(), f"no mark at {(x, y)}")
        stray = np.argwhere(white & ~covered)
        self.assertEqual(len(stray), 0, f"marks outside the expected cells, e.g. at {stray[:3].tolist()}")
        looks = {}
        every = set().union(*kinds.values())
        for kind, points in kinds.items():
            shapes = {img[y:y + CELL_H, x:x + CELL_W].tobytes()
                      for (x, y) in isolated(every) & points if x + CELL_W <= w and y + CELL_H <= h}
            self.assertLessEqual(len(shapes), 1, f"{kind} marks differ from each other")
            looks[kind] = shapes
        if all(looks.values()) and len(looks) == 2:
            a, b = looks.values()
            self.assertNotEqual(a, b)

    def test_counts_and_marks(self):
        for (w, h, seed) in SIZES:
            with self.subTest(size=f"{w}x{h}"), tempfile.TemporaryDirectory() as tmp:
                image, truth = generate(tmp, w, h, seed)
                exp = truth["expected"]
                self.assertTrue(exp["exact"])
                lines, img = run(image, w, h, ["TRFG", "RBC General", "Identify Sickel Cells"],
                                 os.path.join(tmp, "cells.bmp"))
                self.assertEqual(lines, [
                    f"OPTA: Total Objects Found: {exp['total_objects']}",
                    "OPTA: The Patient appears to be suffering from Anemia",
                    f"OPTA: Normal RBCs Found: {exp['normal_rbcs']}",
                ])
                normal, sickle = anchors(truth, "normal"), anchors(truth, "sickle")
                self.assertEqual(len(normal), exp["r_marks"])
                self.assertEqual(len(sickle), exp["s_marks"])
                self.check_marks(img, normal | sickle, {"r": normal, "s": sickle})

                lines, img = run(image, w, h, ["Find WBCs"], os.path.join(tmp, "wbc.bmp"))
                self.assertEqual(lines, [f"OPTA: Total Objects Found: {exp['wbc_objects']}"])
                white_cells = anchors(truth, "wbc", dx=5)
                self.assertEqual(len(white_cells), exp["w_marks"])
                self.check_marks(img, white_cells, {"W": white_cells})

    def test_touching_cells_merge(self):
        # Each touching pair is one object: the total drops by one per pair.
        with tempfile.TemporaryDirectory() as tmp:
            image, truth = generate(tmp, 640, 480, 21, "--touching", "4")
            self.assertEqual(truth["counts"]["touching_pairs"], 4)
            lines, _ = run(image, 640, 480, ["TRFG"], os.path.join(tmp, "t.bmp"))
            self.assertEqual(lines, [f"OPTA: Total Objects Found: {truth['expected']['total_objects']}"])

    def test_same_seed_same_picture(self):
        with tempfile.TemporaryDirectory() as tmp:
            a, _ = generate(tmp, 300, 200, 4)
            with open(a, "rb") as f:
                first = f.read()
            b, _ = generate(tmp, 300, 200, 4)
            with open(b, "rb") as f:
                self.assertEqual(first, f.read())
            self.assertEqual(len(first), 54 + 300 * 3 * 200)  # rows padded to 4: 900 already is


if __name__ == "__main__":
    if not (os.path.exists(CLI) and os.path.exists(GENERATOR)):
        print(f"skipped: needs {CLI} and {GENERATOR}")
        raise SystemExit(0)
    unittest.main()
