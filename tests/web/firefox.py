"""Firefox (Debian's firefox-esr) driven over WebDriver BiDi: its --remote-debugging-port
takes JSON commands on a WebSocket. Headless Firefox has WebGL only with an X display, so it
runs on the DISPLAY of its environment (tests/web/with-display.bash makes a private one).
Standard library only: the WebSocket client below speaks just what BiDi needs."""
import base64
import hashlib
import json
import os
import re
import socket
import struct
import subprocess
import threading
import time

from browser import KEYS, Browser, ProtocolError

# BiDi key values (the WebDriver specification's code points for named keys).
KEY_VALUES = {"Space": " ", "Enter": "\ue007", "Escape": "\ue00c", "P": "p", "L": "l", "4": "4",
              "Home": "\ue011", "ArrowLeft": "\ue012", "ArrowRight": "\ue014", ",": ",", ".": "."}
assert set(KEY_VALUES) == set(KEYS)

# Like Chromium's flags: scale 1, no first-run pages, no full-screen animation or warning.
PREFERENCES = {
    "layout.css.devPixelsPerPx": "1.0",
    "browser.shell.checkDefaultBrowser": False,
    "browser.aboutwelcome.enabled": False,
    "datareporting.policy.dataSubmissionEnabled": False,
    "full-screen-api.transition-duration.enter": "0 0",
    "full-screen-api.transition-duration.leave": "0 0",
    "full-screen-api.warning.timeout": 0,
}
LISTENING = re.compile(rb"WebDriver BiDi listening on (ws://[\d.:]+)")
START_TIMEOUT = 60  # s: for the remote agent to listen


class WebSocket:
    """A client's end of one WebSocket (RFC 6455): text messages, no extensions."""

    def __init__(self, host, port, path):
        self.sock = socket.create_connection((host, port), timeout=30)
        key = base64.b64encode(os.urandom(16)).decode()
        self.sock.sendall(("GET %s HTTP/1.1\r\nHost: %s:%d\r\nUpgrade: websocket\r\nConnection: Upgrade\r\n"
                           "Sec-WebSocket-Key: %s\r\nSec-WebSocket-Version: 13\r\n\r\n"
                           % (path, host, port, key)).encode())
        self.buffer = b""
        while b"\r\n\r\n" not in self.buffer:
            self._fill()
        head, self.buffer = self.buffer.split(b"\r\n\r\n", 1)
        accept = base64.b64encode(hashlib.sha1((key + "258EAFA5-E914-47DA-95CA-C5AB0DC85B11").encode()).digest())
        if not head.startswith(b"HTTP/1.1 101") or accept not in head:
            raise ProtocolError("the WebSocket handshake failed: " + head.decode(errors="replace"))
        self.sock.settimeout(None)
        self.lock = threading.Lock()

    def _fill(self):
        chunk = self.sock.recv(1 << 16)
        if not chunk:
            raise EOFError
        self.buffer += chunk

    def _take(self, count):
        while len(self.buffer) < count:
            self._fill()
        data, self.buffer = self.buffer[:count], self.buffer[count:]
        return data

    def _frame(self, opcode, payload):
        length = len(payload)
        header = bytes([0x80 | opcode])
        if length < 126:
            header += bytes([0x80 | length])
        elif length < 1 << 16:
            header += bytes([0x80 | 126]) + struct.pack(">H", length)
        else:
            header += bytes([0x80 | 127]) + struct.pack(">Q", length)
        mask = os.urandom(4)
        masked = (int.from_bytes(payload, "big") ^ int.from_bytes((mask * (length // 4 + 1))[:length], "big"))
        with self.lock:
            self.sock.sendall(header + mask + masked.to_bytes(length, "big"))

    def send(self, text):
        self._frame(0x1, text.encode())

    def receive(self):
        """The next text message; None once the connection has closed."""
        message = b""
        try:
            while True:
                first, second = self._take(2)
                length = second & 0x7F
                if length == 126:
                    length = struct.unpack(">H", self._take(2))[0]
                elif length == 127:
                    length = struct.unpack(">Q", self._take(8))[0]
                payload = self._take(length)  # a server's frames are not masked
                opcode = first & 0x0F
                if opcode == 0x8:
                    return None
                if opcode == 0x9:
                    self._frame(0xA, payload)
                elif opcode in (0x0, 0x1, 0x2):
                    message += payload
                    if first & 0x80:
                        return message.decode()
        except (EOFError, OSError):
            return None

    def close(self):
        try:
            self.sock.shutdown(socket.SHUT_RDWR)
        except OSError:
            pass
        self.sock.close()


class Firefox(Browser):
    name = "Firefox"
    close_method = "browser.close"

    def __init__(self, program="firefox-esr", env=None):
        super().__init__()
        environment = os.environ if env is None else env
        if not environment.get("DISPLAY"):
            self.close()
            raise ProtocolError("Firefox has WebGL only with an X display: run it under tests/web/with-display.bash")
        with open(os.path.join(self.profile, "user.js"), "w") as f:
            for name, value in PREFERENCES.items():
                f.write("user_pref(%s, %s);\n" % (json.dumps(name), json.dumps(value)))
        self.process = subprocess.Popen(
            [program, "--headless", "--no-remote", "--profile", self.profile, "--remote-debugging-port=0",
             "--width", "800", "--height", "600", "about:blank"],
            stdin=subprocess.DEVNULL, stdout=self.log, stderr=self.log, env=env)
        try:
            host, port = self._address()
            self.socket = WebSocket(host, port, "/session")
            self.connected = True
            threading.Thread(target=self._read, daemon=True).start()
            self.call("session.new", capabilities={})
            self.context = self.call("browsingContext.getTree")["contexts"][0]["context"]
            self.call("session.subscribe", events=["log.entryAdded"])
        except Exception:
            self.close()  # a browser that did not come up is not left running
            raise

    def _address(self):
        """The remote agent's host and port, from the line Firefox prints when it listens."""
        deadline = time.monotonic() + START_TIMEOUT
        while time.monotonic() < deadline:
            with open(self.log.name, "rb") as f:
                found = LISTENING.search(f.read())
            if found:
                host, port = found.group(1)[len(b"ws://"):].decode().rsplit(":", 1)
                return host, int(port)
            if self.process.poll() is not None:
                raise ProtocolError("Firefox exited with %d before listening" % self.process.returncode)
            time.sleep(0.1)
        raise ProtocolError("Firefox did not listen for WebDriver BiDi within %d s" % START_TIMEOUT)

    def _read(self):
        while True:
            text = self.socket.receive()
            if text is None:
                break
            self._received(json.loads(text))
        self._received(None)

    def _send(self, text):
        self.socket.send(text)

    def _disconnect(self):
        self.socket.close()

    @staticmethod
    def _console_entry(method, params):
        if method != "log.entryAdded":
            return None
        return {"warn": "warning", "error": "error"}.get(params["level"], "log"), params.get("text") or ""

    def _navigate(self, url):
        self.call("browsingContext.navigate", context=self.context, url=url, wait="none")

    def evaluate(self, expression):
        # The value comes back as JSON, as Chromium's returnByValue gives it.
        reply = self.call("script.evaluate", expression="(async () => JSON.stringify(await (%s)))()" % expression,
                          target={"context": self.context}, awaitPromise=True, resultOwnership="none")
        if reply["type"] == "exception":
            raise ProtocolError(expression + ": " + reply["exceptionDetails"].get("text", json.dumps(reply)))
        result = reply["result"]
        return json.loads(result["value"]) if result["type"] == "string" else None

    def screenshot_png(self, width, height):
        data = self.call("browsingContext.captureScreenshot", context=self.context, origin="viewport",
                         clip={"type": "box", "x": 0, "y": 0, "width": width, "height": height})["data"]
        return base64.b64decode(data)

    def key(self, name):
        value = KEY_VALUES[name]
        self.call("input.performActions", context=self.context, actions=[
            {"type": "key", "id": "keyboard", "actions": [{"type": "keyDown", "value": value},
                                                          {"type": "keyUp", "value": value}]}])

    def click(self, x, y):
        self.call("input.performActions", context=self.context, actions=[
            {"type": "pointer", "id": "mouse", "parameters": {"pointerType": "mouse"},
             "actions": [{"type": "pointerMove", "x": round(x), "y": round(y)},
                         {"type": "pointerDown", "button": 0}, {"type": "pointerUp", "button": 0}]}])
