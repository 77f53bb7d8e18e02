"""optascope-cli run for the Python tests: small BMPs written here, commands
run from the outside, and what the program saved and showed read back."""
import os
import struct
import subprocess
import tempfile

BUILD = os.environ.get("OPTA_BUILD_DIR", "build")
CLI = os.path.join(BUILD, "src", "cli", "optascope-cli")


def bmp24(rows):
    """A standard 24-bit BMP with padded rows; rows[y][x] = (r, g, b), top row first."""
    h, w = len(rows), len(rows[0])
    stride = (w * 3 + 3) & ~3
    data = b"".join(bytes(c for (r, g, b) in row for c in (b, g, r)) + bytes(stride - 3 * w)
                    for row in reversed(rows))
    header = b"BM" + struct.pack("<IHHI", 54 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(data), 0, 0, 0, 0)
    return header + info + data


def picture(w, h, colour=(0, 0, 0)):
    return [[colour] * w for _ in range(h)]


def read_saved(path):
    """The program's saved BMP: bottom row first, rows unpadded, blue green red."""
    with open(path, "rb") as f:
        data = f.read()
    offset = struct.unpack_from("<I", data, 10)[0]
    w, h = struct.unpack_from("<ii", data, 18)
    rows = []
    for r in range(h):
        at = offset + r * w * 3
        rows.append([(data[at + 3 * x + 2], data[at + 3 * x + 1], data[at + 3 * x]) for x in range(w)])
    return rows[::-1]


def read_window(path):
    """The window surface as a P6 PPM, rows[y][x] = (r, g, b)."""
    with open(path, "rb") as f:
        data = f.read()
    magic, size, depth, pixels = data.split(b"\n", 3)
    w, h = (int(v) for v in size.split())
    return [[tuple(pixels[3 * (y * w + x):3 * (y * w + x) + 3]) for x in range(w)] for y in range(h)]


def apply(rows, command, *answers, screen=(40, 30)):
    """Runs one command on the picture; returns (messages, saved rows, window rows)."""
    with tempfile.TemporaryDirectory() as d:
        src, saved, window = (os.path.join(d, n) for n in ("in.bmp", "out.bmp", "win.ppm"))
        with open(src, "wb") as f:
            f.write(bmp24(rows))
        args = [CLI, "run", src, "-c", command]
        for a in answers:
            args += ["-a", a]
        args += ["--save", saved, "--window", window, "--screen", f"{screen[0]}x{screen[1]}"]
        p = subprocess.run(args, capture_output=True, text=True, timeout=120)
        if p.returncode != 0:
            raise RuntimeError(p.stderr)
        return p.stdout.splitlines(), read_saved(saved), read_window(window)
