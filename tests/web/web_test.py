"""The web pages in headless Chromium, key for key as on the desktop.

Run as: web_test.py PAGES_FOLDER WEB_ORACLE [unittest arguments]
"""
import os
import subprocess
import sys
import tempfile
import unittest

from chromium import Browser, black_pixels, wait_for

PAGES = ORACLE = None
WHITE = b"\xff\xff\xff\xff"
BLACK = b"\0\0\0\xff"


def only_black_and_white(rgba):
    return all(rgba[i:i + 4] in (WHITE, BLACK) for i in range(0, len(rgba), 4 * 97))


class Page(unittest.TestCase):
    downloads = None

    def open(self, page, width, height, viewport=None):
        """Opens page (in a viewport of the given size) and waits until its
        program has opened a canvas of width x height."""
        self.browser = Browser(PAGES, downloads=self.downloads)
        self.addCleanup(self.browser.close)
        if viewport:
            self.browser.resize(*viewport)
        self.browser.open(page)
        wait_for(lambda: self.browser.evaluate(
            "(() => { const c = document.getElementById('canvas');"
            " return c.width == %d && c.height == %d &&"
            " c.getContext('2d').getImageData(0, 0, 1, 1).data[3] == 255; })()" % (width, height)),
            what=page + " to open its canvas")

    def wait_canvas(self, check, what):
        return wait_for(lambda: check(self.browser.canvas()[2]), what=what)


class Escapeplot(Page):
    def test_arrow_keys_redraw_the_desktops_images(self):
        self.open("escapeplot.html", 640, 480)
        self.assertEqual(black_pixels(self.browser.canvas()[2]), 640 * 480, "black until the first key")
        for key, black in (("ArrowRight", 234495), ("ArrowRight", 165865), ("ArrowLeft", 234495)):
            self.browser.key(key)
            self.wait_canvas(lambda rgba: black_pixels(rgba) == black, "%d black pixels" % black)


class Ngonchaos(Page):
    def setUp(self):
        self.downloads = tempfile.mkdtemp(prefix="ngonchaos-downloads-")
        self.addCleanup(subprocess.run, ["rm", "-rf", self.downloads])

    def test_snapshot_downloads_the_canvas_as_the_desktop_writes_it(self):
        self.open("ngonchaos.html", 640, 480)
        self.wait_canvas(lambda rgba: rgba == WHITE * (640 * 480), "the white canvas")
        self.browser.key("ArrowRight")
        triangle = self.wait_canvas(lambda rgba: black_pixels(rgba) and rgba, "the triangle")
        self.assertTrue(only_black_and_white(triangle))
        self.browser.key("KeyA")
        wait_for(lambda: self.browser.pump() or self.browser.downloads_completed(), what="3.bmp")
        canvas = self.browser.canvas()[2]
        self.assertGreater(black_pixels(canvas), black_pixels(triangle), "a second run over the first")

        saved = os.path.join(self.downloads, "3.bmp")
        self.assertTrue(os.path.exists(saved), os.listdir(self.downloads))
        with tempfile.TemporaryDirectory() as work:
            rgba, desktop = os.path.join(work, "canvas.rgba"), os.path.join(work, "desktop.bmp")
            with open(rgba, "wb") as out:
                out.write(canvas)
            subprocess.run([ORACLE, "bmp", "640", "480", rgba, desktop], check=True)
            with open(saved, "rb") as a, open(desktop, "rb") as b:
                self.assertTrue(a.read() == b.read(), "3.bmp differs from the desktop's file")


class Tetrachaos(Page):
    def test_the_figure_turns(self):
        self.open("tetrachaos.html", 1000, 600)
        first = self.wait_canvas(lambda rgba: black_pixels(rgba) and rgba, "the first frame")
        self.assertTrue(only_black_and_white(first))
        later = self.wait_canvas(lambda rgba: black_pixels(rgba) and rgba != first and rgba, "a turn")
        self.assertTrue(only_black_and_white(later))


class Ruletri(Page):
    def expect_figure(self, width, height, sweeps):
        with tempfile.NamedTemporaryFile() as expected:
            subprocess.run([ORACLE, "ruletri", str(width), str(height), str(sweeps), expected.name],
                           check=True)
            rgb = expected.read()
        rgba = b"".join(rgb[i:i + 3] + b"\xff" for i in range(0, len(rgb), 3))
        self.wait_canvas(lambda canvas: canvas == rgba,
                         "the figure of %d sweeps at %d x %d" % (sweeps, width, height))

    def test_clicks_sweep_and_a_resize_starts_afresh(self):
        self.open("ruletri.html", 640, 360, viewport=(640, 360))
        self.browser.click(320, 200)
        self.expect_figure(640, 360, 1)
        self.browser.click(100, 100, count=2)
        self.expect_figure(640, 360, 3)

        self.browser.resize(501, 300)
        self.wait_canvas(lambda canvas: canvas == WHITE * (501 * 300), "a cleared client area")
        self.browser.click(10, 10)
        self.expect_figure(501, 300, 1)


if __name__ == "__main__":
    PAGES, ORACLE = sys.argv[1], sys.argv[2]
    unittest.main(argv=[sys.argv[0]] + sys.argv[3:])
