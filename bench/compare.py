#!/usr/bin/python3
"""Times our benchmarks and their OpenCV yardsticks in the same run, fairly.

Usage:
  bench/compare.py BENCH_BINARY YARDSTICK.py [--filter REGEX] [--scene NAME|all] [--rounds N]
  bench/compare.py --all [--build DIR] [--scene NAME|all] [--rounds N]

YARDSTICK.py defines CASES: a dict from a benchmark's base name (the part
before the first '/', e.g. "BM_Invert") to make(img). make receives the
scene as an h x w x 4 uint8 array (bytes R, G, B, 0: our colour values as
they lie in memory), prepares everything and allocates every output once,
and returns a callable that does OpenCV's side of the same work into those
outputs. NOTES (optional) says where the two sides' work differs; SCENES
(optional) lists the scenes the pair means something on (default: random
and natural); ("own",) marks a pair that builds its own picture on both
sides: it runs once, whatever --scene says, and make gets None.

The rules that make the table fair:
- the same picture bytes on both sides (the benchmark program reads the
  scene file that this script writes, see bench/picture_bench.h);
- outputs allocated once on both sides, outside the timing; each round
  starts a new benchmark program and makes OpenCV's outputs (and reads the
  scene) again, so that memory that happens to be slow for one process or
  one block weighs one round, not the whole column;
- the two sides interleaved run by run: the benchmark program stays up in
  serve mode and runs one benchmark when asked, then OpenCV runs the same
  work, then the next round, with the side that goes first alternating;
- each run is the mean over at least --min-time seconds, after one
  untimed call; the table shows the median of the rounds on both sides.
A line whose name starts with BM_Memcpy is the copy baseline; every other
line also shows its ratio to the baseline of the same size.
"""
import argparse
import glob
import importlib.util
import os
import re
import statistics
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
import yardstick_util  # noqa: E402


def load_yardstick(path):
    found = importlib.util.spec_from_file_location(os.path.basename(path)[:-3], path)
    mod = importlib.util.module_from_spec(found)
    found.loader.exec_module(mod)
    return mod


def list_benchmarks(binary, regex):
    out = subprocess.run([binary, "--benchmark_list_tests=true", f"--benchmark_filter={regex}"],
                         check=True, capture_output=True, text=True).stdout
    return [line.strip() for line in out.splitlines() if line.strip()]


def picture_size(name):
    nums = [p for p in name.split("/")[1:] if p.isdigit()]
    return (int(nums[0]), int(nums[1])) if len(nums) >= 2 else None


class Server:
    """Our benchmark program in serve mode: one benchmark per request."""

    def __init__(self, binary, picture, min_time):
        env = dict(os.environ)
        if picture:
            env["OPTA_BENCH_PICTURE"] = picture
        self.proc = subprocess.Popen([binary, "--serve", f"--benchmark_min_time={min_time}"],
                                     stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True, env=env)

    def run(self, name):
        self.proc.stdin.write("^" + re.escape(name) + "$\n")
        self.proc.stdin.flush()
        ms = None
        for line in self.proc.stdout:
            if not line.startswith("@@ "):
                continue
            if line.strip() == "@@ done":
                break
            got, value = line[3:].rstrip("\n").split("\t")
            if got == name:
                ms = float(value)
        if ms is None:
            raise RuntimeError(f"{name}: the benchmark program gave no time")
        return ms

    def close(self):
        self.proc.stdin.close()
        self.proc.wait()


def time_python(fn, min_time):
    """One untimed call, then the mean over at least min_time seconds."""
    t0 = time.perf_counter()
    fn()
    once = max(time.perf_counter() - t0, 1e-6)
    n = max(1, int(min_time / once + 0.5))
    t0 = time.perf_counter()
    for _ in range(n):
        fn()
    return (time.perf_counter() - t0) / n * 1e3


def compare(binary, yardstick_path, regex, scenes, rounds, min_time):
    """Rows (scene, name, ours ms, opencv ms or None, note) for one pair."""
    mod = load_yardstick(yardstick_path)
    cases = mod.CASES
    notes = getattr(mod, "NOTES", {})
    meaningful = getattr(mod, "SCENES", ("random", "natural"))
    names = list_benchmarks(binary, regex)
    rows = []
    if "own" in meaningful:
        scenes = ("own",)
    for scene in scenes:
        if scene not in meaningful:
            continue
        sizes = {picture_size(n) for n in names} - {None}
        if len(sizes) > 1:
            raise RuntimeError(f"{binary}: one picture size per program, found {sorted(sizes)}")
        picture = None
        if sizes and scene != "own":
            w, h = sizes.pop()
            picture = yardstick_util.scene_file(scene, w, h)
        ours = {n: [] for n in names}
        theirs = {n: [] for n in names if n.split("/")[0] in cases}
        for r in range(rounds):
            # Fresh memory on both sides every round: a new benchmark process,
            # and the scene and OpenCV's outputs allocated again. On a virtual
            # machine a block can stay slow for as long as it lives, and one
            # unlucky block must not decide a whole column.
            img = yardstick_util.read_scene_file(picture) if picture else None
            made = {n: cases[n.split("/")[0]](img) for n in theirs}
            server = Server(binary, picture, min_time)
            try:
                for n in names:
                    if r % 2 == 0:
                        ours[n].append(server.run(n))
                    if n in made:
                        theirs[n].append(time_python(made[n], min_time))
                    if r % 2 == 1:
                        ours[n].append(server.run(n))
            finally:
                server.close()
            del made, img
        for n in names:
            cv = statistics.median(theirs[n]) if n in theirs else None
            rows.append((scene, n, statistics.median(ours[n]), cv, notes.get(n.split("/")[0], "")))
    return rows


def print_table(title, rows):
    if title:
        print(f"\n== {title}")
    baseline = {(s, picture_size(n)): t for s, n, t, _, _ in rows if n.startswith("BM_Memcpy")}
    print(f"{'scene':8} {'benchmark':44} {'ours ms':>9} {'opencv ms':>10} {'ours/cv':>8} {'ours/copy':>10}")
    for scene, name, t, cv, note in rows:
        cv_ms = f"{cv:10.2f}" if cv is not None else ""
        ratio = f"{t / cv:8.2f}" if cv else ""
        copy = baseline.get((scene, picture_size(name)))
        copy_ratio = f"{t / copy:10.2f}" if copy and not name.startswith("BM_Memcpy") else ""
        print(f"{scene:8} {name:44} {t:9.2f} {cv_ms:>10} {ratio:>8} {copy_ratio:>10}"
              + (f"   ({note})" if note else ""))
    sys.stdout.flush()


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    ap.add_argument("binary", nargs="?")
    ap.add_argument("yardstick", nargs="?")
    ap.add_argument("--all", action="store_true", help="every bench/*_yardstick.py with its program")
    ap.add_argument("--build", default=os.path.join(os.path.dirname(HERE), "build", "release"))
    ap.add_argument("--filter", default=".")
    ap.add_argument("--scene", default="all", help="random, natural, smear or all")
    ap.add_argument("--rounds", type=int, default=7)
    ap.add_argument("--min-time", type=float, default=0.2)
    ap.add_argument("--threads", type=int, default=0, help="cv2.setNumThreads (0: OpenCV's default)")
    args = ap.parse_args()

    os.environ.setdefault("OPTA_BUILD_DIR", args.build)
    import cv2
    if args.threads:
        cv2.setNumThreads(args.threads)
    scenes = yardstick_util.SCENES if args.scene == "all" else (args.scene,)

    if args.all:
        pairs = []
        for y in sorted(glob.glob(os.path.join(HERE, "*_yardstick.py"))):
            family = os.path.basename(y)[:-len("_yardstick.py")]
            binary = os.path.join(args.build, "bench", f"{family}_bench")
            if os.path.exists(binary):
                pairs.append((binary, y))
            else:
                print(f"(skipped {family}: {binary} is not built)")
    elif args.binary and args.yardstick:
        pairs = [(args.binary, args.yardstick)]
    else:
        ap.error("give BENCH_BINARY YARDSTICK.py, or --all")
    for binary, y in pairs:
        rows = compare(binary, y, args.filter, scenes, args.rounds, args.min_time)
        print_table(os.path.basename(binary) if len(pairs) > 1 else "", rows)


if __name__ == "__main__":
    sys.exit(main())
