"""OpenCV doing the cell analysis' work on the same 4096 x 3072 smear that
bench/cells_bench reads (it writes the file first; bench/compare.py runs it
before loading this): gray, threshold at 140 and 8-connected labelling with
statistics (area, bounding box, centroid)."""
import os

import cv2
import numpy as np

from yardstick_util import smear_file

PATH = os.environ.get("OPTA_CELLS_SMEAR", "/tmp/optascope_cells_smear_4096x3072.bmp")
_cache = {}


def _smear():
    if "img" not in _cache:
        _cache["img"] = cv2.imread(smear_file(4096, 3072, PATH), cv2.IMREAD_COLOR)
    return _cache["img"]


def _label_with_stats(img):
    gray = cv2.cvtColor(img, cv2.COLOR_BGR2GRAY)
    _, mask = cv2.threshold(gray, 140, 255, cv2.THRESH_BINARY_INV)
    return cv2.connectedComponentsWithStats(mask, connectivity=8)


def _dark_label_with_stats(img):
    gray = cv2.cvtColor(img, cv2.COLOR_BGR2GRAY)
    _, mask = cv2.threshold(gray, 70, 255, cv2.THRESH_BINARY_INV)
    return cv2.connectedComponentsWithStats(mask, connectivity=8)


SCENES = ("own",)


def _case(make):
    def build(_):
        img = _smear()
        assert img is not None, PATH
        return make(img)
    return build


def _stats_only(img):
    gray = cv2.cvtColor(img, cv2.COLOR_BGR2GRAY)
    _, mask = cv2.threshold(gray, 140, 255, cv2.THRESH_BINARY_INV)
    return lambda: cv2.connectedComponentsWithStats(mask, connectivity=8)


def _copy(img):
    four = np.zeros((img.shape[0], img.shape[1], 4), np.uint8)
    return lambda: four.copy()


CASES = {
    "BM_Memcpy": _case(_copy),
    "BM_TrfgRbcGeneral": _case(lambda img: lambda: _label_with_stats(img)),
    "BM_LabelAndMeasure": _case(lambda img: lambda: _label_with_stats(img)),
    "BM_FindWbcs": _case(lambda img: lambda: _dark_label_with_stats(img)),
    "BM_Measurements": _case(_stats_only),
}
