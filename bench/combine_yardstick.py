"""OpenCV doing the two-image operations' work on the same pair of pictures
(bench/compare.py times these beside bench/combine_bench). The second
picture is the first turned half round, as in the benchmark."""
import cv2
import numpy as np

from yardstick_util import copy_case


def _pair(img):
    second = np.ascontiguousarray(img[::-1, ::-1])
    return img, second, np.empty_like(img)


def _add(img):
    a, b, out = _pair(img)
    return lambda: cv2.add(a, b, dst=out)


def _absdiff(img):
    a, b, out = _pair(img)
    return lambda: cv2.absdiff(a, b, dst=out)


def _weighted(img):
    a, b, out = _pair(img)
    return lambda: cv2.addWeighted(a, 0.5, b, 0.5, 0.0, dst=out)


CASES = {
    "BM_Memcpy": copy_case,
    "BM_Add": _add,
    "BM_Subtract": _absdiff,
    "BM_Average": _weighted,
    "BM_And": copy_case,
}

_BOTH = "ours writes the 4096x3072 memory surface and the 1920x1080 window (4 bytes a pixel, top byte cleared)"
NOTES = {
    "BM_Add": _BOTH + "; cv2.add writes one output",
    "BM_Subtract": _BOTH + "; cv2.absdiff writes one output",
    "BM_Average": _BOTH + "; ours rounds each channel down, cv2.addWeighted rounds to nearest",
    "BM_And": _BOTH + "; for two pictures of one size AND is a copy of the first, so OpenCV copies",
}
