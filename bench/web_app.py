#!/usr/bin/python3
"""The pages as an app, measured: Lighthouse's default mobile run (simulated
slow 4G and a 4x slower processor) of the index and each page, its four
scores and the figures behind performance, then the files the service worker
caches, raw and gzipped.

Run as: bench/web_app.py [PAGES_FOLDER]   (build/web/pages by default)
Lighthouse comes from the web tests' tools, build/web-tools/node_modules
(configuring the native build installs them), or the folder WEB_TOOLS names.
"""
import gzip
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile

root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(root, "tools"))
from chromium import CHROMIUM_FLAGS, serve, url_of  # noqa: E402

pages = sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, "build", "web", "pages")
tools = os.environ.get("WEB_TOOLS", os.path.join(root, "build", "web-tools", "node_modules"))
cli = os.path.join(tools, "lighthouse", "cli", "index.js")
flags = " ".join(f for f in CHROMIUM_FLAGS if not f.startswith("--remote-debugging"))
environment = dict(os.environ, CHROME_PATH=shutil.which("chromium") or "/usr/bin/chromium")
METRICS = ("first-contentful-paint", "largest-contentful-paint", "total-blocking-time",
           "cumulative-layout-shift", "speed-index")

server = serve(pages)
print("| page | performance | accessibility | best practices | SEO | FCP | LCP | TBT | CLS | SI |")
print("|---|---|---|---|---|---|---|---|---|---|")
try:
    with tempfile.TemporaryDirectory() as reports:
        for page in ("index", "tetrachaos", "ngonchaos", "ruletri", "escapeplot"):
            report = os.path.join(reports, page + ".json")
            subprocess.run(["node", cli, url_of(server, page + ".html"), "--quiet", "--output=json",
                            "--output-path=" + report, "--chrome-flags=" + flags], env=environment, check=True)
            with open(report) as lines:
                result = json.load(lines)
            scores = [round(100 * result["categories"][c]["score"])
                      for c in ("performance", "accessibility", "best-practices", "seo")]
            figures = [result["audits"][m]["displayValue"].replace("\u00a0", " ") for m in METRICS]
            print("| %s | %s |" % (page, " | ".join(map(str, scores + figures))))
finally:
    server.shutdown()
    server.server_close()

with open(os.path.join(pages, "sw.js")) as worker:
    cached = re.findall(r"^  '([^']+)',$", worker.read(), re.M)
raw = zipped = 0
print("\n| cached file | bytes | gzipped |")
print("|---|---|---|")
for name in cached:
    with open(os.path.join(pages, name), "rb") as f:
        data = f.read()
    raw += len(data)
    zipped += len(gzip.compress(data, 9, mtime=0))
    print("| %s | %d | %d |" % (name, len(data), len(gzip.compress(data, 9, mtime=0))))
print("| all %d files | %.1f KB | %.1f KB |" % (len(cached), raw / 1024, zipped / 1024))
