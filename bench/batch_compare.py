#!/usr/bin/python3
"""optascope-cli batch against the same kind of pipeline in OpenCV, and
-j 2 against -j 1, on the same generated smears in the same run.

Usage: bench/batch_compare.py [--build DIR] [--count N] [--size WxH] [--rounds R] [--objects]
                              [-c COMMAND]...

The N smears come from tools/smear_generator (seeds 1..N) and are read from
the page cache by both sides (one untimed pass of each side first).

Ours: `optascope-cli batch FOLDER -j J --csv FILE` with the default recipe
(or the -c commands given), timed from outside; its start-up and worker
start are included, spread over the N pictures. --objects adds the object
table. `-c TRFG` is the recipe closest to OpenCV's side: threshold, specks
removed, holes filled, objects labelled.

OpenCV, in this one process (Python's start-up excluded): per picture
imread, cvtColor to gray, threshold at 140 (dark is object, as TRFG's
[0, 140]), connectedComponentsWithStats (8-connected), the area filter
(objects of at least 100 pixels kept) and one CSV row written through
csv.writer. OpenCV keeps its default thread count.

The work differs, and the table says so: our recipe also removes specks and
fills holes by flood (TRFG), labels and paints every object into the saved
picture, measures area and perimeter twice (RBC General, Identify Sickel
Cells), draws marks, and segments, cleans, labels and marks the nuclei a
second time (Find WBCs). OpenCV's side is one threshold and one labelling.

Rounds interleave ours -j 1, OpenCV and ours -j 2, the first side rotating
from round to round; the table shows medians over the rounds.
"""
import argparse
import csv
import os
import resource
import statistics
import subprocess
import sys
import tempfile
import time

import cv2
import numpy as np


def opencv_pass(files, out_path):
    with open(out_path, "w", newline="") as f:
        writer = csv.writer(f)
        writer.writerow(["file", "width", "height", "objects"])
        for path in files:
            img = cv2.imread(path, cv2.IMREAD_COLOR)
            gray = cv2.cvtColor(img, cv2.COLOR_BGR2GRAY)
            _, mask = cv2.threshold(gray, 140, 255, cv2.THRESH_BINARY_INV)
            _, _, stats, _ = cv2.connectedComponentsWithStats(mask, connectivity=8)
            kept = int(np.count_nonzero(stats[1:, cv2.CC_STAT_AREA] >= 100))
            writer.writerow([path, img.shape[1], img.shape[0], kept])


def ours_pass(cli, folder, jobs, out_path, objects, commands):
    args = [cli, "batch", folder, "-j", str(jobs), "--csv", out_path]
    for c in commands:
        args += ["-c", c]
    if objects:
        args += ["--objects", out_path + ".objects"]
    subprocess.run(args, check=True)


def cpu_seconds():
    """This process's and its finished children's user and system time."""
    me = resource.getrusage(resource.RUSAGE_SELF)
    kids = resource.getrusage(resource.RUSAGE_CHILDREN)
    return me.ru_utime + me.ru_stime + kids.ru_utime + kids.ru_stime


def timed(fn):
    """Wall and CPU seconds of one call."""
    t, c = time.perf_counter(), cpu_seconds()
    fn()
    return time.perf_counter() - t, cpu_seconds() - c


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--build", default=os.environ.get("OPTA_BUILD_DIR", "build/release"))
    ap.add_argument("--count", type=int, default=100)
    ap.add_argument("--size", default="1024x768")
    ap.add_argument("--rounds", type=int, default=7)
    ap.add_argument("--objects", action="store_true")
    ap.add_argument("-c", dest="commands", action="append", default=[])
    a = ap.parse_args()
    cli = os.path.join(a.build, "src", "cli", "optascope-cli")
    generator = os.path.join(a.build, "tools", "smear_generator")
    w, h = a.size.lower().split("x")
    with tempfile.TemporaryDirectory() as tmp:
        folder = os.path.join(tmp, "smears")
        os.mkdir(folder)
        for seed in range(1, a.count + 1):
            subprocess.run([generator, "--width", w, "--height", h, "--seed", str(seed),
                            os.path.join(folder, f"smear_{seed:04d}.bmp")], check=True, capture_output=True)
        for j in os.listdir(folder):
            if j.endswith(".json"):
                os.remove(os.path.join(folder, j))
        files = sorted(os.path.join(folder, n) for n in os.listdir(folder))
        out = os.path.join(tmp, "table.csv")
        sides = {
            "ours -j 1": lambda: ours_pass(cli, folder, 1, out, a.objects, a.commands),
            "OpenCV": lambda: opencv_pass(files, out),
            "ours -j 2": lambda: ours_pass(cli, folder, 2, out, a.objects, a.commands),
        }
        names = list(sides)
        for n in names:  # warm the page cache and both programs
            sides[n]()
        times = {n: [] for n in names}
        cpu = {n: [] for n in names}
        for r in range(a.rounds):
            order = names[r % 3:] + names[:r % 3]
            for n in order:
                wall, used = timed(sides[n])
                times[n].append(wall / a.count * 1000)
                cpu[n].append(used / a.count * 1000)
    med = {n: statistics.median(t) for n, t in times.items()}
    recipe = ", ".join(a.commands) or "the default recipe"
    print(f"{recipe}; {a.count} smears of {a.size}, {a.rounds} rounds, medians (ms per picture; CPU = user + system"
          " of every thread and process):")
    for n in names:
        print(f"  {n:10s} wall {med[n]:8.2f}  CPU {statistics.median(cpu[n]):8.2f}"
              f"   (wall by round: {', '.join(f'{t:.2f}' for t in times[n])})")
    print(f"ours -j 1 / OpenCV: {med['ours -j 1'] / med['OpenCV']:.2f}")
    print(f"ours -j 2 / OpenCV: {med['ours -j 2'] / med['OpenCV']:.2f}")
    print(f"pictures per second, -j 2 over -j 1: {med['ours -j 1'] / med['ours -j 2']:.2f}")
    print(f"load average: {os.getloadavg()[0]:.1f} on {os.cpu_count()} cores")


if __name__ == "__main__":
    sys.exit(main())
