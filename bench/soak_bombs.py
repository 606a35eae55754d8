# SPDX-FileCopyrightText: 2026 The Pressly Pro developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""Decompression bombs among ordinary images, for soak.py: files of a few bytes or kilobytes whose
images claim more pixels than any machine should decode (60000 x 60000, or many large frames).

Each bomb must fail with the pixel-limit message and stay as it was, the ordinary images beside it
must come out as in any round, and the run with all its tools must stay under PEAK_MB."""
import os
import struct
import subprocess
import zlib
from pathlib import Path

import soak

PEAK_MB = 1024
SAID = "more than this app handles"


def png_chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))


def flag_png(side):
    """A valid 1-bit PNG of side x side white pixels: a few hundred kilobytes."""
    row = b"\0" + b"\xff" * ((side + 7) // 8)
    packer = zlib.compressobj(9)
    data = b"".join(packer.compress(row) for _ in range(side)) + packer.flush()
    header = struct.pack(">IIBBBBB", side, side, 1, 0, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", header) + png_chunk(b"IDAT", data) + png_chunk(b"IEND", b"")


def gif(width, height, frames):
    """A GIF whose screen is width x height, with `frames` one-pixel frames."""
    word = lambda v: struct.pack("<H", v)
    body = b"".join(b"," + word(0) * 2 + word(1) * 2 + b"\0\x02\x02\x44\x01\0" for _ in range(frames))
    return b"GIF89a" + word(width) + word(height) + b"\x80\0\0\0\0\0\xff\xff\xff" + body + b";"


def jpeg_claiming(folder, width, height):
    """A small real JPEG whose frame header is rewritten to claim width x height."""
    small = folder / "small.jpg"
    subprocess.run(["vips", "black", str(small), "16", "16"], check=True)
    data = bytearray(small.read_bytes())
    small.unlink()
    at = data.index(b"\xff\xc0") + 5
    data[at:at + 4] = struct.pack(">HH", height, width)
    return bytes(data)


def webp_canvas(template, width, height):
    """An animated WebP whose canvas is rewritten to width x height: every frame counts at that size."""
    data = bytearray(template.read_bytes())
    at = data.index(b"VP8X") + 12
    data[at:at + 3] = (width - 1).to_bytes(3, "little")
    data[at + 3:at + 6] = (height - 1).to_bytes(3, "little")
    return bytes(data)


def add(corpus_copy):
    """Writes the bombs into bombs/ of the corpus copy; answers their paths relative to it."""
    folder = corpus_copy / "bombs"
    folder.mkdir()
    spinner = soak.HERE / "tests" / "data" / "odd" / "derived-wordpress-spinner-animated.webp"
    bombs = {"flag.png": flag_png(60000), "screen.gif": gif(60000, 60000, 1),
             "frames.gif": gif(10000, 10000, 5), "claims.jpg": jpeg_claiming(folder, 60000, 60000),
             "frames.webp": webp_canvas(spinner, 16000, 16000)}
    for name, data in bombs.items():
        (folder / name).write_bytes(data)
    return {Path("bombs") / name for name in bombs}


def check(row, failures, bombs):
    """The problems of a round that had the bombs among its files."""
    problems = []
    said = {rel: error for rel, error, _ in failures}
    for rel in sorted(bombs):
        if SAID not in said.get(rel, ""):
            problems.append(f"a bomb was not refused by its size: {rel}: {said.get(rel, 'no failure')}")
    if row["peak"] > PEAK_MB:
        problems.append(f"the run and its tools took {row['peak']:.0f} MB, over {PEAK_MB} MB")
    return problems
