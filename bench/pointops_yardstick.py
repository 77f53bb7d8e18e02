"""OpenCV doing the point operations' work on a 4-byte-per-pixel picture of
the same size (bench/compare.py times these beside bench/pointops_bench)."""
import cv2
import numpy as np

from yardstick_util import on_random_picture as _case


def _slice_table():
    # A 4-channel lookup table: the nearest OpenCV has to a level-driven recolouring.
    lut = np.arange(256, dtype=np.uint8).reshape(256, 1, 1).repeat(4, axis=2)
    lut[50:101] = (0, 0, 255, 0)
    lut[120:161] = (0, 255, 0, 0)
    lut[200:241] = (255, 0, 0, 0)
    return lut


_LUT = _slice_table()


def _solarize(img):
    return np.where(img < 128, 255 - img, img)


CASES = {
    "BM_Memcpy": _case(lambda img: img.copy()),
    "BM_Invert": _case(lambda img: cv2.bitwise_not(img)),
    "BM_InvertReference": _case(lambda img: cv2.bitwise_not(img)),
    "BM_GrayScale": _case(lambda img: cv2.cvtColor(img, cv2.COLOR_BGRA2GRAY)),
    "BM_GrayScaleFourBytes": _case(lambda img: cv2.cvtColor(cv2.cvtColor(img, cv2.COLOR_BGRA2GRAY), cv2.COLOR_GRAY2BGRA)),
    "BM_Solarize": _case(_solarize),
    "BM_FalseColour1": _case(lambda img: cv2.mixChannels([img], [np.empty_like(img)], [0, 1, 1, 2, 2, 0, 3, 3])),
    "BM_Brighten": _case(lambda img: cv2.add(img, (50, 50, 50, 0))),
    "BM_Darken": _case(lambda img: cv2.subtract(img, (50, 50, 50, 0))),
    "BM_StaticSlicing": _case(lambda img: cv2.LUT(img, _LUT)),
    "BM_IncrementalSlicing": _case(lambda img: cv2.LUT(img, _LUT)),
    "BM_ColorSlicing": _case(lambda img: cv2.inRange(img, (0, 0, 0, 0), (100, 100, 100, 255))),
}
