#!/usr/bin/python3
"""BMP variants written here byte by byte, loaded by optascope-cli and by an
independent decoder (Pillow, or OpenCV where Pillow lacks the header form),
compared pixel for pixel. Where those decoders widen 5- and 6-bit channels
by another rule than ours (ours repeats the bits, Pillow scales, OpenCV
shifts), the raw channel values are compared instead."""
import io
import os
import struct
import subprocess
import sys
import tempfile
import unittest

import cv2
import numpy as np
from PIL import Image

BUILD = os.environ.get("OPTA_BUILD_DIR", "build/release")
CLI = os.path.join(BUILD, "src", "cli", "optascope-cli")
RNG = np.random.default_rng(20261205)
TMP = tempfile.mkdtemp(prefix="opta_bmp_")


def stride(width, bits):
    return (width * bits + 31) // 32 * 4


def info_header(size, w, h, bits, comp=0, size_image=0, clr_used=0, masks=()):
    if size == 12:
        return struct.pack("<IHHHH", 12, w, h, 1, bits)
    b = struct.pack("<IiiHHIIiiII", size, w, h, 1, bits, comp, size_image, 0, 0, clr_used, 0)
    if size > 40:
        b += b"".join(struct.pack("<I", m) for m in masks)
    b = b[:size] + b"\0" * max(0, size - len(b))
    if size == 40 and comp == 3:
        b += b"".join(struct.pack("<I", m) for m in masks)
    return b


def bmp_file(info, palette=b"", pixels=b"", marker=0):
    off = 14 + len(info) + len(palette)
    return b"BM" + struct.pack("<IHHI", off + len(pixels), marker, 0, off) + info + palette + pixels


def pack_rows(rows, top_down):
    """rows: list of bytes objects, top row first; padded to 4 bytes."""
    ordered = rows if top_down else rows[::-1]
    return b"".join(r + b"\0" * (-len(r) % 4) for r in ordered)


def pack_indices(idx, bits):
    """idx: h x w index array, top row first -> list of packed rows."""
    rows = []
    per = 8 // bits
    for line in idx:
        padded = np.concatenate([line, np.zeros(-len(line) % per, dtype=line.dtype)])
        groups = padded.reshape(-1, per).astype(np.uint32)
        byte = np.zeros(len(groups), dtype=np.uint32)
        for k in range(per):
            byte |= groups[:, k] << (8 - bits * (k + 1))
        rows.append(byte.astype(np.uint8).tobytes())
    return rows


def random_palette(n, entry=4):
    pal = RNG.integers(0, 256, size=(n, 3), dtype=np.uint8)  # blue, green, red
    raw = np.concatenate([pal, np.zeros((n, entry - 3), dtype=np.uint8)], axis=1) if entry == 4 else pal
    return raw.tobytes(), pal[:, ::-1]  # file bytes, RGB colours


def ours(data, name):
    """Loads through the command-line tool; returns an h x w x 3 RGB array."""
    path = os.path.join(TMP, name + ".bmp")
    out = os.path.join(TMP, name + ".ppm")
    with open(path, "wb") as f:
        f.write(data)
    r = subprocess.run([CLI, "convert", path, out], capture_output=True, text=True)
    if r.returncode != 0:
        raise AssertionError(f"{name}: convert failed: {r.stderr}")
    with open(out, "rb") as f:
        magic, w, h, maxval = f.readline(), *f.readline().split(), f.readline()
        assert magic == b"P6\n" and maxval == b"255\n"
        return np.frombuffer(f.read(), dtype=np.uint8).reshape(int(h), int(w), 3)


def pillow(data):
    return np.asarray(Image.open(io.BytesIO(data)).convert("RGB"))


def opencv(data):
    img = cv2.imdecode(np.frombuffer(data, dtype=np.uint8), cv2.IMREAD_COLOR)
    assert img is not None
    return img[:, :, ::-1]


def widen(raw, n):
    acc, filled = np.zeros_like(raw), 0
    while filled < 8:
        acc, filled = (acc << n) | raw, filled + n
    return acc >> (filled - 8)


def cli(*args):
    return subprocess.run([CLI, *args], capture_output=True, text=True)


class IndependentDecoders(unittest.TestCase):
    def check(self, data, name, reference=pillow):
        got = ours(data, name)
        want = reference(data)
        self.assertEqual(got.shape, want.shape, name)
        bad = np.argwhere(got != want)
        self.assertEqual(len(bad), 0, f"{name}: first difference at {bad[:1]}")

    def test_24_bit_every_padding_both_row_orders(self):
        for w in range(1, 9):
            for top_down in (False, True):
                h = 5
                px = RNG.integers(0, 256, size=(h, w, 3), dtype=np.uint8)
                rows = [line[:, ::-1].tobytes() for line in px]
                data = bmp_file(info_header(40, w, -h if top_down else h, 24), pixels=pack_rows(rows, top_down))
                self.check(data, f"rgb24_{w}_{top_down}")
                self.assertTrue(np.array_equal(ours(data, f"rgb24b_{w}_{top_down}"), px))

    def test_32_bit_rgb_ignores_the_fourth_byte(self):
        px = RNG.integers(0, 256, size=(6, 7, 4), dtype=np.uint8)
        data = bmp_file(info_header(40, 7, 6, 32), pixels=pack_rows([r.tobytes() for r in px], False))
        self.check(data, "rgb32")

    def test_indexed_every_depth_and_header(self):
        cases = [(40, 1, 0), (40, 4, 0), (40, 8, 0), (40, 8, 17), (40, 4, 5), (64, 8, 0), (108, 8, 0),
                 (124, 4, 0), (12, 8, 0), (12, 4, 0), (12, 1, 0)]
        for size, bits, used in cases:
            w, h = 13, 4
            n = used or (1 << bits)
            raw, colours = random_palette(n, 3 if size == 12 else 4)
            idx = RNG.integers(0, n, size=(h, w), dtype=np.uint8)
            data = bmp_file(info_header(size, w, h, bits, clr_used=used), raw,
                            pack_rows(pack_indices(idx, bits), False))
            self.check(data, f"pal_{size}_{bits}_{used}")
            self.assertTrue(np.array_equal(ours(data, f"palb_{size}_{bits}_{used}"), colours[idx]))

    def test_two_bits_and_the_short_os2_header(self):
        # Neither independent decoder reads these: 2-bit rows are checked
        # against the table lookup, the 16-byte header against its 40-byte twin.
        raw, colours = random_palette(4)
        idx = RNG.integers(0, 4, size=(3, 11), dtype=np.uint8)
        data = bmp_file(info_header(40, 11, 3, 2), raw, pack_rows(pack_indices(idx, 2), False))
        self.assertTrue(np.array_equal(ours(data, "pal2"), colours[idx]))
        raw, colours = random_palette(256)
        idx = RNG.integers(0, 256, size=(3, 9), dtype=np.uint8)
        pixels = pack_rows(pack_indices(idx, 8), True)
        twin = bmp_file(info_header(40, 9, -3, 8), raw, pixels)
        short = bmp_file(info_header(16, 9, -3, 8), raw, pixels)
        self.assertTrue(np.array_equal(ours(short, "os2short"), pillow(twin)))

    def test_16_and_32_bit_fields_raw_channels(self):
        cases = [  # header, bits, compression, masks, reference
            (40, 16, 0, (0x7C00, 0x3E0, 0x1F), pillow),
            (40, 16, 3, (0xF800, 0x7E0, 0x1F), pillow),
            (40, 16, 3, (0x7C00, 0x3E0, 0x1F), pillow),
            (52, 16, 3, (0xF800, 0x7E0, 0x1F), "twin"),
            (56, 32, 3, (0xFF0000, 0xFF00, 0xFF, 0), opencv),
            (124, 32, 3, (0xFF0000, 0xFF00, 0xFF, 0xFF000000), pillow),
            (108, 32, 3, (0xFF0000, 0xFF00, 0xFF, 0), pillow),
        ]
        for size, bits, comp, masks, reference in cases:
            w, h = 9, 4
            words = RNG.integers(0, 1 << bits, size=(h, w), dtype=np.uint64)
            dtype = "<u2" if bits == 16 else "<u4"
            rows = [line.astype(dtype).tobytes() for line in words]
            data = bmp_file(info_header(size, w, h, bits, comp, masks=masks), pixels=pack_rows(rows, False))
            name = f"mask_{size}_{bits}_{comp}_{masks[0]:x}"
            got = ours(data, name).astype(np.int64)
            if reference == "twin":  # no independent reader takes it: Pillow on the 40-byte form
                data40 = bmp_file(info_header(40, w, h, bits, comp, masks=masks), pixels=pack_rows(rows, False))
                want = pillow(data40).astype(np.int64)
            else:
                want = reference(data).astype(np.int64)
            for ch, mask in enumerate(masks[:3]):
                n = bin(mask).count("1")
                shift = (mask & -mask).bit_length() - 1
                raw = (words.astype(np.int64) & mask) >> shift
                # Ours: the raw bits repeated downwards to fill 8 bits.
                self.assertTrue(np.array_equal(got[:, :, ch], widen(raw, n)), name)
                # Theirs, shifted (OpenCV) or scaled (Pillow), gives back the same raw bits.
                theirs = want[:, :, ch]
                shifted = theirs >> (8 - n)
                scaled = (theirs * ((1 << n) - 1) + 127) // 255
                self.assertTrue(np.all((shifted == raw) | (scaled == raw)), name)

    def rle(self, four, w, h, delta):
        """A run-length stream that uses every escape; also the expected indices."""
        idx = np.zeros((h, w), dtype=np.uint8)  # bottom row first while building
        out = bytearray()
        y = 0
        while y < h:
            x = 0
            while x < w:
                kind = RNG.integers(0, 4)
                left = w - x
                if kind == 0 and left >= 3:  # absolute run, odd and even lengths
                    n = int(RNG.integers(3, min(left, 40) + 1))
                    vals = RNG.integers(1, 16 if four else 256, size=n, dtype=np.uint8)
                    out += bytes([0, n])
                    if four:
                        nib = np.concatenate([vals, [0] * (n % 2)]).astype(np.uint8)
                        body = bytes((nib[0::2] << 4) | nib[1::2])
                    else:
                        body = vals.tobytes()
                    out += body + b"\0" * (len(body) % 2)
                    idx[y, x:x + n] = vals
                    x += n
                elif kind == 1 and delta and x > 0 and y + 1 < h and RNG.integers(0, 3) == 0:  # delta
                    dx = int(RNG.integers(0, left))
                    out += bytes([0, 2, dx, 1])
                    y += 1
                    x += dx
                elif kind == 2 and x > 0 and RNG.integers(0, 6) == 0:  # end of line early
                    # (not at the start of a row, where Pillow ignores it)
                    break
                else:  # encoded run
                    n = int(RNG.integers(1, min(left, 255) + 1))
                    if four:
                        a, b = RNG.integers(1, 16, size=2)
                        out += bytes([n, (a << 4) | b])
                        idx[y, x:x + n] = [a if k % 2 == 0 else b for k in range(n)]
                    else:
                        v = int(RNG.integers(1, 256))
                        out += bytes([n, v])
                        idx[y, x:x + n] = v
                    x += n
            if y >= h:
                break
            out += b"\0\0"
            y += 1
        out += b"\0\1"
        return bytes(out), idx[::-1]

    def test_run_length_every_escape(self):
        for four in (False, True):
            for trial in range(8):
                w, h = int(RNG.integers(5, 60)), int(RNG.integers(2, 12))
                # Neither Pillow 9 nor OpenCV 4.6 moves by a delta as the format
                # says (from the current position), and Pillow misreads odd RLE4
                # absolute runs: streams with deltas are checked against the
                # indices they were built from only.
                delta = trial % 2 == 0
                stream, idx = self.rle(four, w, h, delta)
                raw, colours = random_palette(16 if four else 256)
                raw = b"\0\0\0\0" + raw[4:]  # skipped pixels are black for every decoder
                colours[0] = 0
                data = bmp_file(info_header(40, w, h, 4 if four else 8, 2 if four else 1, len(stream)), raw, stream)
                name = f"rle{4 if four else 8}_{trial}"
                self.assertTrue(np.array_equal(ours(data, name), colours[idx]), name)
                if not delta:
                    self.check(data, name + "_cv", opencv)
                if not delta and not four:
                    self.check(data, name + "_pil", pillow)


class SavedFilesAndMessages(unittest.TestCase):
    def save(self, px, name):
        src = bmp_file(info_header(40, px.shape[1], px.shape[0], 24),
                       pixels=pack_rows([r[:, ::-1].tobytes() for r in px], False))
        path = os.path.join(TMP, name + ".src.bmp")
        with open(path, "wb") as f:
            f.write(src)
        out = os.path.join(TMP, name + ".bmp")
        self.assertEqual(cli("convert", path, out).returncode, 0)
        with open(out, "rb") as f:
            return out, f.read()

    def test_saved_sizes_and_reading_back(self):
        # The layout and where each road starts are checked byte by byte in
        # dib_file_test.cpp; here, what info says of a saved file of each road.
        for (w, h), road in [((3, 2), "own reader"), ((600, 600), "decoder")]:
            px = RNG.integers(0, 256, size=(h, w, 3), dtype=np.uint8)
            path, data = self.save(px, f"saved_{w}x{h}")
            self.assertEqual(len(data), 3 * w * h + 54)
            info = cli("info", path)
            self.assertEqual(info.returncode, 0)
            self.assertIn(f"width {w}\nheight {h}\nplanes 1\nbits per pixel 24\nmarker 1\nroad {road}\n", info.stdout)
            self.assertTrue(np.array_equal(ours(data, f"back_{w}x{h}"), px))

    def test_message_sequences(self):
        px = RNG.integers(0, 256, size=(2, 3, 3), dtype=np.uint8)
        path, data = self.save(px, "msg")
        off = os.path.join(TMP, "off_by_one.bmp")
        with open(off, "wb") as f:
            f.write(data + b"\0")
        r = cli("info", off)
        self.assertEqual((r.returncode, r.stdout), (3, ": bsuccess\nOPTA: Cannot load DIB file\n"))
        r = cli("convert", off, os.path.join(TMP, "x.ppm"))
        self.assertEqual(r.returncode, 3)
        self.assertEqual(len(r.stderr.strip().splitlines()), 1)


if __name__ == "__main__":
    if not os.path.exists(CLI):
        print(f"{CLI} not built", file=sys.stderr)
        sys.exit(1)
    unittest.main()
