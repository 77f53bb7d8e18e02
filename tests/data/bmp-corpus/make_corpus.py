#!/usr/bin/python3
"""Writes the malformed and borderline BMP files in this folder.

Each name is DESCRIPTION.OUTCOME.bmp, OUTCOME being what loading must give:
rejected (the file checks fail: "bsuccess", then "Cannot load DIB file"),
undecodable (the header is refused), refused (the pixel data is refused) or
loads. Run it again after changing a case; the files are committed.
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def header(size, w, h, bits, comp=0, size_image=0, clr_used=0, masks=()):
    if size == 12:
        return struct.pack('<IHHHH', 12, w & 0xFFFF, h & 0xFFFF, 1, bits)
    b = struct.pack('<IiiHHIIiiII', size, w, h, 1, bits, comp, size_image, 0, 0, clr_used, 0)
    b += b''.join(struct.pack('<I', m) for m in masks)
    return b[:size] + b'\0' * max(0, size - len(b))


def bmp(info, tail=b'', pixels=b'', marker=0, off=None, size=None):
    off = 14 + len(info) + len(tail) if off is None else off
    total = 14 + len(info) + len(tail) + len(pixels)
    return b'BM' + struct.pack('<IHHI', total if size is None else size, marker, 0, off) + info + tail + pixels


def palette(n):
    return bytes(b for i in range(n) for b in (i, 255 - i, (7 * i) & 255, 0))


def cases():
    rgb = header(40, 2, 2, 24)
    good = bmp(rgb, pixels=bytes(range(16)))
    yield 'empty.rejected', b''
    yield 'one-byte.rejected', b'B'
    yield 'no-bm.rejected', b'MB' + good[2:]
    yield 'bfsize-one-short.rejected', good[:2] + struct.pack('<I', len(good) - 1) + good[6:]
    yield 'bfsize-one-long.rejected', good[:2] + struct.pack('<I', len(good) + 1) + good[6:]
    yield 'bfsize-cut.rejected', b'BM\x05'
    yield 'bm-and-size-only.undecodable', b'BM' + struct.pack('<I', 6)
    yield 'header-cut.undecodable', good[:40][:2] + struct.pack('<I', 40) + good[6:40]
    yield 'header-size-20.undecodable', bmp(struct.pack('<I', 20) + rgb[4:20], pixels=bytes(16))
    yield 'width-zero.undecodable', bmp(header(40, 0, 2, 24), pixels=bytes(16))
    yield 'width-negative.undecodable', bmp(header(40, -2, 2, 24), pixels=bytes(16))
    yield 'height-zero.undecodable', bmp(header(40, 2, 0, 24), pixels=bytes(16))
    yield 'height-int-min.undecodable', bmp(header(40, 2, -2**31, 24), pixels=bytes(16))
    yield 'over-pixel-budget.undecodable', bmp(header(40, 20000, 20000, 8), palette(256), bytes(64))
    yield 'size-overflows.undecodable', bmp(header(40, 2**31 - 1, 2**31 - 1, 32), pixels=bytes(64))
    yield 'bits-7.undecodable', bmp(header(40, 2, 2, 7), pixels=bytes(16))
    yield 'bits-zero.undecodable', bmp(header(40, 2, 2, 0, comp=4), pixels=bytes(16))
    yield 'bitfields-on-24.undecodable', bmp(header(40, 2, 2, 24, comp=3), struct.pack('<III', 255, 255 << 8, 255 << 16), bytes(16))
    yield 'masks-past-end.undecodable', bmp(header(40, 1, 1, 16, comp=3), pixels=b'\0\0\0')
    yield 'mask-with-hole.undecodable', bmp(header(52, 2, 1, 16, comp=3, masks=(0xF0F0, 0xF00, 0xF)), pixels=bytes(4))
    yield 'mask-beyond-16-bits.undecodable', bmp(header(52, 2, 1, 16, comp=3, masks=(0x1F0000, 0x3E0, 0x1F)), pixels=bytes(4))
    yield 'palette-past-end.undecodable', bmp(header(40, 2, 1, 8), palette(255))
    yield 'clr-used-huge.undecodable', bmp(header(40, 2, 1, 8, clr_used=0xFFFFFFFF), palette(16), bytes(4))
    yield 'core-palette-cut.undecodable', bmp(header(12, 2, 1, 4), bytes(3 * 15))
    yield 'rle-top-down.undecodable', bmp(header(40, 4, -1, 8, comp=1), palette(256), bytes([4, 1, 0, 1]))
    yield 'rle8-on-4-bits.undecodable', bmp(header(40, 4, 1, 4, comp=1), palette(16), bytes([4, 1, 0, 1]))
    yield 'os2-huffman.undecodable', bmp(header(64, 8, 1, 1, comp=3), palette(2), bytes(4))
    yield 'os2-rle24.undecodable', bmp(header(64, 1, 1, 24, comp=4), pixels=bytes(4))
    yield 'png-inside.undecodable', bmp(header(124, 1, 1, 0, comp=5), pixels=b'\x89PNG')
    yield 'pixels-one-short.refused', good[:-1][:2] + struct.pack('<I', len(good) - 1) + good[6:-1]
    yield 'offbits-past-end.refused', bmp(rgb, pixels=bytes(16), off=0x7FFFFFF0)
    yield 'offbits-at-end.refused', bmp(rgb, pixels=bytes(16), off=14 + 40 + 16)
    yield 'rle-size-image-past-end.refused', bmp(header(40, 4, 1, 8, comp=1, size_image=100), palette(256), bytes([4, 1, 0, 1]))
    yield 'rle-truncated-absolute.loads', bmp(header(40, 8, 2, 8, comp=1), palette(256), bytes([0, 9, 1, 2]))
    yield 'rle-truncated-delta.loads', bmp(header(40, 8, 2, 4, comp=2), palette(16), bytes([2, 0x12, 0, 2, 3]))
    yield 'rle-delta-off-image.loads', bmp(header(40, 8, 2, 8, comp=1), palette(256), bytes([0, 2, 255, 255, 3, 3, 0, 1]))
    yield 'rle-runs-past-edge.loads', bmp(header(40, 3, 3, 8, comp=1), palette(256), bytes([255, 1, 255, 2, 0, 0] * 4 + [0, 1]))
    yield 'rle4-odd-absolute.loads', bmp(header(40, 5, 1, 4, comp=2), palette(16), bytes([0, 5, 0x12, 0x34, 0x50, 0, 0, 1]))
    yield 'rle-no-end.loads', bmp(header(40, 4, 4, 8, comp=1), palette(256), bytes([0, 0] * 9))
    yield 'index-past-short-palette.loads', bmp(header(40, 4, 1, 8, clr_used=2), palette(2), bytes([0, 1, 2, 255]))
    yield 'palette-overlaps-pixels.loads', bmp(header(40, 4, 1, 8, clr_used=1), palette(1), bytes([0, 0, 0, 0]), off=14 + 40)
    yield 'marked-short.refused', bmp(rgb, pixels=bytes(11), marker=1)
    yield 'marked-offbits-past-end.refused', bmp(rgb, pixels=bytes(12), marker=1, off=0xFFFFFFFF)
    yield 'marked-exact.loads', bmp(rgb, pixels=bytes(12), marker=1)
    # 54 bytes that declare 268435456 x 1 for the own reader.
    yield 'marked-declares-256-megapixels.refused', bmp(header(40, 2**28, 1, 24), marker=1)
    # 1,080 bytes of run-length data that declare 16384 x 16384.
    yield 'rle8-over-budget.refused', bmp(header(40, 16384, 16384, 8, comp=1), palette(256), bytes([0, 1]))


def main():
    for old in os.listdir(HERE):
        if old.endswith('.bmp'):
            os.remove(os.path.join(HERE, old))
    for name, data in cases():
        with open(os.path.join(HERE, name + '.bmp'), 'wb') as f:
            f.write(data)


if __name__ == '__main__':
    main()
