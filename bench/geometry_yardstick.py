"""OpenCV doing the geometric transforms' work on the same scene
(bench/compare.py times these beside bench/geometry_bench). Every output is
allocated once. Ours also writes a 1920 x 1080 window; the zooms on both
sides produce one picture-sized output, the corner the program shows."""
import cv2
import numpy as np

from yardstick_util import copy_case


def _into(shape_of, op):
    """op(img, dst) into an output allocated once, shaped by shape_of(img)."""
    def make(img):
        dst = np.empty(shape_of(img), np.uint8)
        return lambda: op(img, dst)
    return make


def _same(img):
    return img.shape


def _turned(img):
    return (img.shape[1], img.shape[0], 4)


def _scaled(f):
    return lambda img: (int(img.shape[0] * f), int(img.shape[1] * f), 4)


def _shear(kx, ky):
    def op(img, dst):
        h, w = img.shape[:2]
        m = np.float32([[1, kx, 0], [ky, 1, 0]])
        cv2.warpAffine(img, m, (w, h), dst=dst, flags=cv2.INTER_NEAREST, borderMode=cv2.BORDER_CONSTANT,
                       borderValue=(255, 255, 255, 0))
    return op


def _resize(f, interp):
    return lambda img, dst: cv2.resize(img, (dst.shape[1], dst.shape[0]), dst=dst, interpolation=interp)


def _zoom(f, interp):
    """The same output area as ours: the zoomed corner that fills a picture-sized surface."""
    def make(img):
        h, w = img.shape[:2]
        corner = img[:h // f, :w // f]
        dst = np.empty_like(img)
        return lambda: cv2.resize(corner, (w, h), dst=dst, interpolation=interp)
    return make


CASES = {
    "BM_Memcpy": copy_case,
    "BM_Rotate90": _into(_turned, lambda img, dst: cv2.rotate(img, cv2.ROTATE_90_COUNTERCLOCKWISE, dst=dst)),
    "BM_Rotate180": _into(_same, lambda img, dst: cv2.rotate(img, cv2.ROTATE_180, dst=dst)),
    "BM_Rotate270": _into(_turned, lambda img, dst: cv2.rotate(img, cv2.ROTATE_90_CLOCKWISE, dst=dst)),
    "BM_FlipHorizontal": _into(_same, lambda img, dst: cv2.flip(img, 0, dst=dst)),
    "BM_FlipVertical": _into(_same, lambda img, dst: cv2.flip(img, 1, dst=dst)),
    "BM_Shear": _into(_same, _shear(-0.2, 0.0)),
    "BM_DoubleSkew": _into(_same, _shear(-0.1, -0.1)),
    "BM_Zoom2Replicate": _zoom(2, cv2.INTER_NEAREST),
    "BM_Zoom2Interpolate": _zoom(2, cv2.INTER_LINEAR),
    "BM_Zoom4Interpolate": _zoom(4, cv2.INTER_LINEAR),
    "BM_ShrinkCorner2": _into(_scaled(0.5), _resize(0.5, cv2.INTER_NEAREST)),
    "BM_ShrinkMedian": _into(_scaled(0.5), _resize(0.5, cv2.INTER_AREA)),
    "BM_ShrinkAverage": _into(_scaled(0.5), _resize(0.5, cv2.INTER_AREA)),
}

NOTES = {
    "BM_ShrinkMedian": "OpenCV averages; ours takes a median of four",
}
