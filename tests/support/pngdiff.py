#!/usr/bin/env python3
"""Compares 8-bit RGB PNGs (as the program writes them) without third-party modules.

pngdiff.py A B [--crop-a X,Y,W,H]   prints the mean per-pixel difference of A (or its crop,
                                    origin top left) and B, as a fraction of full scale
pngdiff.py A --rows                 prints the brightest value of each row, top to bottom
"""
import struct
import sys
import zlib


def read(path):
    data = open(path, 'rb').read()
    assert data[:8] == b'\x89PNG\r\n\x1a\n', path
    at, idat, width, height = 8, b'', 0, 0
    while at < len(data):
        length, kind = struct.unpack('>I4s', data[at:at + 8])
        body = data[at + 8:at + 8 + length]
        if kind == b'IHDR':
            width, height, depth, colour = struct.unpack('>IIBB', body[:10])
            assert depth == 8 and colour == 2, 'only 8-bit RGB'
        elif kind == b'IDAT':
            idat += body
        at += 12 + length
    raw, stride, rows, previous = zlib.decompress(idat), width * 3, [], bytearray(width * 3)
    for y in range(height):
        kind, line = raw[y * (stride + 1)], bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for x in range(stride):
            a = line[x - 3] if x >= 3 else 0
            b = previous[x]
            c = previous[x - 3] if x >= 3 else 0
            if kind == 1:
                line[x] = (line[x] + a) & 255
            elif kind == 2:
                line[x] = (line[x] + b) & 255
            elif kind == 3:
                line[x] = (line[x] + (a + b) // 2) & 255
            elif kind == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[x] = (line[x] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        rows.append(line)
        previous = line
    return width, height, rows


def main():
    width, height, rows = read(sys.argv[1])
    if sys.argv[2] == '--rows':
        for row in rows:
            print(max(row))
        return
    x, y, w, h = 0, 0, width, height
    if len(sys.argv) > 4 and sys.argv[3] == '--crop-a':
        x, y, w, h = (int(v) for v in sys.argv[4].split(','))
    width_b, height_b, rows_b = read(sys.argv[2])
    assert (w, h) == (width_b, height_b), f'sizes differ: {w}x{h} and {width_b}x{height_b}'
    total = sum(abs(rows[y + j][x * 3 + i] - rows_b[j][i]) for j in range(h) for i in range(w * 3))
    print(f'{total / (w * h * 3 * 255.0):.5f}')


main()
