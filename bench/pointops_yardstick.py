"""OpenCV doing the point operations' work on the same scene (bench/compare.py
times these beside bench/pointops_bench). Every output is allocated once."""
import cv2
import numpy as np

from yardstick_util import copy_case


def _lut_case(table):
    """A per-channel rule as a 4-channel lookup table, written into one output."""
    lut = np.repeat(np.asarray(table, np.uint8).reshape(256, 1, 1), 4, axis=2)

    def make(img):
        dst = np.empty_like(img)
        return lambda: cv2.LUT(img, lut, dst=dst)
    return make


def _slice_table():
    # A 4-channel level-driven recolouring: the nearest OpenCV has to slicing.
    lut = np.arange(256, dtype=np.uint8).reshape(256, 1, 1).repeat(4, axis=2)
    lut[50:101] = (0, 0, 255, 0)
    lut[120:161] = (0, 255, 0, 0)
    lut[200:241] = (255, 0, 0, 0)
    return lut


_SLICES = _slice_table()


def _slicing(img):
    dst = np.empty_like(img)
    return lambda: cv2.LUT(img, _SLICES, dst=dst)


def _one(op):
    def make(img):
        dst = np.empty_like(img)
        return lambda: op(img, dst)
    return make


def _gray(img):
    gray = np.empty(img.shape[:2], np.uint8)
    return lambda: cv2.cvtColor(img, cv2.COLOR_RGBA2GRAY, dst=gray)


def _gray_four(img):
    gray = np.empty(img.shape[:2], np.uint8)
    four = np.empty_like(img)

    def run():
        cv2.cvtColor(img, cv2.COLOR_RGBA2GRAY, dst=gray)
        cv2.cvtColor(gray, cv2.COLOR_GRAY2RGBA, dst=four)
    return run


def _false_colour(img):
    dst = np.empty_like(img)
    return lambda: cv2.mixChannels([img], [dst], [0, 1, 1, 2, 2, 0, 3, 3])


def _colour_slicing(img):
    # Inside the box keeps its colour, the rest turns gray: a mask, a fill and a masked copy.
    mask = np.empty(img.shape[:2], np.uint8)
    background = np.empty_like(img)
    background[...] = (80, 80, 80, 0)
    dst = np.empty_like(img)

    def run():
        cv2.inRange(img, (0, 0, 0, 0), (100, 100, 100, 255), dst=mask)
        np.copyto(dst, background)
        cv2.copyTo(img, mask, dst)
    return run


CASES = {
    "BM_Memcpy": copy_case,
    "BM_Invert": _one(lambda img, dst: cv2.bitwise_not(img, dst=dst)),
    "BM_InvertReference": _one(lambda img, dst: cv2.bitwise_not(img, dst=dst)),
    "BM_GrayScale": _gray,
    "BM_GrayScaleFourBytes": _gray_four,
    "BM_Solarize": _lut_case([255 - c if c < 128 else c for c in range(256)]),
    "BM_FalseColour1": _false_colour,
    "BM_Brighten": _one(lambda img, dst: cv2.add(img, (50, 50, 50, 0), dst=dst)),
    "BM_Darken": _one(lambda img, dst: cv2.subtract(img, (50, 50, 50, 0), dst=dst)),
    "BM_StaticSlicing": _slicing,
    "BM_IncrementalSlicing": _slicing,
    "BM_ColorSlicing": _colour_slicing,
}

NOTES = {
    "BM_GrayScale": "OpenCV writes 1 byte a pixel, ours 4 bytes to two surfaces",
    "BM_Brighten": "OpenCV adds a constant; ours also finds the common shift",
    "BM_Darken": "OpenCV subtracts a constant; ours also finds the common shift",
}
