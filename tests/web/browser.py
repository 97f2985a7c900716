"""What the page tests ask of a browser, whichever it is: open a page, evaluate JavaScript in
it, wait for a condition, take a screenshot, press a key, click, read the console. Each
browser speaks its own protocol (chromium.py, firefox.py); both are JSON commands with ids,
replies with the same id, and events, handled here. Standard library only."""
import functools
import http.server
import json
import os
import queue
import shutil
import subprocess
import tempfile
import threading
import time

# Keys the page tests press: name -> (key, code, key code)
KEYS = {"Space": (" ", "Space", 32), "Enter": ("Enter", "Enter", 13), "Escape": ("Escape", "Escape", 27),
        "P": ("p", "KeyP", 80), "L": ("l", "KeyL", 76), "4": ("4", "Digit4", 52), "Home": ("Home", "Home", 36),
        "ArrowLeft": ("ArrowLeft", "ArrowLeft", 37), "ArrowRight": ("ArrowRight", "ArrowRight", 39),
        ",": (",", "Comma", 188), ".": (".", "Period", 190)}


class ProtocolError(Exception):
    pass


class Browser:
    """One browser process with one page; use as a context manager. A subclass starts the
    process (self.process) with its profile in self.profile and its output to self.log,
    connects and starts a reader thread that passes every message it receives to
    _received, and implements _send, _disconnect and the page commands."""
    name = ""
    close_method = ""  # the protocol's command that closes the browser

    def __init__(self):
        self.profile = tempfile.mkdtemp(prefix="web-test-profile-")
        self.log = open(os.path.join(self.profile, "browser.log"), "wb")
        self.process = None
        self.connected = False
        self._next_id = 0
        self._replies = {}
        self._reply_ready = threading.Condition()
        self._console = queue.Queue()  # (level, text): level "log", "warning" or "error"

    def _received(self, message):
        if message is None:  # the browser is gone
            with self._reply_ready:
                self._replies[None] = None
                self._reply_ready.notify_all()
        elif "id" in message:
            with self._reply_ready:
                self._replies[message["id"]] = message
                self._reply_ready.notify_all()
        else:
            entry = self._console_entry(message.get("method"), message.get("params", {}))
            if entry:
                self._console.put(entry)

    def call(self, method, timeout=60, extra=None, **params):
        """One command; returns its result or raises ProtocolError with the browser's reason."""
        with self._reply_ready:
            self._next_id += 1
            number = self._next_id
        message = {"id": number, "method": method, "params": params}
        message.update(extra or {})
        self._send(json.dumps(message))
        deadline = time.monotonic() + timeout
        with self._reply_ready:
            while number not in self._replies:
                if None in self._replies:
                    raise ProtocolError("the browser exited during " + method)
                if not self._reply_ready.wait(deadline - time.monotonic()):
                    raise ProtocolError(method + ": no reply in %d s" % timeout)
            reply = self._replies.pop(number)
        if "error" in reply:
            error = reply["error"]
            raise ProtocolError(method + ": " + (error.get("message", str(error)) if isinstance(error, dict)
                                                 else "%s %s" % (error, reply.get("message", ""))))
        return reply["result"]

    def wait_for(self, expression, timeout, poll=0.1):
        """Polls the page until `expression` is truthy; returns its value."""
        deadline = time.monotonic() + timeout
        while True:
            value = self.evaluate(expression)
            if value:
                return value
            if time.monotonic() > deadline:
                raise ProtocolError("%s: timed out after %d s waiting for %s" % (self.name, timeout, expression))
            time.sleep(poll)

    def open(self, url):
        """Opens url in the page and waits until its body has a state (see index.html)."""
        self.evaluate("window.replacedPage = true")  # tells the page before from the new one, even at one URL
        self.console()
        self._navigate(url)
        self.wait_for("!window.replacedPage && location.href == %s && document.body && document.body.dataset.state"
                      % json.dumps(url), timeout=30)

    def console(self):
        """The console's entries since the last call: (level, text) pairs."""
        entries = []
        while not self._console.empty():
            entries.append(self._console.get())
        return entries

    def close(self):
        if self.connected:
            try:
                self.call(self.close_method, timeout=10)
            except ProtocolError:
                pass
            self._disconnect()
        if self.process:
            try:
                self.process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()
        self.log.close()
        shutil.rmtree(self.profile, ignore_errors=True)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()


class _Quiet(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass


def serve(directory):
    """Serves the directory on 127.0.0.1 from a thread; returns the server (shutdown() ends
    it) and its address, "http://127.0.0.1:PORT/"."""
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), functools.partial(_Quiet, directory=directory))
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server, "http://127.0.0.1:%d/" % server.server_address[1]


def start(name, env=None):
    """A browser by name ("chromium" or "firefox"), started with the environment env."""
    if name == "chromium":
        from chromium import Chromium
        return Chromium(env=env)
    if name == "firefox":
        from firefox import Firefox
        return Firefox(env=env)
    raise ValueError("no driver for the browser " + name)
