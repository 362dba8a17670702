"""The web pages in headless Chromium, key for key as on the desktop, and
the folder as an app: installable, offline, updated, strict and audited.

Run as: web_test.py PAGES_FOLDER WEB_ORACLE TETRACHAOS_FRAMES [unittest arguments]
with WEB_TOOLS naming the node_modules folder of tests/web/package.json.
"""
import json
import os
import shutil
import subprocess
import sys
import tempfile
import unittest

SOURCE = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
sys.path.insert(0, os.path.join(SOURCE, "tools"))
from chromium import Browser, black_pixels, wait_for  # noqa: E402

PAGES = ORACLE = TETRACHAOS_FRAMES = None
WHITE = b"\xff\xff\xff\xff"
TOOLS = os.environ.get("WEB_TOOLS", "")
APP_PAGES = ("index", "escapeplot", "ngonchaos", "tetrachaos", "ruletri")
# The most of its main thread's processor time a page may take while its
# program waits: far above what waiting costs, below a program that hands
# control to the browser for a moment on every turn of its loop (which takes
# several per cent even on a quiet machine).
IDLE_SHARE = 0.01


class Page(unittest.TestCase):
    downloads = None

    def open(self, page, width, height, viewport=None, phone=False):
        """Opens page (in a viewport of the given size, or on a phone) and
        waits until its program has opened a canvas of width x height."""
        self.browser = Browser(PAGES, downloads=self.downloads)
        self.addCleanup(self.browser.close)
        if viewport:
            self.browser.resize(*viewport)
        if phone:
            self.browser.phone()
        self.browser.open(page)
        self.wait_program(page, width, height)

    def wait_program(self, page, width=None, height=None):
        """Waits until the page's program has drawn on its canvas, of
        width x height when given."""
        size = "c.width == %d && c.height == %d" % (width, height) if width else "true"
        wait_for(lambda: self.browser.evaluate(
            "(() => { const c = document.getElementById('canvas');"
            " return %s && c.getContext('2d').getImageData(0, 0, 1, 1).data[3] == 255; })()" % size),
            what=page + " to open its canvas")

    def wait_canvas(self, check, what):
        return wait_for(lambda: check(self.browser.canvas()[2]), what=what)

    def oracle_rgba(self, *arguments):
        """The image web_oracle computes (RGB bytes), as opaque RGBA."""
        with tempfile.NamedTemporaryFile() as expected:
            subprocess.run([ORACLE, *map(str, arguments), expected.name], check=True)
            rgb = expected.read()
        return b"".join(rgb[i:i + 3] + b"\xff" for i in range(0, len(rgb), 3))


class Escapeplot(Page):
    def test_arrow_keys_redraw_the_desktops_images(self):
        self.open("escapeplot.html", 640, 480)
        self.assertEqual(black_pixels(self.browser.canvas()[2]), 640 * 480, "black until the first key")
        for key, black in (("ArrowRight", 234495), ("ArrowRight", 165865), ("ArrowLeft", 234495)):
            self.browser.key(key)
            self.wait_canvas(lambda rgba: black_pixels(rgba) == black, "%d black pixels" % black)
        # A held key is one press: Right held back to limit 3, Left to 2.
        self.browser.key("ArrowRight", repeats=3)
        self.wait_canvas(lambda rgba: black_pixels(rgba) == 165865, "limit 3")
        self.browser.key("ArrowLeft")
        self.wait_canvas(lambda rgba: black_pixels(rgba) == 234495, "limit 2")

    def test_taps_on_the_buttons_are_the_arrow_keys(self):
        self.open("escapeplot.html", 640, 480, phone=True)
        for key, black in (("ArrowRight", 234495), ("ArrowRight", 165865), ("ArrowLeft", 234495)):
            self.browser.tap("button[data-key=%s]" % key)
            self.wait_canvas(lambda rgba: black_pixels(rgba) == black, "%d black pixels" % black)

    def press_thirty(self, key_code):
        self.assertEqual(self.browser.evaluate(
            "(() => { let n = 0; while (n < 30 && Module._pressKey(%d)) ++n; return n; })()" % key_code), 30)

    def test_both_builds_and_every_path_draw_the_exact_image(self):
        """The SIMD build where the browser validates SIMD, the plain build
        where it does not; each path either build has gives the oracle's
        images at limits 31 and 61 (and 1 on the way back), and the path is
        chosen again afterwards."""
        expected = {limit: self.oracle_rgba("escapeplot", limit) for limit in (1, 31, 61)}
        for simd, paths in ((True, (0, 4)), (False, (0,))):
            with self.subTest(simd=simd):
                self.browser = Browser(PAGES)
                self.addCleanup(self.browser.close)
                if not simd:
                    self.browser.call("Page.addScriptToEvaluateOnNewDocument",
                                      source="WebAssembly.validate = function () { return false; };")
                self.browser.open("escapeplot.html")
                self.wait_program("escapeplot", 640, 480)
                scripts = self.browser.evaluate("[...document.scripts].map(s => s.src).join(' ')")
                self.assertEqual("escapeplot_simd128.js" in scripts, simd, scripts)
                self.assertEqual(self.browser.evaluate("Module._forceRenderPath(4)"), int(simd))
                for path in paths:
                    self.assertEqual(self.browser.evaluate("Module._forceRenderPath(%d)" % path), 1)
                    for key_code, limit in ((39, 31), (39, 61), (37, 31), (37, 1)):
                        self.press_thirty(key_code)
                        self.wait_canvas(lambda rgba: rgba == expected[limit],
                                         "path %d's limit-%d image" % (path, limit))
                self.browser.evaluate("Module._forceRenderPath(-1)")
                self.assertIn(self.browser.evaluate("Module._renderPathAt(61)"), paths)


class Ngonchaos(Page):
    def setUp(self):
        self.downloads = tempfile.mkdtemp(prefix="ngonchaos-downloads-")
        self.addCleanup(shutil.rmtree, self.downloads, True)

    def expect_snapshot(self, keys):
        """Waits for the canvas after keys and for 3.bmp, the only download,
        and checks that the file is the canvas as the desktop saves it."""
        canvas = self.oracle_rgba("ngonchaos", keys)
        self.wait_canvas(lambda rgba: rgba == canvas, "the canvas after " + keys)
        wait_for(lambda: self.browser.pump() or self.browser.downloads_completed(), what="3.bmp")
        self.assertEqual(os.listdir(self.downloads), ["3.bmp"])
        with tempfile.TemporaryDirectory() as work:
            rgba, desktop = os.path.join(work, "canvas.rgba"), os.path.join(work, "desktop.bmp")
            with open(rgba, "wb") as out:
                out.write(canvas)
            subprocess.run([ORACLE, "bmp", "640", "480", rgba, desktop], check=True)
            with open(os.path.join(self.downloads, "3.bmp"), "rb") as a, open(desktop, "rb") as b:
                self.assertTrue(a.read() == b.read(), "3.bmp differs from the desktop's file")

    def test_snapshot_downloads_the_canvas_as_the_desktop_writes_it(self):
        self.open("ngonchaos.html", 640, 480)
        self.wait_canvas(lambda rgba: rgba == WHITE * (640 * 480), "the white canvas")
        self.browser.key("ArrowRight")
        triangle = self.oracle_rgba("ngonchaos", "R")
        self.wait_canvas(lambda rgba: rgba == triangle, "the triangle, pixel for pixel")
        self.browser.key("KeyA")
        self.expect_snapshot("Ra")

        # Enter on a focused button is that button's key alone: were it also
        # the program's "other key", a further run would come first.
        self.browser.evaluate("document.querySelector('button[data-key=ArrowRight]').focus()")
        self.browser.key("Enter")
        square = self.oracle_rgba("ngonchaos", "RaR")
        self.wait_canvas(lambda rgba: rgba == square, "the square after Enter on Right")
        self.browser.pump()
        self.assertEqual(len(self.browser.downloads_completed()), 1)

    def test_taps_draw_and_download_on_a_phone(self):
        self.open("ngonchaos.html", 640, 480, phone=True)
        self.browser.tap("button[data-key=ArrowRight]")
        self.browser.tap("button[data-key=Enter]")
        self.expect_snapshot("Ra")


# FNV-1a over the red byte of every pixel, computed in the page.
CANVAS_HASH = """(() => {
    const c = document.getElementById('canvas');
    const d = c.getContext('2d').getImageData(0, 0, c.width, c.height).data;
    let h = 2166136261;
    for (let i = 0; i < d.length; i += 4) h = Math.imul(h ^ d[i], 16777619) >>> 0;
    return h;
})()"""


class Tetrachaos(Page):
    CANVAS_HASH = CANVAS_HASH

    def test_the_figure_turns_frame_by_frame(self):
        with tempfile.NamedTemporaryFile(mode="r") as hashes:
            subprocess.run([TETRACHAOS_FRAMES, "300", hashes.name], check=True)
            frames = [int(line) for line in hashes]
        self.open("tetrachaos.html", 1000, 600)

        def frame():
            h = self.browser.evaluate(self.CANVAS_HASH)
            return frames.index(h) + 1 if h in frames else None
        first = wait_for(frame, what="one of the first frames")
        wait_for(lambda: (frame() or 0) > first, what="a later frame")

        # Its other key ends it; the page says so and offers to start again.
        self.browser.click(*self.browser.centre("button[data-key=Escape]"))
        wait_for(lambda: self.browser.evaluate(
            "document.getElementById('message').textContent == 'tetrachaos has ended. Start again'"
            " && document.activeElement.textContent == 'Start again'"), what="the end, in words")
        self.browser.key("Enter")

        def started_again():
            try:
                return self.browser.evaluate(
                    "document.getElementById('message').textContent == '' && "
                    "!document.querySelector('button[data-key]').disabled")
            except RuntimeError:  # the page is being replaced
                return False
        wait_for(started_again, what="tetrachaos to start again")
        first = wait_for(frame, what="one of the first frames again")

    def test_a_hidden_page_draws_nothing_and_carries_on_when_shown(self):
        self.open("tetrachaos.html", 1000, 600)
        shown = self.browser.evaluate(self.CANVAS_HASH)
        wait_for(lambda: self.browser.evaluate(self.CANVAS_HASH) != shown, what="a new frame")
        self.browser.set_hidden(True)
        last = [None]

        def still():
            before, last[0] = last[0], self.browser.evaluate(self.CANVAS_HASH)
            return before == last[0]
        wait_for(still, what="the frames to stop")
        share = self.browser.main_thread_share(3)[0]
        self.assertLess(share, IDLE_SHARE, "the hidden page took %.1f %% of its main thread" % (100 * share))
        self.assertEqual(self.browser.evaluate(self.CANVAS_HASH), last[0], "a frame was drawn while hidden")
        self.browser.set_hidden(False)
        wait_for(lambda: self.browser.evaluate(self.CANVAS_HASH) != last[0], what="a new frame once shown")


class Ruletri(Page):
    def expect_figure(self, width, height, sweeps):
        rgba = self.oracle_rgba("ruletri", width, height, sweeps)
        self.wait_canvas(lambda canvas: canvas == rgba,
                         "the figure of %d sweeps at %d x %d" % (sweeps, width, height))

    def test_clicks_sweep_and_a_resize_starts_afresh(self):
        self.open("ruletri.html", 640, 360, viewport=(640, 360))
        self.browser.click(320, 200)
        self.expect_figure(640, 360, 1)

        self.browser.resize(501, 300)
        self.wait_canvas(lambda canvas: canvas == WHITE * (501 * 300), "a cleared client area")
        # A double click is two sweeps: the 86th after a reset is the first to
        # paint the cell below the seed's row-1 neighbours.
        for _ in range(43):
            self.browser.click(10, 10, count=2)
        self.expect_figure(501, 300, 86)

class Idle(Page):
    def test_a_program_waiting_for_input_leaves_the_main_thread_alone(self):
        self.browser = Browser(PAGES)
        self.addCleanup(self.browser.close)
        for page, waiting in (("escapeplot", "after its first image"), ("ngonchaos", "on its white canvas"),
                              ("ruletri", "with nothing to do")):
            with self.subTest(page=page):
                self.browser.open(page + ".html")
                self.wait_program(page)
                if page == "escapeplot":
                    self.browser.key("ArrowRight")
                    self.wait_canvas(lambda rgba: black_pixels(rgba) == 234495, "limit 2")
                share = self.browser.main_thread_share(4)[0]
                self.assertLess(share, IDLE_SHARE, "%s took %.1f %% of the page's main thread over 4 s, waiting %s"
                                % (page, 100 * share, waiting))


class Layout(Page):
    # Whether the page is wider than its viewport, which controls are smaller
    # than a finger, and how the canvas is shown: CSS size and look.
    MEASURE = """(() => {
        const page = document.documentElement, c = document.getElementById('canvas');
        const small = Array.from(document.querySelectorAll('a, button')).filter(e => {
            const r = e.getBoundingClientRect(); return r.width < 44 || r.height < 44; });
        const r = c ? c.getBoundingClientRect() : null;
        return { wide: page.scrollWidth > page.clientWidth, small: small.map(e => e.textContent),
                 canvas: c && [r.width, r.height, c.width, c.height, getComputedStyle(c).imageRendering],
                 pictures: Array.from(document.images).filter(i => i.naturalWidth > 0).length };
    })()"""

    def measure(self):
        return self.browser.evaluate(self.MEASURE)

    def test_every_page_fits_a_small_phone_and_says_what_it_lacks(self):
        self.browser = Browser(PAGES)
        self.addCleanup(self.browser.close)
        self.browser.phone(320, 640, 2)
        self.browser.open("index.html")
        wait_for(lambda: self.measure()["pictures"] == 4, what="the index's four pictures")
        self.assertEqual(self.measure()["small"], [])
        for page, width, height in (("tetrachaos", 1000, 600), ("ngonchaos", 640, 480),
                                    ("escapeplot", 640, 480), ("ruletri", 320, 640)):
            self.browser.open(page + ".html")
            self.wait_program(page, width, height)
            shown = self.measure()
            self.assertFalse(shown["wide"], page + " scrolls sideways")
            self.assertEqual(shown["small"], [], page)
            css_width, css_height, _, _, look = shown["canvas"]
            self.assertEqual(look, "pixelated", page)
            self.assertLessEqual(css_width, 320, page)
            self.assertAlmostEqual(css_width / css_height, width / height, delta=0.01, msg=page)

        # A tap on ruletri's canvas is a click, wherever the page puts it.
        self.browser.tap("canvas")
        rgba = self.oracle_rgba("ruletri", 320, 640, 1)
        self.wait_canvas(lambda canvas: canvas == rgba, "one sweep on the phone")

        # Without WebAssembly a page says so.
        self.browser.call("Page.addScriptToEvaluateOnNewDocument", source="delete window.WebAssembly")
        self.browser.open("escapeplot.html")
        self.assertIn("WebAssembly", self.browser.evaluate("document.getElementById('message').textContent"))

    def test_the_canvas_keeps_its_size_and_grows_by_whole_pixels(self):
        self.open("escapeplot.html", 640, 480, viewport=(700, 900))
        css_width = lambda: self.measure()["canvas"][0]
        self.assertEqual(css_width(), 640)
        self.browser.resize(1600, 1200)
        wait_for(lambda: css_width() == 1280, what="the canvas at twice its size")


class App(Page):
    # The focused element's words, and whether its focus shows: an outline of
    # at least 2 pixels.
    FOCUSED = """(() => {
        const e = document.activeElement, style = getComputedStyle(e);
        return [e === document.body ? '' : e.textContent.trim(),
                style.outlineStyle != 'none' && parseFloat(style.outlineWidth) >= 2];
    })()"""
    # What Tab is to reach, in the page's order: links and enabled buttons.
    CONTROLS = "[...document.querySelectorAll('a[href], button:not(:disabled)')].map(e => e.textContent.trim())"

    def expect_tab_order(self, count):
        controls = self.browser.evaluate(self.CONTROLS)
        self.assertEqual(len(controls), count, controls)
        reached = []
        for _ in controls:
            self.browser.tab()
            reached.append(self.browser.evaluate(self.FOCUSED))
        self.assertEqual(reached, [[c, True] for c in controls])
        back = []
        for _ in controls[1:]:
            self.browser.tab(shift=True)
            back.append(self.browser.evaluate(self.FOCUSED)[0])
        self.assertEqual(back, controls[-2::-1])

    def axe_violations(self):
        with open(os.path.join(TOOLS, "axe-core", "axe.min.js")) as axe:
            self.browser.evaluate(axe.read())
        return self.browser.evaluate("""axe.run(document, {runOnly: {type: 'tag', values:
            ['wcag2a', 'wcag2aa', 'wcag21a', 'wcag21aa', 'wcag22aa', 'best-practice']}})
            .then(r => r.violations.map(v => v.id + ': ' + v.nodes.map(n => n.target.join(' ')).join(', ')))""")

    # Each icon of the manifest: its declared and its real size, and for the
    # maskable one the pixels not of the paper outside the circle of 40 % of
    # its side, which every launcher's mask keeps (one pixel of slack).
    ICONS = """fetch('manifest.webmanifest').then(r => r.json()).then(m => Promise.all(m.icons.map(icon =>
        new Promise(done => { const image = new Image(); image.onload = () => done(image); image.src = icon.src; })
        .then(image => {
            const n = image.naturalWidth, c = document.createElement('canvas');
            c.width = c.height = n;
            const g = c.getContext('2d');
            g.drawImage(image, 0, 0);
            const d = g.getImageData(0, 0, n, n).data;
            let inkOutside = 0, ink = 0;
            for (let y = 0; y < n; ++y) for (let x = 0; x < n; ++x) {
                const i = 4 * (y * n + x);
                if (d[i] == 248 && d[i + 1] == 244 && d[i + 2] == 232) continue;
                ++ink;
                if (Math.hypot(x + .5 - n / 2, y + .5 - n / 2) > .4 * n + 1) ++inkOutside;
            }
            return [icon.purpose, icon.sizes, n + 'x' + image.naturalHeight, ink > 0,
                    icon.purpose == 'maskable' ? inkOutside : 0];
        }))))"""

    def test_every_page_is_installable_strict_accessible_and_keeps_tab(self):
        """Each page with its program running: no installability error, no
        axe violation, Tab and Shift+Tab through its link and buttons with the
        program untouched (and its other keys still its own), no policy
        violation; the manifest's icons as it says."""
        self.downloads = tempfile.mkdtemp(prefix="app-downloads-")
        self.addCleanup(shutil.rmtree, self.downloads, True)
        self.browser = Browser(PAGES, downloads=self.downloads)
        self.addCleanup(self.browser.close)
        controls = {"index": 4, "escapeplot": 3, "ngonchaos": 4, "tetrachaos": 4, "ruletri": 1}
        for page in APP_PAGES:
            with self.subTest(page=page):
                self.browser.open(page + ".html")
                if page != "index":
                    self.wait_program(page)
                self.assertEqual(self.browser.call("Page.getInstallabilityErrors")["installabilityErrors"], [])
                if page == "index":
                    self.assertEqual(self.browser.evaluate(self.ICONS),
                                     [["any", "192x192", "192x192", True, 0], ["any", "512x512", "512x512", True, 0],
                                      ["maskable", "512x512", "512x512", True, 0]])
                self.assertEqual(self.axe_violations(), [])
                self.expect_tab_order(controls[page])
                self.expect_program_untouched(page)
                self.assertEqual(self.browser.policy_violations(), [])

    def expect_program_untouched(self, page):
        """The program saw none of the Tabs and Shifts: the next key of its
        own gives the image it gives right after the start."""
        if page == "escapeplot":
            self.assertEqual(black_pixels(self.browser.canvas()[2]), 640 * 480)
            self.browser.key("ArrowRight")
            self.wait_canvas(lambda rgba: black_pixels(rgba) == 234495, "limit 2 with a button focused")
        elif page == "ngonchaos":
            self.browser.key("ArrowRight")
            triangle = self.oracle_rgba("ngonchaos", "R")
            self.wait_canvas(lambda rgba: rgba == triangle, "the first triangle, no run before it")
            self.browser.pump()
            self.assertEqual([e for e in self.browser.events if e["method"].startswith("Browser.download")], [])
        elif page == "tetrachaos":
            # Two new frames: the program has read its keys between them.
            for n in range(2):
                shown = self.browser.evaluate(CANVAS_HASH)
                wait_for(lambda: self.browser.evaluate(CANVAS_HASH) != shown, what="a new frame")
            self.assertEqual(self.browser.evaluate("document.getElementById('message').textContent"), "")

    def test_offline_after_one_visit_and_a_new_release_within_two_reloads(self):
        with tempfile.TemporaryDirectory() as work:
            release = os.path.join(work, "pages")
            shutil.copytree(PAGES, release)
            self.browser = Browser(release)
            self.addCleanup(self.browser.close)
            self.browser.open("index.html")
            wait_for(lambda: self.browser.evaluate("!!navigator.serviceWorker.controller"),
                     what="the service worker to control the index")
            first = self.browser.evaluate("caches.keys()")
            self.assertEqual(len(first), 1, first)

            self.browser.stop_serving()
            for page in APP_PAGES:
                self.browser.open(page + ".html")
                if page != "index":
                    self.wait_program(page)
                if page == "escapeplot":
                    for black in (234495, 165865):
                        self.browser.key("ArrowRight")
                        self.wait_canvas(lambda rgba: black_pixels(rgba) == black, "%d black pixels offline" % black)

            # The next release at the same address: another index, and so
            # another list and cache name in sw.js.
            with open(os.path.join(release, "index.html"), "r+") as index:
                changed = index.read().replace("pixel by pixel</h1>", "pixel by pixel, again</h1>")
                index.seek(0)
                index.write(changed)
            subprocess.run(["cmake", "-DPAGES=" + release, "-DTEMPLATE=" + os.path.join(SOURCE, "web", "sw.js"),
                            "-P", os.path.join(SOURCE, "web", "app_files.cmake")], check=True)
            self.browser.serve_again(release)
            heading = "document.querySelector('h1').textContent"
            self.browser.open("index.html")
            self.assertEqual(self.browser.evaluate(heading), "Four fractals, pixel by pixel")
            # Its cache is made beside the first one, which goes once it takes over.
            wait_for(lambda: self.browser.evaluate("caches.keys().then(k => k.length == 1 && k[0] != %s)"
                                                   % json.dumps(first[0])), what="the new release to take over")
            self.browser.open("index.html")
            self.assertEqual(self.browser.evaluate(heading), "Four fractals, pixel by pixel, again")
            self.assertEqual(len(self.browser.evaluate("caches.keys()")), 1)


class Audit(unittest.TestCase):
    def test_lighthouse_scores_accessibility_best_practices_and_seo_at_100(self):
        """Lighthouse's default mobile run of the index and each page, the
        pages shared between two browsers, as it mostly waits."""
        script = os.path.join(os.path.dirname(os.path.abspath(__file__)), "lighthouse.mjs")
        runs = []
        for pages in (APP_PAGES[0::2], APP_PAGES[1::2]):
            browser = Browser(PAGES)
            self.addCleanup(browser.close)
            runs.append(subprocess.Popen(["node", script, str(browser.devtools_port)] +
                                         [browser.url(p + ".html") for p in pages],
                                         env=dict(os.environ, WEB_TOOLS=TOOLS), stdout=subprocess.PIPE, text=True))
        results = []
        for run in runs:
            output, _ = run.communicate(timeout=280)
            self.assertEqual(run.returncode, 0)
            results += [json.loads(line) for line in output.splitlines()]
        self.assertEqual(len(results), len(APP_PAGES))
        for result in results:
            self.assertEqual(result["scores"], {"accessibility": 1, "best-practices": 1, "seo": 1}, result)


if __name__ == "__main__":
    PAGES, ORACLE, TETRACHAOS_FRAMES = sys.argv[1:4]
    unittest.main(argv=[sys.argv[0]] + sys.argv[4:])
