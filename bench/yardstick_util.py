"""Helpers the OpenCV yardsticks share (bench/compare.py puts bench/ on the path)."""
import numpy as np


def random_picture(w, h):
    """A random 4-byte-per-pixel picture, the same bytes our benchmarks use per pixel."""
    rng = np.random.default_rng(1)
    return rng.integers(0, 256, size=(h, w, 4), dtype=np.uint8)


def on_random_picture(make):
    """A CASES entry: make(img) timed on a random picture of the benchmark's size."""
    def build(w, h):
        img = random_picture(w, h)
        return lambda: make(img)
    return build
