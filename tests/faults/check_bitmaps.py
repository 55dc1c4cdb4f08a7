#!/usr/bin/python3
"""Exports a disk image made here with orlaspin-cli and opens every file it wrote with readers
that are not ours: Pillow, which must see the very pixels the screen's layout gives, and
ImageMagick's identify. The image, its screens and the expected pixels are all worked out in this
script from the TR-DOS and Spectrum layouts.

Usage: check_bitmaps.py --cli PATH [--emulator COMMAND]
"""
import argparse
import os
import random
import shutil
import subprocess
import sys
import tempfile

from PIL import Image

NORMAL = [(0, 0, 0), (0, 0, 192), (192, 0, 0), (192, 0, 192),
          (0, 180, 0), (0, 192, 192), (192, 192, 0), (192, 192, 192)]
BRIGHT = [(0, 0, 0), (0, 0, 232), (232, 0, 0), (232, 0, 232),
          (0, 212, 0), (0, 236, 232), (216, 220, 0), (232, 236, 232)]
SCREEN_SIZE = 6912
BITMAP_SIZE = 196662

# Hostile names among plain ones; the two SCREEN entries share a stem.
NAMES = [b"SCREEN  ", b"SCREEN  ", b"CON     ", b"A:B*C?  ", b"  MY PIC", b"\x01\x7f\"|end ",
         b"nul.x   ", b"........"]


def pixel(screen, x, y):
    """The colour of (x, y): its bit through the interleave, its cell's attribute."""
    index = (y // 64) * 2048 + (y % 8) * 256 + ((y // 8) % 8) * 32 + x // 8
    ink = (screen[index] >> (7 - x % 8)) & 1
    attribute = screen[6144 + (y // 8) * 32 + x // 8]
    colours = BRIGHT if attribute & 0x40 else NORMAL
    return colours[attribute & 7] if ink else colours[(attribute >> 3) & 7]


def disk_image(screens):
    """A TR-DOS image: the catalogue, then each screen in 27 sectors from track 1 on."""
    image = bytearray(4096 + len(screens) * SCREEN_SIZE)
    for i, (name, screen) in enumerate(zip(NAMES, screens)):
        sector = 16 + 27 * i
        entry = name + b"C" + bytes([0, 0x40]) + SCREEN_SIZE.to_bytes(2, "little") + bytes(
            [27, sector % 16, sector // 16])
        assert len(entry) == 16
        image[16 * i:16 * i + 16] = entry
        image[sector * 256:sector * 256 + SCREEN_SIZE] = screen
    return bytes(image)


def check_file(path, screen, problems):
    name = os.path.basename(path)
    size = os.path.getsize(path)
    if size != BITMAP_SIZE:
        problems.append(f"{name}: {size} bytes")
        return
    with Image.open(path) as picture:
        if (picture.format, picture.size) != ("BMP", (256, 192)):
            problems.append(f"{name}: Pillow reads {picture.format} {picture.size}")
            return
        got = list(picture.convert("RGB").getdata())
    want = [pixel(screen, x, y) for y in range(192) for x in range(256)]
    if got != want:
        first = next(i for i, (a, b) in enumerate(zip(got, want)) if a != b)
        problems.append(f"{name}: pixel ({first % 256}, {first // 256}) is {got[first]}, "
                        f"expected {want[first]}")
    # ImageMagick names the format of a BITMAPINFOHEADER file BMP3.
    identified = subprocess.run(["identify", "-format", "%m %w %h", path],
                                capture_output=True, text=True)
    if identified.returncode != 0 or identified.stdout not in ("BMP 256 192", "BMP3 256 192"):
        problems.append(f"{name}: identify says {identified.stdout!r} {identified.stderr!r}")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--cli", required=True)
    parser.add_argument("--emulator", default="")
    args = parser.parse_args()

    generator = random.Random(6912)
    screens = [bytes(generator.randrange(256) for _ in range(SCREEN_SIZE)) for _ in NAMES]
    work = tempfile.mkdtemp(prefix="orlaspin-bitmaps-")
    try:
        image_path = os.path.join(work, "screens.trd")
        out = os.path.join(work, "out")
        os.mkdir(out)
        with open(image_path, "wb") as image:
            image.write(disk_image(screens))
        command = args.emulator.split() + [args.cli, "export", image_path, "--output-dir", out]
        run = subprocess.run(command, capture_output=True)
        lines = run.stdout.decode("utf-8").replace("\r", "").splitlines()
        problems = []
        if run.returncode != 0 or not lines or lines[-1] != f"{len(NAMES)} screens exported":
            problems.append(f"export failed: {run.returncode} {lines} {run.stderr!r}")
        written = lines[:-1]
        if sorted(written) != sorted(os.listdir(out)) or len(written) != len(NAMES):
            problems.append(f"reported {written}, found {sorted(os.listdir(out))}")
        for name, screen in zip(written, screens):
            check_file(os.path.join(out, name), screen, problems)
        for problem in problems:
            print(problem)
        print(f"{len(written)} files checked with Pillow and identify")
        return 1 if problems else 0
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
