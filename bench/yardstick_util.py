"""The scenes both sides of a comparison work on, and helpers the OpenCV
yardsticks share (bench/compare.py puts bench/ on the path).

A scene is an h x w x 4 uint8 array, bytes red, green, blue, 0 per pixel:
exactly our colour values as they lie in memory. compare.py writes it to a
file that the benchmark program reads (bench/picture_bench.h), so both
sides see the same bytes.
"""
import os
import subprocess

import numpy as np

SCENES = ("random", "natural", "smear")
CACHE = os.environ.get("OPTA_BENCH_CACHE", "/tmp/optascope-bench")
MAGIC = b"OPTAPIC1"


def random_scene(w, h):
    """Uniform random colours: no two neighbours alike, the worst case for most kernels."""
    rng = np.random.default_rng(1)
    img = rng.integers(0, 256, size=(h, w, 4), dtype=np.uint8)
    img[..., 3] = 0
    return img


def _photos():
    import skimage.data as data
    # Photographs and micrographs shipped with scikit-image, largest first.
    return [data.retina(), data.hubble_deep_field(), data.immunohistochemistry(), data.astronaut(),
            data.coffee(), data.chelsea(), data.rocket(), data.stereo_motorcycle()[0]]


def natural_scene(w, h):
    """A mosaic of real photographs, each scaled to a quarter of the height:
    smooth areas, edges and texture as a camera gives them."""
    import cv2
    photos = _photos()
    out = np.zeros((h, w, 4), np.uint8)
    row_h = max(1, h // 4)
    i = 0
    for y in range(0, h, row_h):
        rh = min(row_h, h - y)
        x = 0
        while x < w:
            p = photos[i % len(photos)]
            i += 1
            pw = max(1, round(p.shape[1] * rh / p.shape[0]))
            interp = cv2.INTER_AREA if rh < p.shape[0] else cv2.INTER_CUBIC
            tile = cv2.resize(p, (pw, rh), interpolation=interp)
            n = min(pw, w - x)
            out[y:y + rh, x:x + n, :3] = tile[:, :n, :3]
            x += n
    return out


def smear_file(w, h, path=None):
    """A synthetic blood smear BMP from our own generator (seed 11), made once."""
    generator = os.path.join(os.environ.get("OPTA_BUILD_DIR", "build/release"), "tools", "smear_generator")
    if path is None:
        os.makedirs(CACHE, exist_ok=True)
        path = os.path.join(CACHE, f"smear-{w}x{h}.bmp")
    if not os.path.exists(path):
        subprocess.run([generator, "--width", str(w), "--height", str(h), "--seed", "11", path],
                       check=True, stdout=subprocess.DEVNULL)
    return path


def smear_scene(w, h):
    """The generated smear as a scene."""
    import cv2
    bgr = cv2.imread(smear_file(w, h), cv2.IMREAD_COLOR)
    out = np.zeros((h, w, 4), np.uint8)
    out[..., :3] = bgr[..., ::-1]
    return out


def scene(name, w, h):
    return {"random": random_scene, "natural": natural_scene, "smear": smear_scene}[name](w, h)


def scene_file(name, w, h):
    """The scene written where the benchmark program reads it; made once."""
    os.makedirs(CACHE, exist_ok=True)
    path = os.path.join(CACHE, f"{name}-{w}x{h}.pic")
    if not os.path.exists(path):
        img = scene(name, w, h)
        tmp = path + ".tmp"
        with open(tmp, "wb") as f:
            f.write(MAGIC)
            f.write(np.array([w, h], "<u4").tobytes())
            f.write(np.ascontiguousarray(img).tobytes())
        os.replace(tmp, path)
    return path


def read_scene_file(path):
    with open(path, "rb") as f:
        assert f.read(8) == MAGIC, path
        w, h = np.frombuffer(f.read(8), "<u4")
        return np.frombuffer(f.read(), np.uint8).reshape(int(h), int(w), 4)


def bgr(img):
    """The scene as a 3-channel picture in OpenCV's order (a copy, made outside the timing)."""
    return np.ascontiguousarray(img[..., 2::-1])


def copy_case(img):
    """The copy baseline: one picture-sized copy into a buffer allocated once."""
    dst = np.empty_like(img)
    return lambda: np.copyto(dst, img)
