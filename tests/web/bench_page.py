#!/usr/bin/env python3
"""Frames per second of every scene in headless Chromium beside the native demo-bench, with
the same frame plan: N frames spread over each scene, each finished before the next.

Usage: bench_page.py SITE_DIR NATIVE_BUILD_DIR [WxH] [FRAMES_PER_SCENE]"""
import functools
import http.server
import json
import os
import subprocess
import sys
import threading

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from chromium import Browser  # noqa: E402

SCENES = ["opening cube", "start picture", "warp sweep", "particles", "picture beats",
          "warp still", "slideshow", "greetings", "lumenkarp", "closing cube"]


class Quiet(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass


def browser_scenes(site, size, frames):
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), functools.partial(Quiet, directory=site))
    threading.Thread(target=server.serve_forever, daemon=True).start()
    try:
        with Browser() as browser:
            browser.page("Runtime.enable")
            browser.page("Page.navigate", url="http://127.0.0.1:%d/index.html?bench=%d&size=%s" %
                         (server.server_address[1], frames, size))
            browser.wait_for("document.title == 'bench done'", timeout=3600, poll=1)
            for event in browser.drain_events():
                if event["method"] == "Runtime.consoleAPICalled":
                    text = str(event["params"]["args"][0].get("value", ""))
                    if text.startswith('{"scenes"'):
                        return json.loads(text)["scenes"]
    finally:
        server.shutdown()
    raise SystemExit("bench_page: the page printed no result")


def main():
    site, native = (os.path.abspath(p) for p in sys.argv[1:3])
    size = sys.argv[3] if len(sys.argv) > 3 else "1280x720"
    frames = int(sys.argv[4]) if len(sys.argv) > 4 else 300
    page = browser_scenes(site, size, frames)
    report = subprocess.run([os.path.join(native, "tools/bench/demo-bench"), "--size", size,
                             "--frames", str(frames), "--json"],
                            cwd=native, check=True, capture_output=True, text=True).stdout
    desktop = json.loads(report)["scenes"]
    print("%s, %d frames per scene" % (size, frames))
    print("%-24s %16s %16s" % ("scene", "Chromium fps", "native fps"))
    for i, name in enumerate(SCENES):
        print("%-24s %7.1f (%5.1f ms) %7.1f (%5.1f ms)" % ("%d %s" % (i, name), page[i]["fps"],
              page[i]["p50_ms"], desktop[i]["fps"], desktop[i]["p50_ms"]))


if __name__ == "__main__":
    main()
