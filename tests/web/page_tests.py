#!/usr/bin/env python3
"""The web page in headless Chromium (SwiftShader WebGL) and Firefox, served over 127.0.0.1.
Runs under tests/web/with-display.bash, which gives Firefox its X display and both browsers
a sound output (a private PulseAudio server).

Usage: page_tests.py SITE_DIR NATIVE_BUILD_DIR
  SITE_DIR          build-web/site (index.html and the program)
  NATIVE_BUILD_DIR  a native build with data/ and tools/capture/demo-capture
WEB_TEST_BROWSERS names the browsers to test (default "chromium firefox").
"""
import base64
import hashlib
import os
import re
import subprocess
import sys
import tempfile
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import browser  # noqa: E402
from frames import difference, read_png  # noqa: E402

SITE, NATIVE = (os.path.abspath(p) for p in sys.argv[1:3])
del sys.argv[1:3]
BROWSERS = os.environ.get("WEB_TEST_BROWSERS", "chromium firefox").split()

SIZE = (640, 360)  # pixels
# One moment of every scene, ms, each a show frame (120 a second, on both sides); the last
# is the show's last show frame, so its run goes through the whole timeline.
MOMENTS = [11000, 21000, 28000, 35000, 55000, 64000, 70000, 75000, 80000, 90591]
MAX_MEAN_DIFFERENCE = 2.0   # of 255, per channel
MAX_FAR_SHARE = 0.01        # pixels with a channel off by more than 16
OUTPUT_WAIT = 10            # s: the page's longest wait for the sound output (index.html)
NO_OUTPUT_LINE = "Error: Error initializing output device."
RATE = 120                  # show frames per second of a playing page (the player's default)
MIX_RATE = 44100            # Hz: the sound layer counts the music's samples at this rate
# The transport test's address: a start in the particle scene, where the particles glide into
# the text, and a loop of that scene; and where it clicks the seek bar, within the loop.
ADDRESS_START = 47000       # ms, a show frame
ADDRESS_LOOP = (32096, 48096)  # ms
BAR_SEEK = 40000            # ms

# Replaces the page's requestAnimationFrame so that each callback that presented a frame,
# while catchFrames(n) still wants some, leaves the canvas as a PNG with the program's state
# in framesCaught. It reads the canvas in the task that drew it: the browser clears the
# drawing buffer once it has presented it.
CATCH_FRAMES = r"""(() => {
  window.framesCaught = [];
  const showState = () => JSON.parse(show.UTF8ToString(show._show_state()));
  const request = window.requestAnimationFrame.bind(window);
  let wanted = 0, instance = null, presents = 0;  // presents of that instance of the program seen
  window.catchFrames = (count) => {
    wanted = count;
    instance = show;
    presents = show ? showState().presents : 0;
  };
  window.requestAnimationFrame = (callback) => request((time) => {
    callback(time);
    if (wanted === 0 || !show) return;
    if (show !== instance) [instance, presents] = [show, 0];  // a new run
    const state = showState();
    if (state.presents === presents) return;
    presents = state.presents;
    wanted--;
    framesCaught.push({state, png: show.canvas.toDataURL("image/png")});
  });
})()"""


def frame_at(ms):
    """Index of the show frame seen at ms: the first at or past it."""
    return -(-ms * RATE // 1000)


def native_frame(moment):
    """demo-capture's frame at the moment (--at), at SIZE, as read_png gives it."""
    path = os.path.join(captures, "frame-%05d.png" % (frame_at(moment) * 1000 // RATE))  # its clock value
    if not os.path.exists(path):
        subprocess.run([os.path.join(NATIVE, "tools/capture/demo-capture"), "--size", "%dx%d" % SIZE,
                        "--at", str(moment), "--png", captures],
                       cwd=NATIVE, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    with open(path, "rb") as f:
        return read_png(f.read())

# Console lines every run prints: the GL emulation's notices at start-up, and SwiftShader's
# performance notes.
EXPECTED_NOTICES = re.compile(r"^WARNING: using emscripten GL (emulation|immediate mode emulation)\."
                              r"|GL Driver Message \(OpenGL, Performance")


def setUpModule():
    global server, base, captures
    if not os.environ.get("DISPLAY") or not os.environ.get("PULSE_SERVER"):
        raise SystemExit("page_tests.py runs under tests/web/with-display.bash (an X display and a sound output)")
    server, address = browser.serve(SITE)
    base = address + "index.html"
    captures = tempfile.mkdtemp(prefix="web-test-frames-")
    subprocess.run([os.path.join(NATIVE, "tools/capture/demo-capture"), "--size", "%dx%d" % SIZE,
                    "--at", ",".join(map(str, MOMENTS)), "--png", captures],
                   cwd=NATIVE, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def tearDownModule():
    server.shutdown()
    for name in os.listdir(captures):
        os.remove(os.path.join(captures, name))
    os.rmdir(captures)


class PageTest(unittest.TestCase):
    """Tests of one browser (the subclasses made for each of BROWSERS at the end)."""
    browser_name = ""
    sound_output = True  # False: the browser starts where no sound server answers

    @classmethod
    def setUpClass(cls):
        env = None
        if not cls.sound_output:
            cls.no_server = tempfile.mkdtemp(prefix="web-test-no-sound-")
            env = dict(os.environ, PULSE_SERVER="unix:" + os.path.join(cls.no_server, "none"))
        cls.browser = browser.start(cls.browser_name, env)

    @classmethod
    def tearDownClass(cls):
        cls.browser.close()
        if not cls.sound_output:
            os.rmdir(cls.no_server)

    def open_page(self, query=""):
        self.browser.open(base + query)

    def console_problems(self):
        """Errors and warnings since the last look, other than the expected."""
        return [text for level, text in self.browser.console()
                if level != "log" and not EXPECTED_NOTICES.search(text)]

    def click_on(self, element_id):
        """A real click in the middle of the element."""
        x, y = self.browser.evaluate("(r => [r.x + r.width / 2, r.y + r.height / 2])"
                                     "(document.getElementById('%s').getBoundingClientRect())" % element_id)
        self.browser.click(x, y)

    def wait_for_state(self, states, within):
        """Waits until the page is in one of the states (a space-separated list); returns it."""
        return self.browser.wait_for("%r.split(' ').includes(document.body.dataset.state)"
                                     " && document.body.dataset.state" % states, timeout=within)

    def assert_like_capture(self, page, moment, what):
        """The page's frame (read_png's form) against demo-capture's at the moment."""
        mean, far = difference(page, native_frame(moment))
        print("%s %s %5d ms: mean difference %.3f of 255, %.3f %% of pixels off by more than 16"
              % (self.browser.name, what, moment, mean, 100 * far), file=sys.stderr)
        self.assertLessEqual(mean, MAX_MEAN_DIFFERENCE, "mean difference of %s at %d ms" % (what, moment))
        self.assertLessEqual(far, MAX_FAR_SHARE, "pixels far off in %s at %d ms" % (what, moment))


class FrameHook(PageTest):
    def test_every_scene_draws_the_captured_frame(self):
        # Each moment is a page of its own, run from clock value 0 on the simulated clock.
        for moment in MOMENTS:
            with self.subTest(moment=moment):
                started = time.monotonic()
                self.open_page("?at=%d&size=%dx%d" % ((moment,) + SIZE))
                self.browser.wait_for("document.title == 'frame %d'" % moment, timeout=240)
                self.assert_like_capture(read_png(self.browser.screenshot_png(*SIZE)), moment,
                                         "frame (%.1f s)" % (time.monotonic() - started))
                self.assertEqual(self.console_problems(), [], "console at %d ms" % moment)

    def test_show_reads_the_generated_data_unchanged(self):
        self.open_page("?at=0&size=%dx%d" % SIZE)
        self.browser.wait_for("document.title == 'frame 0'", timeout=60)
        for name in sorted(os.listdir(os.path.join(NATIVE, "data"))):
            with open(os.path.join(NATIVE, "data", name), "rb") as f:
                expected = hashlib.sha256(f.read()).hexdigest()
            page = self.browser.evaluate(
                "crypto.subtle.digest('SHA-256', show.FS.readFile('/data/%s')).then(d =>"
                " Array.from(new Uint8Array(d), b => b.toString(16).padStart(2, '0')).join(''))" % name)
            self.assertEqual(page, expected, name)


class Player(PageTest):
    def test_soundtrack_keys_and_play_again(self):
        self.open_page()
        self.wait_for_state("ready", within=60)
        self.click_on("start")
        self.wait_for_state("playing", within=OUTPUT_WAIT + 20)
        # The browser decoded the whole soundtrack.
        self.assertGreaterEqual(self.browser.evaluate("audio.buffer.duration"), 91)
        # Space prints the clock value, as the program does on standard output; the clock
        # follows the music heard, which starts at clock value 0.
        heard = "audio.heardSeconds(performance.now()) * 1000"
        heard_before = self.browser.wait_for("Math.max(%s, 0)" % heard, timeout=10)
        self.browser.key("Space")
        deadline, printed = time.monotonic() + 10, []
        while not printed and time.monotonic() < deadline:
            time.sleep(0.1)
            printed = [int(text) for level, text in self.browser.console() if level == "log" and text.isdigit()]
        heard_after = self.browser.evaluate(heard)
        self.assertTrue(printed, "no clock value printed for Space")
        self.assertTrue(heard_before - 100 <= printed[0] <= heard_after + 100,
                        "clock %d ms, music heard %d..%d ms" % (printed[0], heard_before, heard_after))
        # Ten Enter presses skip all ten scenes: the end screen comes long before the show's end.
        for _ in range(10):
            self.browser.key("Enter")
        self.wait_for_state("ended", within=30)
        # Play again: a fresh run, which Escape ends.
        self.click_on("again")
        self.wait_for_state("playing", within=OUTPUT_WAIT + 20)
        self.browser.key("Escape")
        self.wait_for_state("ended", within=20)
        self.assertEqual(self.console_problems(), [])
        # A soundtrack the browser could not decode: the start-up failure's line on the end screen.
        self.browser.evaluate("audio.buffer = null, audio.failure = 10")
        self.click_on("again")
        self.browser.wait_for("document.getElementById('end-text').textContent.startsWith('Error: ')", timeout=30)
        self.assertEqual(self.browser.evaluate("document.body.dataset.state"), "ended")
        self.assertEqual(self.browser.evaluate("document.getElementById('end-text').textContent"),
                         "Error: Unknown file format")


class Transport(PageTest):
    """The show moved from the address, the keys and the control bar, and paused."""

    def wait_for_show(self, condition, within=20):
        """Waits until the program's state s (show_state) satisfies the JavaScript condition;
        returns the state."""
        state = "JSON.parse(show.UTF8ToString(show._show_state()))"
        try:
            return self.browser.wait_for("(s => (%s) && s)(%s)" % (condition, state), timeout=within)
        except browser.ProtocolError as error:
            raise AssertionError("%s; the show's state: %s" % (error, self.browser.evaluate(state))) from None

    def caught_frame(self, within):
        """The next frame framesCaught holds (CATCH_FRAMES): the program's state then, and the
        canvas in read_png's form."""
        self.browser.wait_for("framesCaught.length > 0", timeout=within)
        caught = self.browser.evaluate("framesCaught.shift()")
        return caught["state"], read_png(base64.b64decode(caught["png"].split(",", 1)[1]))

    def test_address_pause_keys_and_seek_bar(self):
        # A #t= the page cannot read: the start screen says so, and the show starts without
        # it, at the start of the loop the address also asks for.
        self.open_page("?size=%dx%d#t=47s&loop=%d-%d" % (SIZE + ADDRESS_LOOP))
        self.wait_for_state("ready", within=60)
        problems = "document.getElementById('address-text').textContent"
        self.assertRegex(self.browser.evaluate(problems), r"^#t=47s cannot be read \(.*\): ignored$")
        self.browser.evaluate(CATCH_FRAMES)
        self.browser.evaluate("catchFrames(1)")
        self.click_on("start")
        state, page = self.caught_frame(within=OUTPUT_WAIT + 30)
        self.assertEqual((state["frame"], state["looping"], state["loopFromMs"], state["loopToMs"]),
                         (frame_at(ADDRESS_LOOP[0]), True) + ADDRESS_LOOP)
        self.assert_like_capture(page, ADDRESS_LOOP[0], "#loop= start")
        # #t= starts at the frame demo-capture --at records there.
        self.browser.key("Escape")
        self.wait_for_state("ended", within=20)
        self.browser.evaluate("location.hash = '#t=%d&loop=%d-%d', catchFrames(1)" % ((ADDRESS_START,) + ADDRESS_LOOP))
        self.click_on("again")
        state, page = self.caught_frame(within=OUTPUT_WAIT + 30)
        self.assertEqual(state["frame"], frame_at(ADDRESS_START))
        self.assert_like_capture(page, ADDRESS_START, "#t=")

        # P holds the frame, the clock and the music.
        self.browser.key("P")
        held = self.wait_for_show("s.paused")
        heard = "audio.heardSeconds(performance.now())"
        time.sleep(1)
        fields = ("frame", "clockMs", "presents", "paused")
        self.assertEqual([self.wait_for_show("true")[f] for f in fields], [held[f] for f in fields])
        self.assertEqual(self.browser.evaluate(heard), -1, "music heard while paused")

        # The transport's keys, paused: each lands on its show frame and stays paused.
        scenes = self.browser.evaluate("timeline.scenes")
        steps = [(".", lambda s: "s.frame === %d" % (s["frame"] + 1)),
                 (",", lambda s: "s.frame === %d" % (s["frame"] - 1)),
                 ("L", lambda s: "!s.looping"),
                 ("ArrowRight", lambda s: "s.frame === %d" % frame_at(s["clockMs"] + 5000)),
                 ("ArrowLeft", lambda s: "s.frame === %d" % frame_at(s["clockMs"] - 5000)),
                 ("Home", lambda s: "s.frame === 0"),
                 ("4", lambda s: "s.frame === %d" % frame_at(scenes[4]["startMs"])),
                 ("L", lambda s: "s.looping && s.loopFromMs === %d && s.loopToMs === %d"
                  % (scenes[4]["startMs"], scenes[4]["endMs"]))]
        state = held
        for key, landing in steps:
            with self.subTest(key=key):
                expected = landing(state)
                self.browser.key(key)
                state = self.wait_for_show("s.paused && %s" % expected)

        # The seek bar, clicked: the frame demo-capture --at records where it was clicked. A
        # hidden bar takes no pointer: the first click may only show it.
        box = self.browser.evaluate("(r => [r.x, r.y, r.width, r.height])(seekBar.getBoundingClientRect())")
        length = self.browser.evaluate("timeline.lengthMs")
        x, y = box[0] + box[2] * (BAR_SEEK + 0.5) / length, box[1] + box[3] / 2
        self.browser.click(x, y)
        self.browser.wait_for("!bar.classList.contains('away')", timeout=10)
        self.browser.evaluate("catchFrames(1)")
        self.browser.click(x, y)
        state, page = self.caught_frame(within=20)
        self.assertTrue(state["paused"])
        self.assertLessEqual(abs(state["clockMs"] - BAR_SEEK), length / box[2] + 1000 / RATE, "seek bar's landing")
        self.assert_like_capture(page, state["clockMs"], "seek bar")
        self.browser.wait_for("seekBar.getAttribute('aria-valuenow') === '%d'" % state["clockMs"], timeout=10)

        # The bar's play button resumes: the music from the held frame's sample on, the clock
        # running from there.
        self.assertEqual(self.browser.evaluate("document.getElementById('play').textContent"), "play")
        self.click_on("play")
        self.wait_for_show("!s.paused && s.clockMs > %d" % state["clockMs"])
        self.browser.wait_for("%s >= 0" % heard, timeout=10)
        self.assertEqual(round(self.browser.evaluate("audio.offset") * MIX_RATE), state["clockMs"] * MIX_RATE // 1000)
        self.assertEqual(self.console_problems(), [])


class NoSoundOutput(PageTest):
    sound_output = False

    def start_and_wait(self):
        """Starts the show with a key; returns the state it came to and the seconds it took."""
        self.open_page()
        self.wait_for_state("ready", within=60)
        started = time.monotonic()
        self.browser.key("Enter")
        state = self.wait_for_state("playing ended", within=OUTPUT_WAIT + 20)
        return state, time.monotonic() - started

    def assert_ended_for_want_of_output(self, waited):
        self.assertEqual(self.browser.evaluate("document.getElementById('end-text').textContent"), NO_OUTPUT_LINE)
        self.assertEqual(self.console_problems(),
                         ["the sound output did not start within %d s" % OUTPUT_WAIT])
        self.assertGreaterEqual(waited, OUTPUT_WAIT - 1)

    def test_the_show_plays_or_says_why_it_cannot(self):
        # Where no sound server answers and there is no sound card, Firefox's output never
        # starts: the page waits a while, then ends with the window player's reason.
        # Chromium plays on a silent output of its own.
        state, waited = self.start_and_wait()
        print("%s without a sound output: %s after %.1f s" % (self.browser.name, state, waited), file=sys.stderr)
        if state == "ended":
            self.assert_ended_for_want_of_output(waited)
        else:
            self.browser.wait_for("audio.heardSeconds(performance.now()) > 0.5", timeout=10)
            self.browser.key("Escape")
            self.wait_for_state("ended", within=20)
            self.assertEqual(self.console_problems(), [])
        # An output that never starts, in any browser: the same end, and play again waits anew.
        self.open_page()
        self.wait_for_state("ready", within=60)
        self.browser.evaluate("audio.context.resume = () => new Promise(() => {})")
        started = time.monotonic()
        self.browser.key("Enter")
        self.assertEqual(self.wait_for_state("ended", within=OUTPUT_WAIT + 20), "ended")
        self.assert_ended_for_want_of_output(time.monotonic() - started)
        started = time.monotonic()
        self.click_on("again")
        self.wait_for_state("starting", within=5)
        self.assertEqual(self.wait_for_state("ended", within=OUTPUT_WAIT + 20), "ended")
        self.assert_ended_for_want_of_output(time.monotonic() - started)


# The tests of each browser: FrameHookFirefox, PlayerChromium, ...
for _name in BROWSERS:
    for _tests in (FrameHook, Player, Transport, NoSoundOutput):
        globals()[_tests.__name__ + _name.capitalize()] = type(_tests.__name__ + _name.capitalize(), (_tests,),
                                                               {"browser_name": _name})
del FrameHook, Player, Transport, NoSoundOutput, _tests, _name


if __name__ == "__main__":
    unittest.main(verbosity=2)
