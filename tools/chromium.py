"""Headless Chromium over its DevTools protocol, for the web pages' tests,
benchmarks and screenshots.

Serves a folder on 127.0.0.1 under a sub-path, as a static host may, opens
one of its pages in a fresh Chromium profile (a service worker outlives its
page), presses keys, clicks, resizes the window and reads the canvas back.
Everything waits by polling with a timeout, never by a fixed sleep.
"""
import base64
import functools
import http.server
import json
import os
import shutil
import subprocess
import sys
import tempfile
import threading
import time

import websocket

CHROMIUM_FLAGS = [
    "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
    "--disable-background-networking", "--disable-component-update", "--disable-sync",
    "--remote-debugging-port=0",
]

# DOM key names and the Windows virtual-key codes that the page sees as keyCode.
KEYS = {
    "ArrowLeft": 37, "ArrowUp": 38, "ArrowRight": 39, "ArrowDown": 40,
    "Escape": 27, "Space": 32, "KeyA": 65, "Enter": 13, "Tab": 9,
}
SHIFT = 8  # the modifiers bit of Input.dispatchKeyEvent

# Where the served folder appears on the server.
SUB_PATH = "/fractals/app/"

# Every Content-Security-Policy violation of a page, kept in the page.
RECORD_VIOLATIONS = """window.policyViolations = [];
document.addEventListener('securitypolicyviolation',
    e => policyViolations.push(e.violatedDirective + ' ' + e.blockedURI));"""


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    extensions_map = {**http.server.SimpleHTTPRequestHandler.extensions_map,
                      ".wasm": "application/wasm", ".js": "text/javascript",
                      ".webmanifest": "application/manifest+json"}

    def log_message(self, *args):
        pass

    def translate_path(self, path):
        if not path.startswith(SUB_PATH):
            return os.path.join(self.directory, "no such file")
        return super().translate_path(path[len(SUB_PATH) - 1:])


def serve(folder, port=0):
    """Serves folder on 127.0.0.1 under SUB_PATH at port, a free one by
    default; returns the server."""
    handler = functools.partial(QuietHandler, directory=folder)
    server = http.server.ThreadingHTTPServer(("127.0.0.1", port), handler)
    # A short poll, since shutting the server down waits for one.
    threading.Thread(target=server.serve_forever, kwargs={"poll_interval": 0.02}, daemon=True).start()
    return server


def url_of(server, page):
    """The address of page of the folder that server serves."""
    return "http://127.0.0.1:%d%s%s" % (server.server_address[1], SUB_PATH, page)


def wait_for(probe, timeout=20.0, what="the expected state"):
    """Calls probe until it returns something truthy; fails after timeout seconds."""
    deadline = time.monotonic() + timeout
    while True:
        value = probe()
        if value:
            return value
        if time.monotonic() > deadline:
            raise TimeoutError("timed out waiting for " + what)
        time.sleep(0.02)


class Browser:
    """One headless Chromium with one page, driven over a flat DevTools session."""

    def __init__(self, folder, width=800, height=600, downloads=None):
        self.server = serve(folder)
        self.profile = tempfile.mkdtemp(prefix="chromium-profile-")
        chromium = shutil.which("chromium") or "/usr/bin/chromium"
        self.process = subprocess.Popen(
            [chromium, *CHROMIUM_FLAGS, "--user-data-dir=" + self.profile,
             "--window-size=%d,%d" % (width, height), "about:blank"],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.next_id = 0
        self.events = []
        try:
            self._connect()
            if downloads is not None:
                self.call("Browser.setDownloadBehavior", behavior="allow",
                          downloadPath=downloads, eventsEnabled=True, session=False)
            target = self.call("Target.createTarget", url="about:blank", session=False)
            self.target = target["targetId"]
            self.session = self.call("Target.attachToTarget", targetId=self.target,
                                     flatten=True, session=False)["sessionId"]
            self.call("Page.enable")
            self.call("Runtime.enable")
            self.call("Page.addScriptToEvaluateOnNewDocument", source=RECORD_VIOLATIONS)
        except BaseException:
            self.close()
            raise

    def _connect(self):
        active = os.path.join(self.profile, "DevToolsActivePort")

        def port_and_path():
            if not os.path.exists(active):
                return None
            with open(active) as lines:
                words = lines.read().split()
            return words[:2] if len(words) >= 2 else None

        port, path = wait_for(port_and_path, what="Chromium's DevTools port")
        self.devtools_port = int(port)
        self.socket = websocket.create_connection("ws://127.0.0.1:%s%s" % (port, path),
                                                  timeout=60, suppress_origin=True)

    def call(self, method, session=True, **params):
        """Sends one command and returns its result; events met meanwhile are kept."""
        self.next_id += 1
        message = {"id": self.next_id, "method": method, "params": params}
        if session:
            message["sessionId"] = self.session
        self.socket.send(json.dumps(message))
        while True:
            reply = json.loads(self.socket.recv())
            if reply.get("id") == self.next_id:
                if "error" in reply:
                    raise RuntimeError("%s: %s" % (method, reply["error"]))
                return reply.get("result", {})
            if "method" in reply:
                self.events.append(reply)

    def url(self, page):
        return url_of(self.server, page)

    @property
    def port(self):
        return self.server.server_address[1]

    def stop_serving(self):
        self.server.shutdown()
        self.server.server_close()

    def serve_again(self, folder):
        """Serves folder at the address the stopped server had."""
        self.server = serve(folder, self.port)

    def open(self, page):
        """Loads page of the served folder and waits until its document has
        loaded (the document left behind is marked, so as not to be taken
        for it)."""
        self.evaluate("window.leftBehind = true")
        self.call("Page.navigate", url=self.url(page))

        def loaded():
            try:
                return self.evaluate("!window.leftBehind && document.readyState") == "complete"
            except RuntimeError:  # the document is still being replaced
                return False
        wait_for(loaded, what=page + " to load")

    def evaluate(self, expression):
        result = self.call("Runtime.evaluate", expression=expression, returnByValue=True,
                           awaitPromise=True)
        if "exceptionDetails" in result:
            raise RuntimeError(json.dumps(result["exceptionDetails"])[:2000])
        return result["result"].get("value")

    def key(self, name, repeats=0):
        """One press and release of a key, as the keyboard sends them, with
        the given number of the keyboard's repeats while it is held."""
        code = KEYS[name]
        key = " " if name == "Space" else name[3:].lower() if name.startswith("Key") else name
        # Enter also types its character, which is what activates a button.
        down, text = ("keyDown", {"text": "\r"}) if name == "Enter" else ("rawKeyDown", {})
        for kind, repeat in [(down, False)] + [(down, True)] * repeats + [("keyUp", False)]:
            self.call("Input.dispatchKeyEvent", type=kind, key=key, code=name, autoRepeat=repeat,
                      windowsVirtualKeyCode=code, nativeVirtualKeyCode=code,
                      **(text if kind == down else {}))

    def tab(self, shift=False):
        """Tab, or Shift+Tab as a keyboard sends it: Shift down, Tab, Shift up."""
        shift_key = dict(key="Shift", code="ShiftLeft", windowsVirtualKeyCode=16, nativeVirtualKeyCode=16)
        tab_key = dict(key="Tab", code="Tab", windowsVirtualKeyCode=9, nativeVirtualKeyCode=9)
        modifiers = SHIFT if shift else 0
        if shift:
            self.call("Input.dispatchKeyEvent", type="rawKeyDown", modifiers=SHIFT, location=1, **shift_key)
        self.call("Input.dispatchKeyEvent", type="rawKeyDown", modifiers=modifiers, **tab_key)
        self.call("Input.dispatchKeyEvent", type="keyUp", modifiers=modifiers, **tab_key)
        if shift:
            self.call("Input.dispatchKeyEvent", type="keyUp", location=1, **shift_key)

    def policy_violations(self):
        return self.evaluate("policyViolations")

    def click(self, x, y, count=1):
        """Left clicks at (x, y) of the page; count 2 is a double click."""
        for n in range(1, count + 1):
            for kind in ("mousePressed", "mouseReleased"):
                self.call("Input.dispatchMouseEvent", type=kind, x=x, y=y, button="left",
                          buttons=1 if kind == "mousePressed" else 0, clickCount=n)

    def resize(self, width, height):
        """Gives the page's viewport a new size, as resizing the browser window does."""
        self.call("Emulation.setDeviceMetricsOverride", width=width, height=height,
                  deviceScaleFactor=1, mobile=False)

    def phone(self, width=390, height=844, scale=3):
        """Makes the page a phone's: its screen in CSS pixels, its device-pixel
        ratio, a mobile viewport and touch instead of a mouse."""
        self.call("Emulation.setDeviceMetricsOverride", width=width, height=height,
                  deviceScaleFactor=scale, mobile=True)
        self.call("Emulation.setTouchEmulationEnabled", enabled=True, maxTouchPoints=5)

    def centre(self, selector):
        """The centre of the first element that selector matches, in CSS
        pixels of the viewport, once the page has scrolled it into view."""
        return self.evaluate("(() => { const e = document.querySelector(%s);"
                             " e.scrollIntoView({block: 'nearest', behavior: 'instant'});"
                             " const r = e.getBoundingClientRect();"
                             " return [r.left + r.width / 2, r.top + r.height / 2]; })()"
                             % json.dumps(selector))

    def tap(self, selector):
        """One finger's tap on the centre of the element that selector matches."""
        x, y = self.centre(selector)
        self.call("Input.dispatchTouchEvent", type="touchStart", touchPoints=[{"x": x, "y": y}])
        self.call("Input.dispatchTouchEvent", type="touchEnd", touchPoints=[])

    def canvas(self):
        """The page's canvas as (width, height, RGBA bytes)."""
        value = self.evaluate("""(() => {
            const c = document.getElementById('canvas');
            const d = c.getContext('2d').getImageData(0, 0, c.width, c.height).data;
            let s = '';
            for (let i = 0; i < d.length; i += 0x8000)
              s += String.fromCharCode.apply(null, d.subarray(i, i + 0x8000));
            return [c.width, c.height, btoa(s)];
        })()""")
        return value[0], value[1], base64.b64decode(value[2])

    def downloads_completed(self):
        return [e["params"] for e in self.events
                if e["method"] == "Browser.downloadProgress" and e["params"]["state"] == "completed"]

    def pump(self):
        """Reads the events that have arrived without sending a command."""
        self.call("Runtime.evaluate", expression="0")

    def main_thread_share(self, seconds):
        """The share of the page's main thread taken over the next seconds:
        its processor time (ThreadTime) and the time its tasks ran
        (TaskDuration), each divided by the time that passed."""
        def metrics():
            values = self.call("Performance.getMetrics")["metrics"]
            return {m["name"]: m["value"] for m in values}
        self.call("Performance.enable")
        before, start = metrics(), time.monotonic()
        time.sleep(seconds)
        after, passed = metrics(), time.monotonic() - start
        return [(after[k] - before[k]) / passed for k in ("ThreadTime", "TaskDuration")]

    def set_hidden(self, hidden):
        """Hides the page, as another tab or a locked phone does, or shows it
        again: what the page's code reads and the event it is told by."""
        self.evaluate("Object.defineProperty(document, 'hidden', { configurable: true, get: () => %s });"
                      " document.dispatchEvent(new Event('visibilitychange'))" % ("true" if hidden else "false"))

    def close(self):
        try:
            if getattr(self, "socket", None) is not None:
                self.socket.close()
        finally:
            self.process.kill()
            self.process.wait()
            self.stop_serving()
            shutil.rmtree(self.profile, ignore_errors=True)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()


def black_pixels(rgba):
    """How many pixels of an RGBA image are opaque black."""
    pixels = memoryview(rgba).cast("I").tolist()
    return pixels.count(int.from_bytes(b"\0\0\0\xff", sys.byteorder))
