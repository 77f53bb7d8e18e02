"""OpenCV reading and writing the same kind of 24-bit BMP bytes (bench/compare.py
times these beside bench/bmp_bench, which builds its own random picture)."""
import os

import cv2
import numpy as np

SCENES = ("own",)
W, H = 4096, 3072


def _picture():
    rng = np.random.default_rng(7)
    return rng.integers(0, 256, size=(H, W, 3), dtype=np.uint8)


def _file():
    ok, buf = cv2.imencode(".bmp", _picture())
    assert ok
    return buf


def _memcpy(_):
    buf = _file()
    dst = np.empty_like(buf)
    return lambda: np.copyto(dst, buf)


def _decode(_):
    buf = _file()
    return lambda: cv2.imdecode(buf, cv2.IMREAD_COLOR)


def _encode(_):
    img = _picture()
    return lambda: cv2.imencode(".bmp", img)


def _save(_):
    img = _picture()
    path = "/dev/shm/opta_yardstick_save_%d.bmp" % os.getpid()
    return lambda: cv2.imwrite(path, img)


CASES = {
    "BM_Memcpy": _memcpy,
    "BM_DecodeBmp24": _decode,
    "BM_EncodeBmp24": _encode,
    "BM_SaveBmp24": _save,
}

NOTES = {
    "BM_DecodeBmp24": "ours decodes to 4 bytes a pixel; OpenCV cannot decode into an existing output",
    "BM_EncodeBmp24": "both allocate the file buffer per call",
    "BM_SaveBmp24": "both write the same bytes to tmpfs; ours also fsyncs (a no-op there) and renames a temporary over the file",
}
