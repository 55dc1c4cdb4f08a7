#!/usr/bin/python3
"""The contact sheets and the gallery page as a user sees them. The demo tool writes pictures,
index.html and sheets into a fresh folder; Python PIL reads the sheets, where every screen's
thumbnail, worked out here as the rounded mean of each 2 x 2 block, must appear; headless Chromium
loads the page offline, and its screenshot must show every picture pixel for pixel (a broken image
shows none of it), while its DOM must hold every name as text and no element a name could inject.
Usage: check_sheet_gallery.py DEMO_TOOL"""

import html.parser
import os
import shutil
import subprocess
import sys
import tempfile
import unittest

from PIL import Image

TOOL = None
CHROMIUM = shutil.which("chromium")
CHROMIUM_FLAGS = ["--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
                  "--disable-background-networking", "--disable-component-update", "--disable-sync",
                  "--hide-scrollbars", "--force-device-scale-factor=1"]
WINDOW = (1280, 2400)


def rgb_image(path):
    with Image.open(path) as image:
        return image.convert("RGB")


def thumbnail(picture):
    """A 256 x 192 picture halved: each pixel the mean of a 2 x 2 block, halves rounded up."""
    width, height = picture.size
    pixels = picture.load()
    half = Image.new("RGB", (width // 2, height // 2))
    for y in range(height // 2):
        for x in range(width // 2):
            block = [pixels[2 * x + dx, 2 * y + dy] for dx in (0, 1) for dy in (0, 1)]
            half.putpixel((x, y), tuple((sum(p[c] for p in block) + 2) // 4 for c in range(3)))
    return half


def places(haystack, needle):
    """The top-left corners where needle appears in haystack pixel for pixel."""
    width, height = haystack.size
    needle_width, needle_height = needle.size
    hay = haystack.tobytes()
    rows = [needle.tobytes()[y * needle_width * 3:(y + 1) * needle_width * 3]
            for y in range(needle_height)]
    # Look for the row with the most colour changes first: a plain row matches everywhere.
    anchor = max(range(needle_height), key=lambda y: len(set(
        rows[y][i:i + 3] for i in range(0, len(rows[y]), 3))))
    found = []
    for y in range(anchor, height - needle_height + anchor + 1):
        line = hay[y * width * 3:(y + 1) * width * 3]
        at = line.find(rows[anchor])
        while at >= 0:
            if at % 3 == 0:
                x, top = at // 3, y - anchor
                if all(hay[((top + r) * width + x) * 3:((top + r) * width + x + needle_width) * 3]
                       == rows[r] for r in range(needle_height)):
                    found.append((x, top))
            at = line.find(rows[anchor], at + 1)
    return found


def shown_name(hex_bytes):
    """A name as the page must show it: UTF-8, each bad byte and control character U+FFFD."""
    text = bytes.fromhex(hex_bytes).decode("utf-8", errors="replace")
    return "".join("\ufffd" if ord(c) < 0x20 or 0x7F <= ord(c) <= 0x9F else c for c in text)


class Captions(html.parser.HTMLParser):
    """The page's img elements, script elements and the bold caption of each figure."""

    def __init__(self):
        super().__init__()
        self.images, self.scripts, self.names = [], 0, []
        self._in_caption_name = False

    def handle_starttag(self, tag, attrs):
        if tag == "img":
            self.images.append(dict(attrs))
        elif tag == "script":
            self.scripts += 1
        elif tag == "b":
            self._in_caption_name = True
            self.names.append("")

    def handle_endtag(self, tag):
        if tag == "b":
            self._in_caption_name = False

    def handle_data(self, data):
        if self._in_caption_name:
            self.names[-1] += data


class SheetAndGallery(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.folder = tempfile.mkdtemp(prefix="orlaspin-gallery-")
        listing = subprocess.run([TOOL, cls.folder], check=True, capture_output=True).stdout
        cls.pictures, cls.sheets = [], {"default": [], "small": []}
        for line in listing.decode("utf-8").splitlines():
            kind, path, extra = line.split("\t")
            if kind == "picture":
                cls.pictures.append((path, extra))
            else:
                cls.sheets[extra].append(path)

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.folder)

    def path(self, relative):
        return os.path.join(self.folder, relative)

    def chromium(self, *arguments):
        self.assertIsNotNone(CHROMIUM, "no chromium on the PATH: scripts/deps installs it")
        profile = tempfile.mkdtemp(prefix="orlaspin-chromium-")
        try:
            page = "file://" + self.path("index.html")
            return subprocess.run([CHROMIUM, *CHROMIUM_FLAGS, "--user-data-dir=" + profile,
                                   *arguments, page], check=True, capture_output=True,
                                  timeout=180).stdout
        finally:
            shutil.rmtree(profile)

    def test_sheets_show_every_screen_once(self):
        self.assertEqual(self.sheets["default"], ["sheet.png"])
        self.assertEqual(len(self.sheets["small"]), 2)
        for name, (width, height) in (("default", (1600, 1200)), ("small", (600, 400))):
            pages = [rgb_image(self.path(page)) for page in self.sheets[name]]
            for page in pages:
                self.assertLessEqual(page.size[0], width)
                self.assertLessEqual(page.size[1], height)
            for picture, _ in self.pictures:
                half = thumbnail(rgb_image(self.path(picture)))
                found = [spot for page in pages for spot in places(page, half)]
                self.assertEqual(len(found), 1, "%s on the %s sheet" % (picture, name))

    def test_browser_shows_every_picture(self):
        screenshot_path = self.path("screenshot.png")
        self.chromium("--screenshot=" + screenshot_path, "--window-size=%d,%d" % WINDOW)
        screenshot = rgb_image(screenshot_path)
        self.assertEqual(screenshot.size, WINDOW)
        spots = []
        for picture, _ in self.pictures:
            found = places(screenshot, rgb_image(self.path(picture)))
            self.assertEqual(len(found), 1, picture)
            spots.extend(found)
        self.assertEqual(len(set(spots)), len(self.pictures))

    def test_browser_reads_names_as_text(self):
        captions = Captions()
        captions.feed(self.chromium("--dump-dom").decode("utf-8"))
        self.assertEqual(captions.scripts, 0)
        self.assertEqual(len(captions.images), len(self.pictures))
        self.assertEqual(captions.names, [shown_name(name) for _, name in self.pictures])
        self.assertEqual([image["alt"] for image in captions.images], captions.names)


if __name__ == "__main__":
    TOOL = sys.argv.pop(1)
    unittest.main(verbosity=1)
