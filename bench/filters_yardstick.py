"""OpenCV doing the neighbourhood filters' work on the same scene
(bench/compare.py times these beside bench/filters_bench). Every output is
allocated once."""
import cv2
import numpy as np

from yardstick_util import bgr, copy_case

LOW_PASS_6 = np.array([[0, 1, 0], [1, 2, 1], [0, 1, 0]], np.float32) / 6
HIGH_PASS_1 = np.array([[0, -1, 0], [-1, 5, -1], [0, -1, 0]], np.float32)
GAUSSIAN = np.array([[3, 6, 8, 6, 3], [6, 14, 19, 14, 6], [8, 19, 25, 19, 8], [6, 14, 19, 14, 6],
                     [3, 6, 8, 6, 3]], np.float32) / 249
BOX7 = np.full((7, 7), 1 / 49, np.float32)


def _filter2d(kernel):
    def make(img):
        dst = np.empty_like(img)
        return lambda: cv2.filter2D(img, -1, kernel, dst=dst)
    return make


def _median(k):
    def make(img):
        three = bgr(img)
        dst = np.empty_like(three)
        return lambda: cv2.medianBlur(three, k, dst=dst)
    return make


def _blur(k):
    def make(img):
        dst = np.empty_like(img)
        return lambda: cv2.blur(img, (k, k), dst=dst)
    return make


def _morph(op, k):
    element = np.ones((k, k), np.uint8)

    def make(img):
        dst = np.empty_like(img)
        return lambda: op(img, element, dst=dst)
    return make


def _midpoint(k):
    element = np.ones((k, k), np.uint8)

    def make(img):
        lo, hi, dst = np.empty_like(img), np.empty_like(img), np.empty_like(img)

        def run():
            cv2.erode(img, element, dst=lo)
            cv2.dilate(img, element, dst=hi)
            cv2.addWeighted(lo, 0.5, hi, 0.5, 0, dst=dst)
        return run
    return make


CASES = {
    "BM_Memcpy": copy_case,
    "BM_LowPass": _filter2d(LOW_PASS_6),
    "BM_HighPass": _filter2d(HIGH_PASS_1),
    "BM_Gaussian": _filter2d(GAUSSIAN),
    "BM_GeometricMean7": _filter2d(BOX7),
    "BM_HarmonicMean7": _filter2d(BOX7),
    "BM_ContraharmonicMean7": _filter2d(BOX7),
    "BM_ContraharmonicMean7Q15": _filter2d(BOX7),
}
for _k in (3, 5, 7):
    CASES[f"BM_Median{_k}"] = _median(_k)
    CASES[f"BM_ArithmeticMean{_k}"] = _blur(_k)
    CASES[f"BM_Max{_k}"] = _morph(cv2.dilate, _k)
    CASES[f"BM_Min{_k}"] = _morph(cv2.erode, _k)
    CASES[f"BM_Midpoint{_k}"] = _midpoint(_k)

_SURFACES = "ours also writes the 1920 x 1080 window besides the picture-sized result"
NOTES = {
    "BM_LowPass": "same LPF 6 mask; OpenCV rounds where we drop the remainder, and fills the border; " + _SURFACES,
    "BM_HighPass": "same HPF 1 mask, both saturate; OpenCV fills the border; " + _SURFACES,
    "BM_Gaussian": "same 5x5 table over its total 249; OpenCV rounds, in float; " + _SURFACES,
    "BM_GeometricMean7": "OpenCV: a 7x7 float box filter; ours: 49 products in double per channel and the root",
    "BM_HarmonicMean7": "OpenCV: a 7x7 float box filter; ours: 49 reciprocals summed in double per channel",
    "BM_ContraharmonicMean7": "OpenCV: a 7x7 float box filter; ours: order 1 (Q = 10), two sums of whole powers",
    "BM_ContraharmonicMean7Q15": "OpenCV: a 7x7 float box filter; ours: order 1.5, two sums of 49 powers in "
                                 "double per channel, in the window's order",
}
for _k in (3, 5, 7):
    NOTES[f"BM_Median{_k}"] = ("OpenCV: per-channel median of the 3-byte picture; ours: the whole pixel in packed "
                               "order, 4 bytes a pixel; " + _SURFACES)
    NOTES[f"BM_ArithmeticMean{_k}"] = "OpenCV rounds the box mean, we drop the remainder; " + _SURFACES
    NOTES[f"BM_Max{_k}"] = "OpenCV dilates per channel; ours keeps the largest whole pixel; " + _SURFACES
    NOTES[f"BM_Min{_k}"] = "the same per-channel minimum; " + _SURFACES
    NOTES[f"BM_Midpoint{_k}"] = "OpenCV: erode, dilate and a rounded average; ours truncates; " + _SURFACES
