#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 Trakvid developers
# SPDX-License-Identifier: MIT
"""Packs PNG images into one Windows icon file (PNG entries, as Windows
has read them since Vista). Usage: make_ico.py OUTPUT.ico IMAGE.png..."""
import struct
import sys


def main(output, images):
    pictures = [open(name, 'rb').read() for name in images]
    entries = b''
    offset = 6 + 16 * len(pictures)
    for data in pictures:
        if data[:8] != b'\x89PNG\r\n\x1a\n':
            sys.exit(f'make_ico.py: not a PNG image: {images[pictures.index(data)]}')
        width, height = struct.unpack('>II', data[16:24])
        # 0 stands for 256 pixels.
        entries += struct.pack('<BBBBHHII', width % 256, height % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    with open(output, 'wb') as out:
        out.write(struct.pack('<HHH', 0, 1, len(pictures)) + entries + b''.join(pictures))


if __name__ == '__main__':
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    main(sys.argv[1], sys.argv[2:])
