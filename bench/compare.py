#!/usr/bin/python3
"""Times a Google Benchmark program and its OpenCV yardstick in the same run.

Usage: bench/compare.py BENCH_BINARY YARDSTICK.py [--filter REGEX] [--threads N]

YARDSTICK.py defines CASES: a dict from a benchmark's base name (the part
before the first '/', e.g. "BM_Invert") to a function that returns a callable
doing the same work in OpenCV/numpy on the same input. Our time, OpenCV's time
and their ratio are printed side by side; a benchmark whose name starts with
BM_Memcpy is the copy baseline, and every other line also shows its ratio to
the baseline of the same size.
"""
import argparse
import importlib.util
import json
import os
import subprocess
import sys
import time


def load_yardstick(path):
    sys.path.insert(0, os.path.dirname(os.path.abspath(path)))
    loader = importlib.util.spec_from_file_location("yardstick", path)
    mod = importlib.util.module_from_spec(loader)
    loader.loader.exec_module(mod)
    return mod.CASES


def time_python(fn, repeats=7):
    fn()  # warm up
    best = float("inf")
    for _ in range(repeats):
        t0 = time.perf_counter()
        fn()
        best = min(best, time.perf_counter() - t0)
    return best * 1e3


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("binary")
    ap.add_argument("yardstick")
    ap.add_argument("--filter", default=".")
    ap.add_argument("--threads", type=int, default=0, help="cv2.setNumThreads (0: OpenCV's default)")
    args = ap.parse_args()

    out = subprocess.run([args.binary, "--benchmark_format=json", f"--benchmark_filter={args.filter}"],
                         check=True, capture_output=True, text=True).stdout
    results = json.loads(out)["benchmarks"]

    import cv2
    if args.threads:
        cv2.setNumThreads(args.threads)
    cases = load_yardstick(args.yardstick)

    ours = {}
    for b in results:
        if b.get("run_type") == "aggregate":
            continue
        unit = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}[b.get("time_unit", "ns")]
        ours[b["name"]] = b["real_time"] * unit

    def size_of(name):
        return "/".join(name.split("/")[1:3])

    baseline = {size_of(n): t for n, t in ours.items() if n.startswith("BM_Memcpy")}
    print(f"{'benchmark':48} {'ours ms':>9} {'opencv ms':>10} {'ours/cv':>8} {'ours/copy':>10}")
    for name, t in ours.items():
        base = name.split("/")[0]
        cv_ms = ""
        ratio = ""
        if base in cases:
            fn = cases[base](*[int(p) for p in name.split("/")[1:3] if p.isdigit()])
            ms = time_python(fn)
            cv_ms = f"{ms:10.2f}"
            ratio = f"{t / ms:8.2f}"
        copy = baseline.get(size_of(name))
        copy_ratio = f"{t / copy:10.2f}" if copy and not name.startswith("BM_Memcpy") else ""
        print(f"{name:48} {t:9.2f} {cv_ms:>10} {ratio:>8} {copy_ratio:>10}")


if __name__ == "__main__":
    sys.exit(main())
