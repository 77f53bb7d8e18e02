"""OpenCV doing the segmentation benchmarks' work on the same smear-like
scene (bench/compare.py times these beside bench/analysis_bench)."""
import cv2
import numpy as np

BACKGROUND = (230, 220, 225)  # r, g, b
CELL = (180, 90, 100)


def _scene(w, h):
    """The bench's scene, disc for disc: a 31-bit LCG, one draw per value."""
    state = 12345

    def rnd():
        nonlocal state
        state = (state * 1103515245 + 12345) & 0x7FFFFFFF
        return state

    cell = np.zeros((h, w), dtype=bool)
    for i in range(w * h // 4000):
        cx, cy = rnd() % w, rnd() % h
        r = 14 + rnd() % 8
        hole = r // 3 if i % 3 == 0 else 0
        x0, x1, y0, y1 = max(cx - r, 0), min(cx + r, w - 1), max(cy - r, 0), min(cy + r, h - 1)
        ys, xs = np.mgrid[y0:y1 + 1, x0:x1 + 1]
        d2 = (xs - cx) ** 2 + (ys - cy) ** 2
        win = cell[y0:y1 + 1, x0:x1 + 1]
        win[d2 <= r * r] = True
        win[d2 < hole * hole] = False
    bgr = np.empty((h, w, 3), dtype=np.uint8)
    bgr[...] = BACKGROUND[::-1]
    bgr[cell] = CELL[::-1]
    mask = np.where(cell, 255, 0).astype(np.uint8)
    return bgr, mask


_cache = {}


def _get(w, h):
    if (w, h) not in _cache:
        _cache[(w, h)] = _scene(w, h)
    return _cache[(w, h)]


def _label(mask):
    return cv2.connectedComponentsWithStats(mask, connectivity=8)


def _threshold_label(bgr):
    gray = cv2.cvtColor(bgr, cv2.COLOR_BGR2GRAY)
    _, mask = cv2.threshold(gray, 140, 255, cv2.THRESH_BINARY_INV)  # [0, 140] is object
    return _label(mask)


def _remove(mask, limit):
    n, labels, stats, _ = _label(mask)
    keep = (stats[:, cv2.CC_STAT_AREA] > limit).astype(np.uint8) * 255
    keep[0] = 0
    return keep[labels]


def _fill(mask, limit):
    n, labels, stats, _ = cv2.connectedComponentsWithStats(255 - mask, connectivity=8)
    small = stats[:, cv2.CC_STAT_AREA] < limit
    out = mask.copy()
    out[small[labels] & (mask == 0)] = 255
    return out


W, H = 4096, 3072
SCENES = ("own",)


def _case(make):
    def build(_):
        bgr, mask = _get(W, H)
        return lambda: make(bgr, mask)
    return build


def _histogram(bgr):
    gray = cv2.cvtColor(bgr, cv2.COLOR_BGR2GRAY)
    return gray, cv2.calcHist([gray], [0], None, [256], [0, 256])


CASES = {
    "BM_ComputeHistogram": _case(lambda bgr, mask: _histogram(bgr)),
    "BM_Memcpy": _case(lambda bgr, mask: mask.copy()),
    "BM_LabelObjects": _case(lambda bgr, mask: _label(mask)),
    "BM_ThresholdLabel": _case(lambda bgr, mask: _threshold_label(bgr)),
    "BM_ThresholdShowLabel": _case(lambda bgr, mask: _threshold_label(bgr)),
    "BM_RemoveObjects": _case(lambda bgr, mask: _remove(mask, 100)),
    "BM_FillObjects": _case(lambda bgr, mask: _fill(mask, 1000)),
}
