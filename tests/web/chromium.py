"""Headless Chromium driven over the DevTools protocol (its --remote-debugging-pipe: JSON
messages separated by NUL bytes on file descriptors 3 and 4), standard library only."""
import base64
import json
import os
import queue
import shutil
import subprocess
import tempfile
import threading
import time

FLAGS = ["--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
         "--disable-background-networking", "--disable-component-update", "--disable-sync",
         "--use-angle=swiftshader", "--enable-unsafe-swiftshader", "--force-device-scale-factor=1",
         "--window-size=800,600", "--autoplay-policy=user-gesture-required",
         "--remote-debugging-pipe"]


class ProtocolError(Exception):
    pass


class Browser:
    """One Chromium process with one page; use as a context manager."""

    def __init__(self, program="chromium"):
        self.profile = tempfile.mkdtemp(prefix="web-test-profile-")
        to_browser_read, self._to_browser = os.pipe()
        self._from_browser, from_browser_write = os.pipe()

        def child_fds():
            os.dup2(to_browser_read, 3)
            os.dup2(from_browser_write, 4)

        self.log = open(os.path.join(self.profile, "chromium.log"), "wb")
        self.process = subprocess.Popen(
            [program, *FLAGS, "--user-data-dir=" + self.profile, "about:blank"],
            stdin=subprocess.DEVNULL, stdout=self.log, stderr=self.log,
            preexec_fn=child_fds, pass_fds=(3, 4))
        os.close(to_browser_read)
        os.close(from_browser_write)
        self._next_id = 0
        self._replies = {}
        self._reply_ready = threading.Condition()
        self.events = queue.Queue()
        threading.Thread(target=self._read, daemon=True).start()
        try:
            target = next(t for t in self.call("Target.getTargets")["targetInfos"] if t["type"] == "page")
            self.session = self.call("Target.attachToTarget", targetId=target["targetId"],
                                     flatten=True)["sessionId"]
        except Exception:
            self.close()  # a browser that did not come up is not left running
            raise

    def _read(self):
        buffer = b""
        while True:
            chunk = os.read(self._from_browser, 1 << 16)
            if not chunk:
                break
            buffer += chunk
            *messages, buffer = buffer.split(b"\0")
            for raw in messages:
                message = json.loads(raw)
                if "id" in message:
                    with self._reply_ready:
                        self._replies[message["id"]] = message
                        self._reply_ready.notify_all()
                else:
                    self.events.put(message)
        with self._reply_ready:
            self._replies[None] = None  # the browser is gone
            self._reply_ready.notify_all()

    def call(self, method, session=None, timeout=60, **params):
        self._next_id += 1
        message = {"id": self._next_id, "method": method, "params": params}
        if session:
            message["sessionId"] = session
        os.write(self._to_browser, json.dumps(message).encode() + b"\0")
        deadline = time.monotonic() + timeout
        with self._reply_ready:
            while self._next_id not in self._replies:
                if None in self._replies:
                    raise ProtocolError("the browser exited during " + method)
                if not self._reply_ready.wait(deadline - time.monotonic()):
                    raise ProtocolError(method + ": no reply in %d s" % timeout)
            reply = self._replies.pop(self._next_id)
        if "error" in reply:
            raise ProtocolError(method + ": " + reply["error"].get("message", str(reply["error"])))
        return reply["result"]

    def page(self, method, **params):
        """A command to the page's session."""
        return self.call(method, session=self.session, **params)

    def evaluate(self, expression):
        result = self.page("Runtime.evaluate", expression=expression, returnByValue=True,
                           awaitPromise=True)
        if "exceptionDetails" in result:
            raise ProtocolError(expression + ": " + json.dumps(result["exceptionDetails"]))
        return result["result"].get("value")

    def wait_for(self, expression, timeout, poll=0.1):
        """Polls the page until `expression` is truthy; returns its value."""
        deadline = time.monotonic() + timeout
        while True:
            value = self.evaluate(expression)
            if value:
                return value
            if time.monotonic() > deadline:
                raise ProtocolError("timed out after %d s waiting for %s" % (timeout, expression))
            time.sleep(poll)

    def drain_events(self):
        items = []
        while not self.events.empty():
            items.append(self.events.get())
        return items

    def screenshot_png(self, width, height):
        data = self.page("Page.captureScreenshot", format="png",
                         clip={"x": 0, "y": 0, "width": width, "height": height, "scale": 1})["data"]
        return base64.b64decode(data)

    def key(self, key, code, key_code):
        """One press and release of a key, as the keyboard would send them."""
        text = key if len(key) == 1 else ""
        for kind in ("keyDown", "keyUp"):
            self.page("Input.dispatchKeyEvent", type=kind, key=key, code=code, text=text if kind == "keyDown" else "",
                      windowsVirtualKeyCode=key_code, nativeVirtualKeyCode=key_code)

    def click(self, x, y):
        for kind in ("mousePressed", "mouseReleased"):
            self.page("Input.dispatchMouseEvent", type=kind, x=x, y=y, button="left", clickCount=1)

    def close(self):
        try:
            self.call("Browser.close", timeout=10)
        except ProtocolError:
            pass
        try:
            self.process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()
        os.close(self._to_browser)
        self.log.close()
        shutil.rmtree(self.profile, ignore_errors=True)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()
