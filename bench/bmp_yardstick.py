"""OpenCV reading and writing the same 24-bit BMP bytes (bench/compare.py
times these beside bench/bmp_bench)."""
import cv2
import numpy as np


def _picture(w, h):
    rng = np.random.default_rng(7)
    return rng.integers(0, 256, size=(h, w, 3), dtype=np.uint8)


def _file(w, h):
    ok, buf = cv2.imencode(".bmp", _picture(w, h))
    assert ok
    return buf


def _memcpy(w, h):
    buf = _file(w, h)
    return lambda: buf.copy()


def _decode(w, h):
    buf = _file(w, h)
    return lambda: cv2.imdecode(buf, cv2.IMREAD_COLOR)


def _encode(w, h):
    img = _picture(w, h)
    return lambda: cv2.imencode(".bmp", img)


CASES = {
    "BM_Memcpy": _memcpy,
    "BM_DecodeBmp24": _decode,
    "BM_EncodeBmp24": _encode,
}
