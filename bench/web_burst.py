#!/usr/bin/python3
"""escapeplot's page as a user feels it: thirty Right presses from limit 31
to 61 in headless Chromium, timed in the page from the presses until the
canvas holds the limit-61 image. Each pages folder given is measured in turn,
ROUNDS times alternated; the quickest burst of each counts. On the folders
that have them the SIMD page's paths are also timed one by one.

Run as: web_burst.py PAGES_FOLDER [PAGES_FOLDER ...]  (make web builds build/web/pages)
"""
import os
import sys

root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(root, "tools"))
from chromium import Browser, black_pixels, wait_for  # noqa: E402

ROUNDS = 7
BLACK_AT_31, BLACK_AT_61 = 65798, 63054
# Presses Right thirty times at once and waits (polling the canvas from a
# timer, which runs whenever the program waits for events) for the image.
BURST = """new Promise(resolve => {
  const g = document.getElementById('canvas').getContext('2d');
  const black = () => {
    const d = g.getImageData(0, 0, 640, 480).data;
    let n = 0;
    for (let i = 0; i < d.length; i += 4) n += d[i] == 0;
    return n;
  };
  const start = performance.now();
  for (let n = 0; n < 30; ++n) Module._pressKey(39);
  const poll = () => black() == %d ? resolve(performance.now() - start) : setTimeout(poll, 0);
  poll();
})""" % BLACK_AT_61


def burst_ms(folder, path=None):
    with Browser(folder) as browser:
        browser.open("escapeplot.html")
        wait_for(lambda: browser.evaluate("typeof Module._pressKey == 'function' && Module.calledRun === true"),
                 what="escapeplot to start")
        if path is not None and not browser.evaluate("Module._forceRenderPath && Module._forceRenderPath(%d)" % path):
            return None
        browser.evaluate("for (let n = 0; n < 30; ++n) Module._pressKey(39)")
        wait_for(lambda: black_pixels(browser.canvas()[2]) == BLACK_AT_31, what="limit 31")
        return browser.evaluate(BURST)


def main():
    folders = sys.argv[1:]
    runs = {}
    for _ in range(ROUNDS):
        for folder in folders:
            runs.setdefault((folder, "page"), []).append(burst_ms(folder))
            for path, name in ((0, "scalar"), (4, "simd128")):
                ms = burst_ms(folder, path) if os.path.exists(os.path.join(folder, "escapeplot_simd128.js")) else None
                if ms is not None:
                    runs.setdefault((folder, name), []).append(ms)
    print("| pages | build and path | quickest burst of %d | median |" % ROUNDS)
    print("|---|---|---|---|")
    for (folder, what), times in runs.items():
        times.sort()
        print("| %s | %s | %.0f ms | %.0f ms |" % (folder, what, times[0], times[len(times) // 2]))


if __name__ == "__main__":
    main()
