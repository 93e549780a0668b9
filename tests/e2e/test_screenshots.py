"""Checks that the user guide's pictures can be made here: the screenshot
command's code (screenshots.py) runs into a temporary folder, and every box
must have been found, captured as a PNG of a plausible size with real
content, and answered so that the launcher ended as expected."""

import os
import re
import shutil
import struct
import sys
import tempfile
import unittest
import zlib

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import screenshots  # noqa: E402
import wine_env  # noqa: E402

SOURCE_DIR = os.path.abspath(
    os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..'))
PNG_SIGNATURE = b'\x89PNG\r\n\x1a\n'


def setUpModule():
    wine_env.start()


def tearDownModule():
    wine_env.stop()


def png_chunks(data):
    """(type, payload) of each chunk of a PNG file's bytes."""
    pos = len(PNG_SIGNATURE)
    while pos < len(data):
        length, kind = struct.unpack('>I4s', data[pos:pos + 8])
        yield kind, data[pos + 8:pos + 8 + length]
        pos += 12 + length


class ScreenshotTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.out_dir = tempfile.mkdtemp(prefix='screenshots-')
        cls.paths = screenshots.take_all(cls.out_dir)

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.out_dir, ignore_errors=True)

    def test_one_png_per_box(self):
        self.assertEqual(sorted(s.name for s in screenshots.SHOTS),
                         sorted(os.listdir(self.out_dir)))
        self.assertEqual(len(screenshots.SHOTS), len(self.paths))

    def test_pngs_have_a_plausible_size_and_content(self):
        pictures = set()
        for path in self.paths:
            with self.subTest(path=os.path.basename(path)):
                with open(path, 'rb') as f:
                    data = f.read()
                self.assertTrue(data.startswith(PNG_SIGNATURE))
                chunks = list(png_chunks(data))
                self.assertEqual(b'IHDR', chunks[0][0])
                width, height = struct.unpack('>II', chunks[0][1][:8])
                # A message box with Wine's caption bar, not the screen
                # (1024x768) and not a sliver.
                self.assertTrue(150 <= width <= 900, width)
                self.assertTrue(60 <= height <= 500, height)
                pixels = zlib.decompress(
                    b''.join(p for k, p in chunks if k == b'IDAT'))
                # Text, a frame and buttons: far more than one colour.
                self.assertGreater(len(set(pixels)), 8)
                pictures.add(pixels)
        # Each box is a different picture.
        self.assertEqual(len(self.paths), len(pictures))

    def test_guide_shows_the_committed_pictures(self):
        with open(os.path.join(SOURCE_DIR, 'docs', 'guide.md')) as f:
            guide = f.read()
        shown = re.findall(r'!\[[^\]]+\]\(images/([^)]+\.png)\)', guide)
        self.assertEqual(sorted(s.name for s in screenshots.SHOTS),
                         sorted(set(shown)))
        for name in shown:
            self.assertTrue(os.path.isfile(
                os.path.join(SOURCE_DIR, 'docs', 'images', name)), name)


if __name__ == '__main__':
    wine_env.main()
