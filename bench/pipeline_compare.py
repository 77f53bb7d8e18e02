#!/usr/bin/python3
"""The whole smear analysis end to end, ours against OpenCV doing the same work.

Usage: bench/pipeline_compare.py [--build DIR] [--sizes 4096x3072,8192x6144] [--rounds N]

Ours: one optascope-cli process per run: open the generated smear, TRFG,
RBC General, Find WBCs, save, with a screen as large as the picture. Timed
from outside, process start and exit included, and its peak resident
memory read from the kernel's accounting.

OpenCV: one Python process per run, timed inside after the imports: imread,
gray, inRange 0..140, connectedComponentsWithStats, specks under 100 pixels
dropped, holes under 1000 pixels filled, labelled again; inRange 0..70,
specks dropped and labelled for the white cells; imwrite.

The two alternate run by run (the side that goes first alternates too) and
the table shows the medians.
"""
import argparse
import os
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
import yardstick_util  # noqa: E402

OPENCV_SIDE = r'''
import sys, time
import cv2
import numpy as np

def clean(mask, limit, fill):
    src = cv2.bitwise_not(mask) if fill else mask
    n, labels, stats, _ = cv2.connectedComponentsWithStats(src, connectivity=8, ltype=cv2.CV_32S)
    small = stats[:, cv2.CC_STAT_AREA] < limit
    table = np.where(small == fill, 255, 0).astype(np.uint8)
    table[0] = 255 if fill else 0
    return table[labels]

path, out = sys.argv[1], sys.argv[2]
t0 = time.perf_counter()
img = cv2.imread(path, cv2.IMREAD_COLOR)
gray = cv2.cvtColor(img, cv2.COLOR_BGR2GRAY)
mask = cv2.inRange(gray, 0, 140)
cv2.connectedComponentsWithStats(mask, connectivity=8, ltype=cv2.CV_32S)
mask = clean(mask, 100, False)
mask = clean(mask, 1000, True)
objects = cv2.connectedComponentsWithStats(mask, connectivity=8, ltype=cv2.CV_32S)
dark = clean(cv2.inRange(gray, 0, 70), 100, False)
white = cv2.connectedComponentsWithStats(dark, connectivity=8, ltype=cv2.CV_32S)
cv2.imwrite(out, img)
print((time.perf_counter() - t0) * 1e3)
'''


def run_ours(cli, smear, out, size):
    w, h = size
    t0 = time.perf_counter()
    p = subprocess.run([cli, "run", smear, "-c", "TRFG", "-c", "RBC General", "-c", "Find WBCs",
                        "--save", out, "--screen", f"{w}x{h}"], capture_output=True, text=True)
    ms = (time.perf_counter() - t0) * 1e3
    if p.returncode != 0:
        raise RuntimeError(p.stderr)
    return ms


def run_opencv(smear, out):
    p = subprocess.run([sys.executable, "-c", OPENCV_SIDE, smear, out], capture_output=True, text=True,
                       check=True)
    return float(p.stdout.strip().splitlines()[-1])


def peak_kb(cli, smear, out, size):
    w, h = size
    p = subprocess.run(["/usr/bin/time", "-f", "%M", cli, "run", smear, "-c", "TRFG", "-c", "RBC General",
                        "-c", "Find WBCs", "--save", out, "--screen", f"{w}x{h}"],
                       capture_output=True, text=True, check=True)
    return int(p.stderr.strip().splitlines()[-1])


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    ap.add_argument("--build", default=os.path.join(os.path.dirname(HERE), "build", "release"))
    ap.add_argument("--sizes", default="4096x3072,8192x6144")
    ap.add_argument("--rounds", type=int, default=7)
    args = ap.parse_args()
    os.environ["OPTA_BUILD_DIR"] = args.build
    cli = os.path.join(args.build, "src", "cli", "optascope-cli")
    print(f"{'size':>10} {'ours ms':>9} {'opencv ms':>10} {'ours/cv':>8} {'peak MiB':>9} {'bytes/px':>9}")
    with tempfile.TemporaryDirectory() as tmp:
        for text in args.sizes.split(","):
            size = tuple(int(v) for v in text.split("x"))
            smear = yardstick_util.smear_file(*size)
            ours, theirs = [], []
            for r in range(args.rounds):
                if r % 2 == 0:
                    ours.append(run_ours(cli, smear, os.path.join(tmp, "ours.bmp"), size))
                theirs.append(run_opencv(smear, os.path.join(tmp, "cv.bmp")))
                if r % 2 == 1:
                    ours.append(run_ours(cli, smear, os.path.join(tmp, "ours.bmp"), size))
            kb = peak_kb(cli, smear, os.path.join(tmp, "ours.bmp"), size)
            a, b = statistics.median(ours), statistics.median(theirs)
            px = size[0] * size[1]
            print(f"{text:>10} {a:9.1f} {b:10.1f} {a / b:8.2f} {kb / 1024:9.1f} {kb * 1024 / px:9.2f}")
            sys.stdout.flush()


if __name__ == "__main__":
    sys.exit(main())
