#!/usr/bin/python3
"""The pages waiting for input, in headless Chromium: the share of the page's
main thread (its processor time, ThreadTime of Performance.getMetrics, and
the time its tasks took, TaskDuration) over SECONDS of waiting, escapeplot
after its first image; for tetrachaos, which turns by design, also the share
while its page is hidden, and whether its canvas then stays still. Each pages
folder given is measured in turn, side by side.

Run as: web_idle.py PAGES_FOLDER [PAGES_FOLDER ...]  (make web builds build/web/pages)
"""
import os
import sys
import time

root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(root, "tools"))
from chromium import Browser, black_pixels, wait_for  # noqa: E402
from web_test import CANVAS_HASH  # noqa: E402

SECONDS = 10


def measure(folder, page):
    with Browser(folder) as browser:
        browser.open(page + ".html")
        wait_for(lambda: browser.evaluate("typeof Module._pressKey == 'function' || !!Module.webwin"),
                 what=page + " to start")
        if page == "escapeplot":
            browser.evaluate("Module._pressKey(39)")
            wait_for(lambda: black_pixels(browser.canvas()[2]) == 234495, what="limit 2")
        time.sleep(1)
        row = browser.main_thread_share(SECONDS)
        if page == "tetrachaos":
            browser.set_hidden(True)
            time.sleep(1)
            shown = browser.evaluate(CANVAS_HASH)
            row += browser.main_thread_share(SECONDS)[:1]
            row.append(browser.evaluate(CANVAS_HASH) == shown)
            browser.set_hidden(False)
            wait_for(lambda: browser.evaluate(CANVAS_HASH) != shown, what="a new frame once shown")
        return row


def main():
    print("| pages | page | main thread busy (processor) | main thread busy (tasks) | hidden | still when hidden |")
    print("|---|---|---|---|---|---|")
    for folder in sys.argv[1:]:
        for page in ("escapeplot", "ngonchaos", "ruletri", "tetrachaos"):
            row = measure(folder, page)
            hidden = "%.2f %% | %s" % (100 * row[2], "yes" if row[3] else "no") if len(row) > 2 else " | "
            print("| %s | %s | %.2f %% | %.2f %% | %s |" % (folder, page, 100 * row[0], 100 * row[1], hidden))


if __name__ == "__main__":
    main()
