#!/usr/bin/env python3
"""The web page in headless Chromium (SwiftShader WebGL), served over 127.0.0.1.

Usage: page_tests.py SITE_DIR NATIVE_BUILD_DIR
  SITE_DIR          build-web/site (index.html and the program)
  NATIVE_BUILD_DIR  a native build with data/ and tools/capture/demo-capture
"""
import functools
import hashlib
import http.server
import os
import re
import subprocess
import sys
import tempfile
import threading
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from chromium import Browser  # noqa: E402
from frames import difference, read_png  # noqa: E402

SITE, NATIVE = (os.path.abspath(p) for p in sys.argv[1:3])
del sys.argv[1:3]

SIZE = (640, 360)  # pixels
# One moment of every scene, ms, each a show frame (120 a second, on both sides); the last
# is the show's last show frame, so its run goes through the whole timeline.
MOMENTS = [11000, 21000, 28000, 35000, 55000, 64000, 70000, 75000, 80000, 90591]
MAX_MEAN_DIFFERENCE = 2.0   # of 255, per channel
MAX_FAR_SHARE = 0.01        # pixels with a channel off by more than 16

# Console lines every run prints: the GL emulation's notices at start-up, and SwiftShader's
# performance notes.
EXPECTED_NOTICES = re.compile(r"^WARNING: using emscripten GL (emulation|immediate mode emulation)\."
                              r"|GL Driver Message \(OpenGL, Performance")


class Quiet(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass


def setUpModule():
    global server, base, browser, captures
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), functools.partial(Quiet, directory=SITE))
    threading.Thread(target=server.serve_forever, daemon=True).start()
    base = "http://127.0.0.1:%d/index.html" % server.server_address[1]
    captures = tempfile.mkdtemp(prefix="web-test-frames-")
    subprocess.run([os.path.join(NATIVE, "tools/capture/demo-capture"), "--size", "%dx%d" % SIZE,
                    "--at", ",".join(map(str, MOMENTS)), "--png", captures],
                   cwd=NATIVE, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    browser = Browser()
    for domain in ("Runtime", "Log", "Page"):
        browser.page(domain + ".enable")


def tearDownModule():
    browser.close()
    server.shutdown()
    for name in os.listdir(captures):
        os.remove(os.path.join(captures, name))
    os.rmdir(captures)


def open_page(query=""):
    browser.drain_events()
    browser.page("Page.navigate", url=base + query)
    browser.wait_for("location.href == '%s' && document.body && document.body.dataset.state" % (base + query),
                     timeout=30)


def console_problems():
    """Exceptions, errors and warnings since the page was opened, other than the expected."""
    problems = []
    for event in browser.drain_events():
        method, params = event["method"], event["params"]
        if method == "Runtime.exceptionThrown":
            problems.append(params["exceptionDetails"].get("exception", {}).get("description", str(params)))
        elif method == "Runtime.consoleAPICalled" and params["type"] in ("error", "warning", "assert"):
            problems.append(" ".join(str(a.get("value", a.get("description"))) for a in params["args"]))
        elif method == "Log.entryAdded" and params["entry"]["level"] in ("error", "warning"):
            problems.append(params["entry"]["text"])
    return [p for p in problems if not EXPECTED_NOTICES.search(p)]


def console_lines(events):
    return [" ".join(str(a.get("value")) for a in e["params"]["args"])
            for e in events if e["method"] == "Runtime.consoleAPICalled" and e["params"]["type"] == "log"]


class FrameHook(unittest.TestCase):
    def test_every_scene_draws_the_captured_frame(self):
        # Each moment is a page of its own, run from clock value 0 on the simulated clock.
        for moment in MOMENTS:
            with self.subTest(moment=moment):
                open_page("?at=%d&size=%dx%d" % ((moment,) + SIZE))
                browser.wait_for("document.title == 'frame %d'" % moment, timeout=240)
                page = read_png(browser.screenshot_png(*SIZE))
                with open(os.path.join(captures, "frame-%05d.png" % moment), "rb") as f:
                    native = read_png(f.read())
                mean, far = difference(page, native)
                print("frame %5d ms: mean difference %.3f of 255, %.3f %% of pixels off by more than 16"
                      % (moment, mean, 100 * far), file=sys.stderr)
                self.assertLessEqual(mean, MAX_MEAN_DIFFERENCE, "mean difference at %d ms" % moment)
                self.assertLessEqual(far, MAX_FAR_SHARE, "pixels far off at %d ms" % moment)
                self.assertEqual(console_problems(), [], "console at %d ms" % moment)

    def test_show_reads_the_generated_data_unchanged(self):
        open_page("?at=0&size=%dx%d" % SIZE)
        browser.wait_for("document.title == 'frame 0'", timeout=60)
        for name in sorted(os.listdir(os.path.join(NATIVE, "data"))):
            with open(os.path.join(NATIVE, "data", name), "rb") as f:
                expected = hashlib.sha256(f.read()).hexdigest()
            page = browser.evaluate(
                "crypto.subtle.digest('SHA-256', show.FS.readFile('/data/%s')).then(d =>"
                " Array.from(new Uint8Array(d), b => b.toString(16).padStart(2, '0')).join(''))" % name)
            self.assertEqual(page, expected, name)


def click_on(element_id):
    """A real click in the middle of the element."""
    x, y = browser.evaluate("(r => [r.x + r.width / 2, r.y + r.height / 2])"
                            "(document.getElementById('%s').getBoundingClientRect())" % element_id)
    browser.click(x, y)


class Player(unittest.TestCase):
    def wait_for_state(self, state, within):
        started = time.monotonic()
        browser.wait_for("document.body.dataset.state == '%s'" % state, timeout=within)
        return time.monotonic() - started

    def test_soundtrack_keys_and_play_again(self):
        open_page()
        self.wait_for_state("ready", within=60)
        click_on("start")
        self.wait_for_state("playing", within=30)
        # The browser decoded the whole soundtrack.
        self.assertGreaterEqual(browser.evaluate("audio.buffer.duration"), 91)
        # Space prints the clock value, as the program does on standard output; the clock
        # follows the music heard, which starts at clock value 0.
        heard = "audio.heardSeconds(performance.now()) * 1000"
        heard_before = browser.evaluate(heard)
        browser.key(" ", "Space", 32)
        deadline, printed = time.monotonic() + 10, []
        while not printed and time.monotonic() < deadline:
            time.sleep(0.1)
            printed = [int(line) for line in console_lines(browser.drain_events()) if line.isdigit()]
        heard_after = browser.evaluate(heard)
        self.assertTrue(printed, "no clock value printed for Space")
        self.assertGreater(heard_before, 0, "no music heard")
        self.assertTrue(heard_before - 100 <= printed[0] <= heard_after + 100,
                        "clock %d ms, music heard %d..%d ms" % (printed[0], heard_before, heard_after))
        # Ten Enter presses skip all ten scenes: the end screen comes long before the show's end.
        for _ in range(10):
            browser.key("Enter", "Enter", 13)
        self.wait_for_state("ended", within=30)
        # Play again: a fresh run, which Escape ends.
        click_on("again")
        self.wait_for_state("playing", within=30)
        browser.key("Escape", "Escape", 27)
        self.wait_for_state("ended", within=20)
        self.assertEqual(console_problems(), [])
        # A soundtrack the browser could not decode: the start-up failure's line on the end screen.
        browser.evaluate("audio.buffer = null, audio.failure = 10")
        click_on("again")
        browser.wait_for("document.getElementById('end-text').textContent.startsWith('Error: ')", timeout=30)
        self.assertEqual(browser.evaluate("document.body.dataset.state"), "ended")


if __name__ == "__main__":
    unittest.main(verbosity=2)
