#!/usr/bin/python3
"""Takes docs/web.png: the index page of the web build (build/web/pages, made
by `make web`) in headless Chromium."""
import base64
import os
import sys

root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(root, "tools"))
from chromium import Browser  # noqa: E402

pages = os.path.join(root, "build", "web", "pages")
if not os.path.exists(os.path.join(pages, "index.html")):
    sys.exit("Build first: make web")
with Browser(pages) as browser:
    browser.resize(760, 540)
    browser.open("index.html")
    shot = browser.call("Page.captureScreenshot", format="png")
with open(os.path.join(root, "docs", "web.png"), "wb") as out:
    out.write(base64.b64decode(shot["data"]))
