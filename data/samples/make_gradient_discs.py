#!/usr/bin/python3
"""Makes gradient_discs.bmp: a 256x192 colour gradient with a few discs of
cell-like colours, saved by optascope-cli in the program's own layout.

Usage: data/samples/make_gradient_discs.py BUILD_DIR"""
import os
import struct
import subprocess
import sys
import tempfile

import numpy as np

W, H = 256, 192
y, x = np.mgrid[0:H, 0:W]
img = np.stack([x * 255 // (W - 1), y * 255 // (H - 1), 255 - (x + y) * 255 // (W + H - 2)], axis=-1).astype(np.uint8)
for cx, cy, r, colour in [(60, 60, 28, (200, 80, 90)), (150, 70, 22, (180, 60, 160)),
                          (200, 140, 30, (220, 120, 120)), (90, 140, 18, (120, 40, 140))]:
    img[(x - cx) ** 2 + (y - cy) ** 2 <= r * r] = colour

rows = b"".join(img[r, :, ::-1].tobytes() for r in range(H - 1, -1, -1))  # bottom row first, BGR
info = struct.pack("<IiiHHIIiiII", 40, W, H, 1, 24, 0, len(rows), 0, 0, 0, 0)
data = b"BM" + struct.pack("<IHHI", 54 + len(rows), 0, 0, 54) + info + rows
with tempfile.NamedTemporaryFile(suffix=".bmp", delete=False) as f:
    f.write(data)
out = os.path.join(os.path.dirname(os.path.abspath(__file__)), "gradient_discs.bmp")
cli = os.path.join(sys.argv[1] if len(sys.argv) > 1 else "build/release", "src", "cli", "optascope-cli")
subprocess.run([cli, "convert", f.name, out], check=True)
os.remove(f.name)
