# SPDX-FileCopyrightText: 2026 The Pressly Pro developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""Raster checks of the soak: the corpus copy gains a JPEG with data after its image (as a motion
photo carries its video), and every replaced JPEG must end with its original's trailer, byte for byte."""
from pathlib import Path

STANDALONE = {0x01} | set(range(0xD0, 0xD8))


def jpeg_image_end(data):
    """Just past the image's EOI, found by walking segments and entropy data; None when incomplete."""
    if data[:2] != b"\xff\xd8":
        return None
    pos = 2
    while pos < len(data):
        if data[pos] != 0xFF:
            return None
        while pos < len(data) and data[pos] == 0xFF:
            pos += 1
        if pos >= len(data):
            return None
        marker = data[pos]
        pos += 1
        if marker == 0xD9:
            return pos
        if marker in STANDALONE:
            continue
        if pos + 2 > len(data):
            return None
        pos += int.from_bytes(data[pos:pos + 2], "big")
        if marker == 0xDA:
            while True:
                pos = data.find(b"\xff", pos)
                if pos < 0 or pos + 1 >= len(data):
                    return None
                following = data[pos + 1]
                if following == 0 or 0xD0 <= following <= 0xD7:
                    pos += 2
                elif following == 0xFF:
                    pos += 1
                else:
                    break
    return None


def jpeg_trailer(path):
    data = Path(path).read_bytes()
    end = jpeg_image_end(data)
    return b"" if end is None else data[end:]


def add_files(corpus_copy):
    """A motion-photo-like JPEG: the largest JPEG, then a second JPEG and bytes holding FFD9."""
    jpegs = sorted((corpus_copy / "jpeg").glob("*.jp*g"), key=lambda p: p.stat().st_size)
    if len(jpegs) < 2:
        return
    trailer = jpegs[0].read_bytes() + bytes((i * 7919 >> 3) & 0xFF for i in range(150_000)) + b"\xff\xd9"
    (corpus_copy / "jpeg" / "motion-photo-with-trailer.jpg").write_bytes(jpegs[-1].read_bytes() + trailer)


def problem(result, source):
    """An error text when a replaced JPEG lost or changed the data after its image, else None."""
    if Path(source).read_bytes()[:3] != b"\xff\xd8\xff":
        return None
    if jpeg_trailer(result) != jpeg_trailer(source):
        return "the data after the JPEG's image was not kept byte for byte"
    return None
