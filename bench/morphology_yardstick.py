"""OpenCV doing the morphology operations' work on the same scene
(bench/compare.py times these beside bench/morphology_bench). Every output
is allocated once."""
import cv2
import numpy as np

from yardstick_util import copy_case

SQUARE = np.ones((3, 3), np.uint8)
CROSS = cv2.getStructuringElement(cv2.MORPH_CROSS, (3, 3))


def _morph(op, element, iterations=1):
    def make(img):
        dst = np.empty_like(img)
        return lambda: op(img, element, dst=dst, iterations=iterations)
    return make


def _outline(img):
    dilated = np.empty_like(img)
    dst = np.empty_like(img)

    def run():
        cv2.erode(img, SQUARE, dst=dilated)
        cv2.absdiff(dilated, img, dst=dst)
    return run


CASES = {
    "BM_Memcpy": copy_case,
    "BM_Erosion": _morph(cv2.erode, SQUARE),
    "BM_Dilation": _morph(cv2.dilate, SQUARE),
    "BM_ErosionCross": _morph(cv2.erode, CROSS),
    "BM_Opening10": _morph(cv2.erode, SQUARE, 10),
    "BM_Closing10": _morph(cv2.dilate, SQUARE, 10),
    "BM_ExteriorOutline": _outline,
}

NOTES = {
    "BM_Erosion": "OpenCV: per-channel minimum; ours: the all-three-greater rule, replication, the window",
    "BM_Dilation": "OpenCV: per-channel maximum; ours: last object neighbour, replication, the window",
    "BM_Opening10": "OpenCV: ten erosions; ours: ten passes with replication between them",
    "BM_Closing10": "OpenCV: ten dilations; ours: ten passes with replication between them",
    "BM_ExteriorOutline": "OpenCV: an erosion and an absdiff",
}
