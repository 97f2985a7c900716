"""Headless Chromium driven over the DevTools protocol (its --remote-debugging-pipe: JSON
messages separated by NUL bytes on file descriptors 3 and 4), standard library only."""
import base64
import json
import os
import subprocess
import threading

from browser import KEYS, Browser, ProtocolError

FLAGS = ["--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
         "--disable-background-networking", "--disable-component-update", "--disable-sync",
         "--use-angle=swiftshader", "--enable-unsafe-swiftshader", "--force-device-scale-factor=1",
         "--window-size=800,600", "--autoplay-policy=user-gesture-required",
         "--remote-debugging-pipe"]


class Chromium(Browser):
    name = "Chromium"
    close_method = "Browser.close"

    def __init__(self, program="chromium", env=None):
        super().__init__()
        to_browser_read, self._to_browser = os.pipe()
        self._from_browser, from_browser_write = os.pipe()

        def child_fds():
            os.dup2(to_browser_read, 3)
            os.dup2(from_browser_write, 4)

        self.process = subprocess.Popen(
            [program, *FLAGS, "--user-data-dir=" + self.profile, "about:blank"],
            stdin=subprocess.DEVNULL, stdout=self.log, stderr=self.log, env=env,
            preexec_fn=child_fds, pass_fds=(3, 4))
        os.close(to_browser_read)
        os.close(from_browser_write)
        self.connected = True
        threading.Thread(target=self._read, daemon=True).start()
        try:
            target = next(t for t in self.call("Target.getTargets")["targetInfos"] if t["type"] == "page")
            self.session = self.call("Target.attachToTarget", targetId=target["targetId"],
                                     flatten=True)["sessionId"]
            for domain in ("Runtime", "Log", "Page"):
                self.page(domain + ".enable")
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
                self._received(json.loads(raw))
        self._received(None)

    def _send(self, text):
        os.write(self._to_browser, text.encode() + b"\0")

    @staticmethod
    def _console_entry(method, params):
        if method == "Runtime.exceptionThrown":
            return "error", params["exceptionDetails"].get("exception", {}).get("description", str(params))
        if method == "Runtime.consoleAPICalled":
            level = {"log": "log", "warning": "warning", "error": "error", "assert": "error"}.get(params["type"])
            return level and (level, " ".join(str(a.get("value", a.get("description"))) for a in params["args"]))
        if method == "Log.entryAdded" and params["entry"]["level"] in ("error", "warning"):
            return params["entry"]["level"], params["entry"]["text"]
        return None

    def page(self, method, **params):
        """A command to the page's session."""
        return self.call(method, extra={"sessionId": self.session}, **params)

    def _navigate(self, url):
        self.page("Page.navigate", url=url)

    def evaluate(self, expression):
        result = self.page("Runtime.evaluate", expression=expression, returnByValue=True, awaitPromise=True)
        if "exceptionDetails" in result:
            raise ProtocolError(expression + ": " + json.dumps(result["exceptionDetails"]))
        return result["result"].get("value")

    def screenshot_png(self, width, height):
        data = self.page("Page.captureScreenshot", format="png",
                         clip={"x": 0, "y": 0, "width": width, "height": height, "scale": 1})["data"]
        return base64.b64decode(data)

    def key(self, name):
        """One press and release of a key of KEYS, as the keyboard would send them."""
        key, code, key_code = KEYS[name]
        text = key if len(key) == 1 else ""
        for kind in ("keyDown", "keyUp"):
            self.page("Input.dispatchKeyEvent", type=kind, key=key, code=code, text=text if kind == "keyDown" else "",
                      windowsVirtualKeyCode=key_code, nativeVirtualKeyCode=key_code)

    def click(self, x, y):
        for kind in ("mousePressed", "mouseReleased"):
            self.page("Input.dispatchMouseEvent", type=kind, x=x, y=y, button="left", clickCount=1)

    def _disconnect(self):
        os.close(self._to_browser)
