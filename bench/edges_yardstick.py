"""OpenCV doing the edge detectors' work on the same scene (bench/compare.py
times these beside bench/edges_bench). Every output is allocated once."""
import cv2
import numpy as np

from yardstick_util import copy_case


def _kernel(rows):
    # Our masks pair their row index with the horizontal offset, so OpenCV's
    # kernel (row = vertical offset) is the transpose.
    return np.array(rows, np.float32).reshape(3, 3).T.copy()


QUICK = _kernel([-1, 0, -1, 0, 4, 0, -1, 0, -1])
POINT = _kernel([-1, -1, -1, -1, 8, -1, -1, -1, -1])
KIRSCH = [_kernel(m) for m in (
    [5, 5, 5, -3, 0, -3, -3, -3, -3], [-3, 5, 5, -3, 0, 5, -3, -3, -3], [-3, -3, 5, -3, 0, 5, -3, -3, 5],
    [-3, -3, -3, -3, 0, 5, -3, 5, 5], [-3, -3, -3, -3, 0, -3, 5, 5, 5], [-3, -3, -3, 5, 0, -3, 5, 5, -3],
    [5, -3, -3, 5, 0, -3, 5, -3, -3], [5, 5, -3, 5, 0, -3, -3, -3, -3])]
PREWITT = [_kernel(m) for m in (
    [1, 1, 1, 1, -2, 1, -1, -1, -1], [1, 1, 1, 1, -2, -1, 1, -1, -1], [1, 1, -1, 1, -2, -1, 1, 1, -1],
    [1, -1, -1, 1, -2, -1, 1, 1, 1], [-1, -1, -1, 1, -2, 1, 1, 1, 1], [-1, -1, 1, -1, -2, 1, 1, 1, 1],
    [-1, 1, 1, -1, -2, 1, -1, 1, 1], [1, 1, 1, -1, -2, 1, -1, -1, 1])]


def _filter(kernels):
    def make(img):
        dst = np.empty_like(img)

        def run():
            for k in kernels:
                cv2.filter2D(img, -1, k, dst=dst)
        return run
    return make


CASES = {
    "BM_Memcpy": copy_case,
    "BM_Homogeneity": _filter([QUICK]),
    "BM_Difference": _filter([QUICK]),
    "BM_Variance": _filter([QUICK]),
    "BM_Quick": _filter([QUICK]),
    "BM_PointDetection": _filter([POINT]),
    "BM_Kirsch": _filter(KIRSCH),
    "BM_Prewitt": _filter(PREWITT),
}

NOTES = {
    "BM_Homogeneity": "OpenCV: one 3x3 filter2D; ours: eight differences, also the 1920x1080 window",
    "BM_Difference": "OpenCV: one 3x3 filter2D; ours: four differences, also the 1920x1080 window",
    "BM_Variance": "OpenCV: one 3x3 filter2D; ours: four squares and a root, also the 1920x1080 window",
    "BM_Kirsch": "OpenCV: eight separate filter2D; ours: a running sum and the gray test, also the window",
    "BM_Prewitt": "OpenCV: eight separate filter2D; ours: a running sum and the gray test, also the window",
}
