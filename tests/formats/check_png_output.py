#!/usr/bin/python3
"""orlaspin-cli's BMP, PNG and APNG files read by independent readers (Python PIL, ImageMagick's
identify) and compared pixel for pixel with each other and with screens decoded here from the
layout. Usage: check_png_output.py ORLASPIN_CLI TESTDATA_DIR"""

import json
import os
import struct
import subprocess
import sys
import tempfile
import unittest

from PIL import Image

CLI = None
TESTDATA = None

# Normal colours 0-7, then the bright ones.
PALETTE = [(0, 0, 0), (0, 0, 192), (192, 0, 0), (192, 0, 192), (0, 180, 0), (0, 192, 192),
           (192, 192, 0), (192, 192, 192), (0, 0, 0), (0, 0, 232), (232, 0, 0), (232, 0, 232),
           (0, 212, 0), (0, 236, 232), (216, 220, 0), (232, 236, 232)]

REAL_SCREENS = ["UzixLS_zx-midiplayer__title.scr", "mojontwins_MK2__gfx_title.scr",
                "nzeemin_desolate__loading.scr",
                "salvakantero_RedPlanet_ZX__gfx_loading.scr"]


def oracle_pixels(screen, scale=1, flash_phase=False):
    """The screen's colours row by row, each pixel repeated scale times each way."""
    rows = []
    for y in range(192):
        # Line y: bits 6-7 the third, bits 0-2 the line in the cell, bits 3-5 the cell row.
        line_start = ((y >> 6) << 11) | ((y & 7) << 8) | (((y >> 3) & 7) << 5)
        row = []
        for x in range(256):
            ink = (screen[line_start + x // 8] >> (7 - x % 8)) & 1
            attribute = screen[6144 + (y // 8) * 32 + x // 8]
            if flash_phase and attribute & 0x80:
                ink ^= 1
            bright = 8 if attribute & 0x40 else 0
            colour = attribute & 7 if ink else (attribute >> 3) & 7
            row.extend([PALETTE[bright + colour]] * scale)
        rows.extend([row] * scale)
    return [pixel for row in rows for pixel in row]


def rgb_pixels(image):
    return list(image.convert("RGB").getdata())


def first_difference(got, want):
    if len(got) != len(want):
        return "%d pixels, want %d" % (len(got), len(want))
    for i, (g, w) in enumerate(zip(got, want)):
        if g != w:
            return "pixel %d is %s, want %s" % (i, g, w)
    return None


def header(name, extension, start, length, sectors):
    return name.ljust(8).encode("latin-1") + bytes([extension]) + struct.pack("<HHB", start, length, sectors)


def build_scl(files):
    """files: (name, bytes) pairs, each stored as a screen of type C."""
    body = b"SINCLAIR" + bytes([len(files)])
    body += b"".join(header(name, ord("C"), 16384, len(data), (len(data) + 255) // 256)
                     for name, data in files)
    body += b"".join(data.ljust((len(data) + 255) // 256 * 256, b"\0") for _, data in files)
    return body + struct.pack("<I", sum(body) & 0xFFFFFFFF)


def build_hobeta(name, data):
    sectors = (len(data) + 255) // 256
    head = header(name, ord("C"), 16384, len(data), 0)[:13] + bytes([0, sectors])
    checksum = (105 + 257 * sum(head)) % 65536
    return head + struct.pack("<H", checksum) + data.ljust(sectors * 256, b"\0")


def with_flash(screen):
    """The screen with FLASH set on a band of cells, in two attribute styles."""
    changed = bytearray(screen)
    for cell in range(768):
        if (cell // 32 + cell % 32) % 5 == 0:
            changed[6144 + cell] |= 0x80
    changed[6144] = 0xB9  # flash, white paper, blue ink: the top left cell surely changes
    return bytes(changed)


class CliOutputTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.TemporaryDirectory()
        cls.root = cls.tmp.name
        cls.screens = {}
        for name in REAL_SCREENS:
            with open(os.path.join(TESTDATA, "scr", name), "rb") as f:
                cls.screens[name] = f.read()
        cls.flashing = with_flash(cls.screens["mojontwins_MK2__gfx_title.scr"])
        cls.scl = cls.write("four.scl", build_scl(
            [("uzix", cls.screens[REAL_SCREENS[0]]), ("mojon", cls.screens[REAL_SCREENS[1]]),
             ("desolate", cls.screens[REAL_SCREENS[2]]), ("flashy", cls.flashing)]))
        cls.hobeta = cls.write("red.$C", build_hobeta("redplan", cls.screens[REAL_SCREENS[3]]))

    @classmethod
    def tearDownClass(cls):
        cls.tmp.cleanup()

    @classmethod
    def write(cls, name, data):
        path = os.path.join(cls.root, name)
        with open(path, "wb") as f:
            f.write(data)
        return path

    def export(self, folder, *options, images=None):
        out = os.path.join(self.root, folder)
        os.makedirs(out, exist_ok=True)
        images = images or [self.scl, self.hobeta]
        run = subprocess.run([CLI, "export", *images, "--output-dir", out, *options],
                             capture_output=True, text=True)
        self.assertEqual(run.returncode, 0, run.stderr)
        return out

    def expected(self):
        """File path inside an export folder -> the screen it must show."""
        return {"four/uzix.%s": self.screens[REAL_SCREENS[0]],
                "four/mojon.%s": self.screens[REAL_SCREENS[1]],
                "four/desolate.%s": self.screens[REAL_SCREENS[2]],
                "four/flashy.%s": self.flashing,
                "red/redplan.%s": self.screens[REAL_SCREENS[3]]}

    def test_bitmaps_show_the_screens(self):
        out = self.export("bmp")
        for name, screen in self.expected().items():
            with Image.open(os.path.join(out, name % "bmp")) as image:
                self.assertEqual(image.format, "BMP")
                self.assertEqual(image.size, (256, 192))
                self.assertIsNone(first_difference(rgb_pixels(image), oracle_pixels(screen)), name)

    def test_pngs_show_the_screens_at_every_scale_as_the_bitmaps_do(self):
        bmp = self.export("bmp_for_png")
        for scale in (1, 2, 3):
            out = self.export("png%d" % scale, "--format", "png", "--scale", str(scale))
            for name, screen in self.expected().items():
                with Image.open(os.path.join(out, name % "png")) as png, \
                        Image.open(os.path.join(bmp, name % "bmp")) as bitmap:
                    self.assertEqual(png.format, "PNG")
                    self.assertEqual(png.size, (256 * scale, 192 * scale))
                    self.assertFalse(getattr(png, "is_animated", False))
                    got = rgb_pixels(png)
                    enlarged = bitmap.convert("RGB").resize(png.size, Image.NEAREST)
                    self.assertIsNone(first_difference(got, rgb_pixels(enlarged)), name)
                    if scale != 2:
                        continue
                    self.assertIsNone(first_difference(got, oracle_pixels(screen, scale)), name)

    def test_scaled_bitmaps_match_the_scaled_pngs(self):
        bmp = self.export("bmp2", "--scale", "2")
        png = self.export("png2b", "--format", "png", "--scale", "2")
        for name in self.expected():
            with Image.open(os.path.join(bmp, name % "bmp")) as b, \
                    Image.open(os.path.join(png, name % "png")) as p:
                self.assertEqual(b.size, (512, 384))
                self.assertIsNone(first_difference(rgb_pixels(b), rgb_pixels(p)), name)

    def test_flash_gives_a_looping_two_frame_animation_of_320_ms_frames(self):
        out = self.export("flash", "--format", "png", "--scale", "2", "--flash")
        with Image.open(os.path.join(out, "four/flashy.png")) as apng:
            self.assertTrue(apng.is_animated)
            self.assertEqual(apng.n_frames, 2)
            self.assertEqual(apng.info.get("loop"), 0)
            phases = []
            for frame in range(2):
                apng.seek(frame)
                self.assertEqual(apng.size, (512, 384))
                self.assertEqual(apng.info.get("duration"), 320)
                phases.append(rgb_pixels(apng))
        self.assertIsNone(first_difference(phases[0], oracle_pixels(self.flashing, 2)))
        self.assertIsNone(first_difference(phases[1], oracle_pixels(self.flashing, 2, True)))
        self.assertNotEqual(phases[0], phases[1])
        # A screen without FLASH stays a still picture.
        with Image.open(os.path.join(out, "four/mojon.png")) as still:
            self.assertFalse(getattr(still, "is_animated", False))
            self.assertEqual(getattr(still, "n_frames", 1), 1)

    def test_imagemagick_reads_every_png(self):
        out = self.export("identify", "--format", "png", "--scale", "3", "--flash")
        for name in self.expected():
            path = os.path.join(out, name % "png")
            run = subprocess.run(["identify", "-format", "%m %w %h\\n", path],
                                 capture_output=True, text=True)
            self.assertEqual(run.returncode, 0, run.stderr)
            self.assertEqual(run.stdout.split("\n")[0], "PNG 768 576", name)

    def test_gigascreen_flicker_gives_a_looping_two_frame_animation_of_20_ms_frames(self):
        first = self.screens[REAL_SCREENS[0]]
        second = self.screens[REAL_SCREENS[1]]
        image = self.write("giga.img", first + second)
        out = self.export("flicker", "--format", "png", "--gigascreen", "flicker", images=[image])
        with Image.open(os.path.join(out, "giga.png")) as apng:
            self.assertTrue(apng.is_animated)
            self.assertEqual(apng.n_frames, 2)
            self.assertEqual(apng.info.get("loop"), 0)
            for frame, screen in enumerate((first, second)):
                apng.seek(frame)
                self.assertEqual(apng.size, (256, 192))
                self.assertEqual(apng.info.get("duration"), 20)
                self.assertIsNone(first_difference(rgb_pixels(apng), oracle_pixels(screen)))

    def test_a_border_frames_the_screen_in_the_colour_asked_for(self):
        screen = self.screens[REAL_SCREENS[2]]
        image = self.write("framed.scr", screen)
        for colour in range(8):
            out = self.export("border%d" % colour, "--border", str(colour), images=[image])
            with Image.open(os.path.join(out, "framed.bmp")) as bitmap:
                self.assertEqual(bitmap.size, (320, 240))
                pixels = rgb_pixels(bitmap)
                inner = [pixels[(24 + y) * 320 + 32 + x] for y in range(192) for x in range(256)]
                self.assertIsNone(first_difference(inner, oracle_pixels(screen)))
                outer = set(pixels[:320 * 24] + pixels[-320 * 24:] +
                            [pixels[y * 320 + x] for y in range(240) for x in (0, 31, 288, 319)])
                self.assertEqual(outer, {PALETTE[colour]})

    def test_json_listing_names_the_formats_and_the_palettes(self):
        image = self.write("giga2.img", bytes(13824))
        run = subprocess.run([CLI, "list", "--json", image], capture_output=True, text=True)
        self.assertEqual(run.returncode, 0, run.stderr)
        listing = json.loads(run.stdout)
        self.assertEqual(listing[0]["files"][0]["type"], "gigascreen")
        self.assertEqual(listing[0]["files"][0]["length"], 13824)
        self.assertEqual(listing[0]["palettes"],
                         ["orlaspin", "fuse", "srgb", "pulsar", "alone", "orthodox", "skoolkit"])

    def test_json_listing_describes_the_archives(self):
        run = subprocess.run([CLI, "list", "--json", self.scl, self.hobeta],
                             capture_output=True, text=True)
        self.assertEqual(run.returncode, 0, run.stderr)
        listing = json.loads(run.stdout)
        self.assertEqual([image["image"] for image in listing], [self.scl, self.hobeta])
        self.assertEqual([image["kind"] for image in listing], ["scl", "hobeta"])
        scl_files = listing[0]["files"]
        self.assertEqual([f["name"] for f in scl_files], ["uzix    ", "mojon   ", "desolate", "flashy  "])
        self.assertEqual([f["offset"] for f in scl_files], [9 + 4 * 14 + i * 27 * 256 for i in range(4)])
        self.assertTrue(all(f["screen"] and f["length"] == 6912 and f["extension"] == "C"
                            and f["start"] == 16384 for f in scl_files))
        self.assertEqual(listing[1]["files"][0]["offset"], 17)
        self.assertEqual(listing[1]["warnings"], [])


if __name__ == "__main__":
    CLI, TESTDATA = sys.argv[1], sys.argv[2]
    unittest.main(argv=sys.argv[:1], verbosity=1)
