#!/usr/bin/python3
"""Measures the web pages (build/web/pages, made by `make web`) against their
budgets: the wasm and JavaScript of each page gzipped, and the time from the
start of loading to its first frame in headless Chromium (median of 5 loads
with the browser's cache off, after one load that starts the browser up)."""
import gzip
import os
import statistics
import sys

root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(root, "tools"))
from chromium import Browser, wait_for  # noqa: E402

pages = os.path.join(root, "build", "web", "pages")
# What each page shows first, as on the desktop: the opened black canvas,
# the white canvas, the first frame of points, the white client area.
FIRST_FRAME = {
    "escapeplot": "p(320, 240) == '0,0,0,255'",
    "ngonchaos": "p(320, 240) == '255,255,255,255'",
    "tetrachaos": "c.width == 1000 && black()",
    "ruletri": "p(10, 10) == '255,255,255,255'",
}
PROBE = """(() => {
  const c = document.getElementById('canvas');
  if (!c || !c.width) return 0;
  const g = c.getContext('2d');
  const p = (x, y) => g.getImageData(x, y, 1, 1).data.join();
  const black = () => {
    const d = g.getImageData(0, 0, c.width, c.height).data;
    for (let i = 0; i < d.length; i += 4) if (d[i] == 0 && d[i + 3] == 255) return true;
    return false;
  };
  return (CONDITION) ? performance.now() : 0;
})()"""


def first_frame_ms(browser, page, condition):
    browser.call("Page.navigate", url="about:blank")
    browser.call("Page.navigate", url=browser.url(page + ".html"))

    def probe():
        try:
            return browser.evaluate(PROBE.replace("CONDITION", condition))
        except RuntimeError:  # the page is still being replaced
            return 0
    return wait_for(probe, what=page + "'s first frame")


print("| page | wasm + js | gzipped | first frame (median of 5 loads) |")
print("|---|---|---|---|")
for page, condition in FIRST_FRAME.items():
    raw = zipped = 0
    for suffix in (".wasm", ".js"):
        with open(os.path.join(pages, page + suffix), "rb") as f:
            data = f.read()
        raw += len(data)
        zipped += len(gzip.compress(data, 9))
    with Browser(pages) as browser:
        browser.call("Network.setCacheDisabled", cacheDisabled=True)
        times = [first_frame_ms(browser, page, condition) for _ in range(6)][1:]
    print("| %s | %.1f KB | %.1f KB | %.0f ms |" % (page, raw / 1024, zipped / 1024, statistics.median(times)))
