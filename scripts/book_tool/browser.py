"""Headless Chromium driven over its DevTools protocol on a pipe.

Started with --remote-debugging-pipe, Chromium reads commands from file
descriptor 3 and writes answers and events to descriptor 4, each message one
JSON object ended by a NUL byte: no websocket library is needed. Every wait
has a deadline and names what did not arrive.
"""

import base64
import json
import os
import select
import shutil
import subprocess
import tempfile
import time

# What a browser run by a test needs here: no sandbox (root in a container),
# no GPU, and none of the background traffic a closed network refuses.
FLAGS = [
    "--headless",
    "--no-sandbox",
    "--disable-gpu",
    "--disable-quic",
    "--no-first-run",
    "--disable-background-networking",
    "--disable-component-update",
    "--disable-sync",
    # Whatever a page asks of another host goes to a proxy on a loopback
    # port where nothing listens, so it fails here and is reported, and no
    # request or name lookup leaves the machine. Loopback itself is never
    # sent to a proxy.
    "--proxy-server=127.0.0.1:9",
    "--remote-debugging-pipe",
]


class BrowserError(Exception):
    """A command that failed, or an answer or event that did not come in time."""


def find_chromium():
    """The path of Debian's chromium, or None."""
    for name in ("chromium", "chromium-browser"):
        path = shutil.which(name)
        if path:
            return path
    return None


class Browser:
    """One Chromium process with a fresh profile, and one page in it.

    Events are kept in arrival order until a caller takes them
    (take_events), so nothing that comes between two commands is lost.
    """

    def __init__(self, executable=None, width=1280, height=900, timeout=30.0):
        self.timeout = timeout
        self.profile = tempfile.mkdtemp(prefix="book-chromium-")
        to_browser_r, self._to_browser = os.pipe()
        self._from_browser, from_browser_w = os.pipe()

        def give_pipes():
            # The child's descriptors 3 and 4 are the protocol's (kept open
            # through exec by pass_fds, which the child closes after this).
            os.dup2(to_browser_r, 3)
            os.dup2(from_browser_w, 4)

        self._log = open(os.path.join(self.profile, "stderr.log"), "wb")
        self.process = subprocess.Popen(
            [executable or find_chromium() or "chromium", *FLAGS,
             f"--user-data-dir={self.profile}",
             f"--window-size={width},{height}", "about:blank"],
            stdin=subprocess.DEVNULL, stdout=self._log, stderr=self._log,
            preexec_fn=give_pipes, pass_fds=(3, 4))
        os.close(to_browser_r)
        os.close(from_browser_w)
        self._buffer = b""
        self._next_id = 0
        self._events = []
        self.session = None
        target = self.call("Target.createTarget", url="about:blank",
                           session=False)["targetId"]
        self.session = self.call("Target.attachToTarget", targetId=target,
                                 flatten=True, session=False)["sessionId"]
        for domain in ("Page", "Runtime", "Log", "Network"):
            self.call(f"{domain}.enable")
        self.call("Emulation.setDeviceMetricsOverride", width=width,
                  height=height, deviceScaleFactor=1, mobile=False)

    # --- The pipe ------------------------------------------------------

    def _send(self, message):
        data = json.dumps(message).encode() + b"\0"
        while data:
            written = os.write(self._to_browser, data)
            data = data[written:]

    def _receive(self, deadline, waiting_for):
        """The next message, or BrowserError once the deadline has passed."""
        while b"\0" not in self._buffer:
            left = deadline - time.monotonic()
            if left <= 0:
                raise BrowserError(f"no {waiting_for} from Chromium within "
                                   f"{self.timeout:.0f} s")
            ready, _, _ = select.select([self._from_browser], [], [], left)
            if ready:
                chunk = os.read(self._from_browser, 1 << 16)
                if not chunk:
                    raise BrowserError(f"Chromium closed its pipe while a test "
                                       f"waited for {waiting_for} (exit status "
                                       f"{self.process.poll()})")
                self._buffer += chunk
        message, _, self._buffer = self._buffer.partition(b"\0")
        return json.loads(message)

    def call(self, method, session=True, **params):
        """Sends one command and returns its result; events meanwhile are kept."""
        self._next_id += 1
        message = {"id": self._next_id, "method": method, "params": params}
        if session and self.session:
            message["sessionId"] = self.session
        self._send(message)
        deadline = time.monotonic() + self.timeout
        while True:
            answer = self._receive(deadline, f"answer to {method}")
            if answer.get("id") == self._next_id:
                if "error" in answer:
                    raise BrowserError(f"{method}: {answer['error'].get('message')}")
                return answer.get("result", {})
            if "method" in answer:
                self._events.append(answer)

    def wait_event(self, method, timeout=None):
        """The first kept or coming event of this name (the others are kept)."""
        for i, event in enumerate(self._events):
            if event["method"] == method:
                return self._events.pop(i)
        deadline = time.monotonic() + (timeout or self.timeout)
        while True:
            message = self._receive(deadline, f"event {method}")
            if message.get("method") == method:
                return message
            if "method" in message:
                self._events.append(message)

    def take_events(self):
        """Every event kept so far, in arrival order; the store is emptied."""
        events, self._events = self._events, []
        return events

    # --- Pages ---------------------------------------------------------

    def open(self, url):
        """Navigates and waits for the page's load event."""
        self.take_events()
        result = self.call("Page.navigate", url=url)
        if result.get("errorText"):
            raise BrowserError(f"{url}: {result['errorText']}")
        self.wait_event("Page.loadEventFired")

    def evaluate(self, expression):
        """The value of a JavaScript expression; a promise is awaited."""
        result = self.call("Runtime.evaluate", expression=expression,
                           awaitPromise=True, returnByValue=True)
        if "exceptionDetails" in result:
            details = result["exceptionDetails"]
            text = details.get("exception", {}).get("description") or details.get("text")
            raise BrowserError(f"script failed: {text}")
        return result["result"].get("value")

    def screenshot(self, path, full_page=False):
        """Saves the page as PNG: the viewport, or the whole page."""
        params = {"format": "png"}
        if full_page:
            params["captureBeyondViewport"] = True
            size = self.evaluate("[document.documentElement.scrollWidth,"
                                 " document.documentElement.scrollHeight]")
            params["clip"] = {"x": 0, "y": 0, "width": size[0],
                              "height": size[1], "scale": 1}
        data = self.call("Page.captureScreenshot", **params)["data"]
        with open(path, "wb") as out:
            out.write(base64.b64decode(data))

    def close(self):
        try:
            self.call("Browser.close", session=False)
        except (BrowserError, OSError):
            pass
        try:
            self.process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()
        for fd in (self._to_browser, self._from_browser):
            try:
                os.close(fd)
            except OSError:
                pass
        self._log.close()
        shutil.rmtree(self.profile, ignore_errors=True)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()
