#!/usr/bin/env python3
"""Manual's object count against scipy.ndimage.label with 8-connectivity.

Each picture is written as a 24-bit BMP, opened and segmented by the
command-line program ("Manual": gray from the truncated weighted channels,
objects 140..255), and the printed count is compared with scipy's count of
8-connected components of the same mask. The screen is made at least as
large as the picture, so every object has a seed inside the seed rectangle;
one case with a small screen counts only the components that reach into it.
"""
import os
import subprocess
import sys
import tempfile

try:
    import numpy as np
    from scipy import ndimage
    from skimage import data
except ImportError:
    # The project's packages are Debian's; another interpreter first on the
    # PATH may not see them.
    if sys.executable != "/usr/bin/python3" and os.path.exists("/usr/bin/python3"):
        os.execv("/usr/bin/python3", ["/usr/bin/python3"] + sys.argv)
    raise

EIGHT = np.ones((3, 3), dtype=int)


def gray_of(rgb):
    rgb = rgb.astype(np.float64)
    g = np.trunc(rgb[..., 0] * 0.3) + np.trunc(rgb[..., 1] * 0.59) + np.trunc(rgb[..., 2] * 0.11)
    return np.clip(g, 0, 255).astype(np.int32)


def write_bmp(path, rgb):
    h, w, _ = rgb.shape
    stride = (3 * w + 3) & ~3
    body = bytearray()
    for y in range(h - 1, -1, -1):
        row = rgb[y, :, ::-1].astype(np.uint8).tobytes()
        body += row + b"\0" * (stride - 3 * w)
    header = b"BM" + (54 + len(body)).to_bytes(4, "little") + b"\0\0\0\0" + (54).to_bytes(4, "little")
    info = (40).to_bytes(4, "little") + w.to_bytes(4, "little", signed=True) + h.to_bytes(4, "little", signed=True)
    info += (1).to_bytes(2, "little") + (24).to_bytes(2, "little") + b"\0" * 4 + len(body).to_bytes(4, "little")
    info += b"\0" * 16
    with open(path, "wb") as f:
        f.write(header + info + body)


def as_rgb(img):
    img = np.asarray(img)
    if img.dtype == bool:
        img = img.astype(np.uint8) * 255
    if img.dtype != np.uint8:
        img = (255 * (img - img.min()) / max(float(np.ptp(img)), 1e-9)).astype(np.uint8)
    if img.ndim == 2:
        img = np.stack([img] * 3, axis=-1)
    return img[..., :3]


def program_count(cli, path, screen):
    out = subprocess.run([cli, "run", path, "-c", "Manual", "--screen", f"{screen[0]}x{screen[1]}"],
                         check=True, capture_output=True, text=True).stdout
    counts = [line.split(":")[-1].strip() for line in out.splitlines() if "Total Objects Found" in line]
    assert len(counts) == 1, out
    return int(counts[0])


def expected_count(rgb, screen):
    mask = gray_of(rgb) >= 140
    labels, n = ndimage.label(mask, structure=EIGHT)
    h, w = mask.shape
    sw, sh = screen
    if sw + 1 >= w and sh + 1 >= h:
        return n
    # Seeds come from x <= sw, y <= sh only: a component counts when it reaches in.
    inside = labels[: sh + 1, : sw + 1]
    return len(np.unique(inside[inside > 0]))


def generated(rng):
    cases = []
    noise = rng.integers(0, 256, size=(90, 130, 3), dtype=np.uint8)
    cases.append(("noise", noise))
    discs = np.full((200, 260, 3), (40, 60, 50), dtype=np.uint8)
    yy, xx = np.mgrid[:200, :260]
    for _ in range(60):
        cx, cy, r = rng.integers(0, 260), rng.integers(0, 200), rng.integers(3, 15)
        discs[(xx - cx) ** 2 + (yy - cy) ** 2 <= r * r] = rng.integers(150, 256, size=3)
    cases.append(("discs", discs))
    # Levels around the limit: gray 139 and 140 side by side.
    edge = np.zeros((40, 60, 3), dtype=np.uint8)
    edge[:, :, 1] = np.where((xx[:40, :60] // 3 + yy[:40, :60] // 5) % 2 == 0, 238, 236)
    cases.append(("limit", edge))
    return cases


def pictures():
    names = ["coins", "camera", "text", "moon", "page", "horse", "astronaut", "coffee", "chelsea", "rocket"]
    out = []
    for name in names:
        try:
            out.append((name, as_rgb(getattr(data, name)())))
        except Exception as e:  # a picture this version does not ship
            print(f"skip {name}: {e}")
    return out


def main():
    build = os.environ.get("OPTA_BUILD_DIR", "build")
    cli = os.path.join(build, "src", "cli", "optascope-cli")
    if not os.path.exists(cli):
        print(f"no {cli}: build the optascope-cli target")
        return 1
    rng = np.random.default_rng(2024)
    failures = 0
    checked = 0
    with tempfile.TemporaryDirectory() as tmp:
        cases = [(n, img, None) for n, img in generated(rng) + pictures()]
        cases.append(("discs-small-screen", generated(np.random.default_rng(5))[1][1], (100, 60)))
        for name, rgb, screen in cases:
            h, w, _ = rgb.shape
            screen = screen or (w, h)
            path = os.path.join(tmp, name + ".bmp")
            write_bmp(path, rgb)
            got, want = program_count(cli, path, screen), expected_count(rgb, screen)
            checked += 1
            status = "ok" if got == want else "MISMATCH"
            print(f"{name:22} {w}x{h} screen {screen[0]}x{screen[1]}: program {got}, scipy {want} {status}")
            failures += got != want
    print(f"{checked - failures} passed, {failures} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
