"""OpenCV doing the segmentation benchmarks' work (bench/compare.py times these
beside bench/analysis_bench). The mask is the program's own: its gray
(each weighted channel truncated on its own) thresholded at [0, 140], made
here outside the timing so that both sides label the very same pixels."""
import cv2
import numpy as np

from yardstick_util import copy_case

SCENES = ("random", "natural", "smear")


def program_gray(img):
    r, g, b = (img[..., i].astype(np.float64) for i in range(3))
    return (np.floor(r * 0.3) + np.floor(g * 0.59) + np.floor(b * 0.11)).astype(np.uint8)


def program_mask(img):
    return np.where(program_gray(img) <= 140, 255, 0).astype(np.uint8)


def _label(img):
    mask = program_mask(img)
    labels = np.empty(mask.shape, np.int32)
    return lambda: cv2.connectedComponents(mask, labels, 8, cv2.CV_32S)


def _histogram(img):
    gray = np.empty(img.shape[:2], np.uint8)
    hist = np.empty((256, 1), np.float32)

    def run():
        cv2.cvtColor(img, cv2.COLOR_RGBA2GRAY, dst=gray)
        cv2.calcHist([gray], [0], None, [256], [0, 256], hist=hist)
    return run


def _threshold_label(img):
    gray = np.empty(img.shape[:2], np.uint8)
    hist = np.empty((256, 1), np.float32)
    mask = np.empty(img.shape[:2], np.uint8)
    labels = np.empty(img.shape[:2], np.int32)

    def run():
        cv2.cvtColor(img, cv2.COLOR_RGBA2GRAY, dst=gray)
        cv2.calcHist([gray], [0], None, [256], [0, 256], hist=hist)
        cv2.inRange(gray, 0, 140, dst=mask)
        cv2.connectedComponents(mask, labels, 8, cv2.CV_32S)
    return run


def _clean(img, fill):
    """Regions under the limit changed: label with areas, a table, one lookup.
    Removing labels the objects; filling labels the background, whose label
    0 is then the objects."""
    mask = program_mask(img)
    src = np.empty_like(mask)
    labels = np.empty(mask.shape, np.int32)
    out = np.empty_like(mask)
    limit = 1000 if fill else 100

    def run():
        if fill:
            cv2.bitwise_not(mask, dst=src)
        else:
            np.copyto(src, mask)
        _, _, stats, _ = cv2.connectedComponentsWithStats(src, labels, connectivity=8, ltype=cv2.CV_32S)
        small = stats[:, cv2.CC_STAT_AREA] < limit
        table = np.where(small == fill, 255, 0).astype(np.uint8)
        table[0] = 255 if fill else 0
        np.take(table, labels, out=out)
    return run


CASES = {
    "BM_Memcpy": lambda img: copy_case(program_mask(img)),
    "BM_LabelObjects": _label,
    "BM_ComputeHistogram": _histogram,
    "BM_ThresholdLabel": _threshold_label,
    "BM_RemoveObjects": lambda img: _clean(img, False),
    "BM_FillObjects": lambda img: _clean(img, True),
}

NOTES = {
    "BM_LabelObjects": "ours also paints every object in its colour into two surfaces; OpenCV writes 4-byte labels",
    "BM_ComputeHistogram": "OpenCV's gray rounds one weighted sum; ours truncates each channel's product",
}
