"""OpenCV doing the cell analysis' work on the same 4096 x 3072 smear that
bench/cells_bench reads (tools/smear_generator, seed 11), every output
allocated once:
- TRFG + RBC General: gray, [0, 140], specks under 100 dropped, holes under
  1000 filled, labelled with areas, and a perimeter per label (border pixels
  and changes of label to the right, counted with bincount) - the same
  measurements RBC General judges by;
- label and measure: [0, 140] labelled with areas and perimeters;
- Find WBCs: [0, 70], specks dropped, labelled with statistics;
- measurements alone: areas and perimeters of the labelled mask."""
import os

import cv2
import numpy as np

from yardstick_util import smear_file

PATH = os.environ.get("OPTA_CELLS_SMEAR", "/tmp/optascope_cells_smear_4096x3072.bmp")
SCENES = ("own",)
_cache = {}


def _smear():
    if "img" not in _cache:
        _cache["img"] = cv2.imread(smear_file(4096, 3072, PATH), cv2.IMREAD_COLOR)
    return _cache["img"]


class Work:
    """Every buffer the pipelines write, allocated once."""

    def __init__(self, img):
        h, w = img.shape[:2]
        self.img = img
        self.gray = np.empty((h, w), np.uint8)
        self.mask = np.empty((h, w), np.uint8)
        self.other = np.empty((h, w), np.uint8)
        self.labels = np.empty((h, w), np.int32)
        self.change = np.empty((h, w - 1), bool)

    def threshold(self, high):
        cv2.cvtColor(self.img, cv2.COLOR_BGR2GRAY, dst=self.gray)
        cv2.inRange(self.gray, 0, high, dst=self.mask)

    def clean(self, limit, fill):
        src = self.other
        if fill:
            cv2.bitwise_not(self.mask, dst=src)
        else:
            np.copyto(src, self.mask)
        _, _, stats, _ = cv2.connectedComponentsWithStats(src, self.labels, connectivity=8, ltype=cv2.CV_32S)
        small = stats[:, cv2.CC_STAT_AREA] < limit
        table = np.where(small == fill, 255, 0).astype(np.uint8)
        table[0] = 255 if fill else 0
        np.take(table, self.labels, out=self.mask)

    def label(self):
        n, _, stats, _ = cv2.connectedComponentsWithStats(self.mask, self.labels, connectivity=8,
                                                          ltype=cv2.CV_32S)
        return n, stats

    def perimeters(self, n):
        lab = self.labels
        np.not_equal(lab[:, :-1], lab[:, 1:], out=self.change)
        per = np.bincount(lab[:, :-1][self.change], minlength=n)
        per += np.bincount(lab[0], minlength=n) + np.bincount(lab[-1], minlength=n)
        return per


def _trfg_rbc(img):
    work = Work(img)

    def run():
        work.threshold(140)
        work.clean(100, False)
        work.clean(1000, True)
        n, stats = work.label()
        return stats[:, cv2.CC_STAT_AREA], work.perimeters(n)
    return run


def _label_and_measure(img):
    work = Work(img)

    def run():
        work.threshold(140)
        n, stats = work.label()
        return stats[:, cv2.CC_STAT_AREA], work.perimeters(n)
    return run


def _find_wbcs(img):
    work = Work(img)

    def run():
        work.threshold(70)
        work.clean(100, False)
        return work.label()
    return run


def _measurements(img):
    work = Work(img)
    work.threshold(140)
    n, _ = work.label()

    def run():
        _, stats = work.label()
        return stats[:, cv2.CC_STAT_AREA], work.perimeters(n)
    return run


def _copy(img):
    four = np.zeros((img.shape[0], img.shape[1], 4), np.uint8)
    dst = np.empty_like(four)
    return lambda: np.copyto(dst, four)


def _case(make):
    def build(_):
        img = _smear()
        assert img is not None, PATH
        return make(img)
    return build


CASES = {
    "BM_Memcpy": _case(_copy),
    "BM_TrfgRbcGeneral": _case(_trfg_rbc),
    "BM_LabelAndMeasure": _case(_label_and_measure),
    "BM_FindWbcs": _case(_find_wbcs),
    "BM_Measurements": _case(_measurements),
}

NOTES = {
    "BM_TrfgRbcGeneral": "ours also paints the mask and the labelled objects, and judges the cells",
    "BM_FindWbcs": "ours also paints the objects and marks the white cells",
    "BM_Measurements": "OpenCV labels again to get its areas; ours reads the labelled mask",
}
