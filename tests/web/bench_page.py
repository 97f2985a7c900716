#!/usr/bin/env python3
"""Presents per second of every scene in each browser beside the native demo-bench, on the
same schedule: the player's at 60 Hz (120 show frames a second, the one between two
presents without pixels), N presents timed in each scene, each finished before the next.

Usage: bash tests/web/with-display.bash python3 tests/web/bench_page.py SITE_DIR NATIVE_BUILD_DIR [WxH] [PRESENTS_PER_SCENE]
WEB_TEST_BROWSERS names the browsers (default "chromium firefox")."""
import json
import os
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import browser  # noqa: E402

SCENES = ["opening cube", "start picture", "warp sweep", "particles", "picture beats",
          "warp still", "slideshow", "greetings", "lumenkarp", "closing cube"]


def browser_scenes(name, site, size, frames):
    server, address = browser.serve(site)
    try:
        with browser.start(name) as page:
            page.open(address + "index.html?bench=%d&size=%s" % (frames, size))
            page.wait_for("document.title == 'bench done'", timeout=3600, poll=1)
            for level, text in page.console():
                if level == "log" and text.startswith('{"scenes"'):
                    return page.name, json.loads(text)["scenes"]
    finally:
        server.shutdown()
    raise SystemExit("bench_page: %s printed no result" % name)


def main():
    site, native = (os.path.abspath(p) for p in sys.argv[1:3])
    size = sys.argv[3] if len(sys.argv) > 3 else "1280x720"
    frames = int(sys.argv[4]) if len(sys.argv) > 4 else 300
    pages = [browser_scenes(name, site, size, frames)
             for name in os.environ.get("WEB_TEST_BROWSERS", "chromium firefox").split()]
    report = subprocess.run([os.path.join(native, "tools/bench/demo-bench"), "--size", size,
                             "--frames", str(frames), "--json"],
                            cwd=native, check=True, capture_output=True, text=True).stdout
    desktop = json.loads(report)["scenes"]
    print("%s, %d presents per scene" % (size, frames))
    print("%-24s" % "scene" + "".join("%18s" % (name + " fps") for name, _ in pages) + "%18s" % "native fps")
    for i, scene in enumerate(SCENES):
        print("%-24s" % ("%d %s" % (i, scene)) +
              "".join("%7.1f (%6.2f ms)" % (s[i]["fps"], s[i]["p50_ms"]) for _, s in pages + [("", desktop)]))


if __name__ == "__main__":
    main()
