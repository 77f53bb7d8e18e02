"""OpenCV doing the geometric transforms' work on a 4-byte-per-pixel picture
of the same size (bench/compare.py times these beside bench/geometry_bench)."""
import cv2
import numpy as np

from yardstick_util import on_random_picture as _case


def _shear(img, kx, ky):
    h, w = img.shape[:2]
    m = np.float32([[1, kx, 0], [ky, 1, 0]])
    return cv2.warpAffine(img, m, (w, h), flags=cv2.INTER_NEAREST, borderValue=(255, 255, 255, 0))


CASES = {
    "BM_Memcpy": _case(lambda img: img.copy()),
    "BM_Rotate90": _case(lambda img: cv2.rotate(img, cv2.ROTATE_90_COUNTERCLOCKWISE)),
    "BM_Rotate180": _case(lambda img: cv2.rotate(img, cv2.ROTATE_180)),
    "BM_Rotate270": _case(lambda img: cv2.rotate(img, cv2.ROTATE_90_CLOCKWISE)),
    "BM_FlipHorizontal": _case(lambda img: cv2.flip(img, 0)),
    "BM_FlipVertical": _case(lambda img: cv2.flip(img, 1)),
    "BM_Shear": _case(lambda img: _shear(img, -0.2, 0.0)),
    "BM_DoubleSkew": _case(lambda img: _shear(img, -0.1, -0.1)),
    "BM_Zoom2Replicate": _case(lambda img: cv2.resize(img, None, fx=2, fy=2, interpolation=cv2.INTER_NEAREST)),
    "BM_Zoom2Interpolate": _case(lambda img: cv2.resize(img, None, fx=2, fy=2, interpolation=cv2.INTER_LINEAR)),
    "BM_Zoom4Interpolate": _case(lambda img: cv2.resize(img, None, fx=4, fy=4, interpolation=cv2.INTER_LINEAR)),
    "BM_ShrinkCorner2": _case(lambda img: cv2.resize(img, None, fx=0.5, fy=0.5, interpolation=cv2.INTER_NEAREST)),
    "BM_ShrinkMedian": _case(lambda img: cv2.resize(img, None, fx=0.5, fy=0.5, interpolation=cv2.INTER_AREA)),
    "BM_ShrinkAverage": _case(lambda img: cv2.resize(img, None, fx=0.5, fy=0.5, interpolation=cv2.INTER_AREA)),
}
