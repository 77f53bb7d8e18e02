#!/usr/bin/python3
"""Writes the starting seeds of the fuzz targets' corpora (tests/data/*-corpus/).

The fuzzers add what they find beyond these; the corpora are replayed by
ctest (fuzz_replay.*). Run again after changing a seed.
"""
import os
import random
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def bmp(info, tail=b'', pixels=b'', marker=0):
    off = 14 + len(info) + len(tail)
    return b'BM' + struct.pack('<IHHI', off + len(pixels), marker, 0, off) + info + tail + pixels


def header(w, h, bits, comp=0, size_image=0, clr_used=0, masks=()):
    b = struct.pack('<IiiHHIIiiII', 40 + 4 * len(masks) if masks else 40, w, h, 1, bits, comp, size_image,
                    0, 0, clr_used, 0)
    return b + b''.join(struct.pack('<I', m) for m in masks)


def palette(n):
    return bytes(b for i in range(n) for b in (i, 255 - i, (7 * i) & 255, 0))


def dib_file():
    rng = random.Random(1)
    yield 'saved-3x2', bmp(header(3, 2, 24), pixels=bytes(rng.randrange(256) for _ in range(18)), marker=1)
    yield 'standard-5x3', bmp(header(5, 3, 24), pixels=bytes(rng.randrange(256) for _ in range(48)))
    yield 'palette-8', bmp(header(4, 2, 8), palette(256), bytes([0, 1, 2, 3, 4, 5, 6, 7]))
    yield 'bitfields-565', bmp(header(2, 2, 16, comp=3, masks=(0xF800, 0x7E0, 0x1F)), pixels=bytes(range(8)))
    # Large enough for the decoder's threads: 512 x 512 one-bit rows, and a
    # 600 x 600 run-length picture of a few runs.
    yield 'mono-512', bmp(header(512, 512, 1), palette(2), bytes([0x5A, 0xC3] * (512 * 64 // 2)))
    runs = bytes([255, 3, 255, 7, 90, 1, 0, 0] * 8 + [0, 1])
    yield 'rle8-600', bmp(header(600, 600, 8, comp=1, size_image=len(runs)), palette(256), runs)


def save_roundtrip():
    # A flag for the plain loops, a size class (0: large), the size less one
    # (large: width in three bytes, height in two; small: a byte each), then colours.
    def large(w, h):
        return b'\0' + struct.pack('<I', w - 1)[:3] + struct.pack('<H', h - 1)

    def small(w, h):
        return bytes([1, w - 1, h - 1])  # any class but 0
    yield 'small', b'\0' + small(3, 2) + bytes(range(40))
    yield 'odd-widths', b'\1' + small(63, 5) + bytes(range(7, 250, 3))
    yield 'unpadded-rows', b'\1' + large(1001, 300) + bytes([5, 6, 7])
    yield 'past-500', b'\0' + large(600, 601) + bytes([9, 200, 33])
    yield 'row-past-a-block', b'\0' + large(400000, 1) + bytes([1, 2, 3, 4])
    yield 'one-by-one', b'\1' + small(1, 1) + bytes([255, 0, 128])


def cli_args():
    for name, args in (
            ('open-and-save', ['in.bmp', '-c', 'Invert', '--save', 'out.bmp', '--window', 'w.ppm']),
            ('answers', ['-c', 'Brightness', '-a', '1024=50', '-a', 'ok', '-a', 'next', '-a', 'click=1064']),
            ('choosers', ['-c', '40086', '-a', 'font=DejaVu Sans,12,1,2,3', '-a', 'colour=4,5,6', '-a', 'box=no']),
            ('paths-and-screens', ['-c', 'Edit/Paste', '--screen', '640x480', '-c', 'rotate  90 degree']),
            ('files', ['-c', 'Save', '-a', 'file=x.bmp', '-a', 'nofile', '-h'])):
        yield name, b'\0'.join(a.encode() for a in args)


def command_sequence():
    rng = random.Random(7)
    for i in range(6):
        yield 'random-%d' % i, bytes(rng.randrange(256) for _ in range(64 + 96 * i))


def main():
    for target, seeds in (('dib-file', dib_file), ('save-roundtrip', save_roundtrip),
                          ('cli-args', cli_args), ('command-sequence', command_sequence)):
        folder = os.path.join(HERE, target + '-corpus')
        os.makedirs(folder, exist_ok=True)
        for name, data in seeds():
            with open(os.path.join(folder, 'seed-' + name), 'wb') as f:
                f.write(data)


if __name__ == '__main__':
    main()
