"""Firefox ESR through WebDriver BiDi and WebKitGTK's MiniBrowser through W3C WebDriver over
HTTP (under Xvfb), with the same few calls as chromium.Tab: open, run, wait_for, key, press,
touch, viewport, screenshot, close. Keys by KeyboardEvent code, on a US layout."""

import base64
import glob
import json
import os
import re
import socket
import subprocess
import tempfile
import time
import urllib.request

import websocket

from xvfb import XServer

# WebDriver's key values by code; letters, digits and the keys beside the digit row are their
# own characters.
NAMED = {"NumpadAdd": "\ue025", "NumpadSubtract": "\ue027", "NumpadEnter": "\ue007",
         "Enter": "\ue006", "Escape": "\ue00c", "ShiftLeft": "\ue008", "ControlLeft": "\ue009",
         "Equal": "=", "Minus": "-", **{f"Numpad{n}": chr(0xE01A + n) for n in range(10)}}


class Socket:  # JSON commands over a WebSocket, each answered by its id; events are skipped
    def __init__(self, url):
        self.socket = websocket.create_connection(url, suppress_origin=True, timeout=60)
        self.next_id = 0

    def call(self, method, **params):
        self.next_id += 1
        self.socket.send(json.dumps({"id": self.next_id, "method": method, "params": params}))
        while (reply := json.loads(self.socket.recv())).get("id") != self.next_id:
            pass
        if "error" in reply:
            raise RuntimeError(f"{method}: {reply['error']} {reply.get('message', '')}")
        return reply["result"]


class Tab:  # what every driver shares; `act` and `evaluate` are each WebDriver's own
    touch_type = "touch"

    def __init__(self):
        self.fingers = set()

    def run(self, expression):  # the value of a JavaScript expression, through JSON
        text = self.evaluate(f"JSON.stringify({expression})")
        return None if text is None else json.loads(text)

    def wait_for(self, expression, timeout=20):
        deadline = time.monotonic() + timeout
        while not (value := self.run(expression)):
            if time.monotonic() > deadline:
                raise AssertionError(f"timed out waiting for {expression}")
            time.sleep(0.05)
        return value

    def key(self, code, down=True):
        self.act([{"type": "key", "id": "keys", "actions": [
            {"type": "keyDown" if down else "keyUp", "value": NAMED.get(code) or code[-1].lower()}]}])

    def press(self, code, hold=0.1, **how):  # held over some frames, as a user would
        self.key(code, True, **how)
        time.sleep(hold)
        self.key(code, False, **how)
        time.sleep(0.1)

    def touch(self, fingers):  # {finger: (x, y)} now on the screen, moved there; others lifted
        sources = []
        for finger in sorted(set(fingers) | self.fingers):
            x, y = fingers.get(finger, (0, 0))
            steps = [{"type": "pointerUp", "button": 0}] if finger not in fingers else (
                [{"type": "pointerMove", "x": round(x), "y": round(y), "origin": "viewport"}] +
                [{"type": "pointerDown", "button": 0}] * (finger not in self.fingers))
            sources.append({"type": "pointer", "id": f"finger{finger}", "actions": steps,
                            "parameters": {"pointerType": self.touch_type}})
        self.fingers = set(fingers)
        if sources:
            self.act(sources)


class BidiTab(Tab):
    def __init__(self, browser, context):
        super().__init__()
        self.browser, self.context = browser, context

    def call(self, method, **params):
        return self.browser.call(method, context=self.context, **params)

    def evaluate(self, expression):
        reply = self.browser.call("script.evaluate", expression=expression, awaitPromise=False,
                                  target={"context": self.context})
        if reply["type"] != "success":
            raise RuntimeError(f"{expression}: {reply['exceptionDetails']['text']}")
        return reply["result"].get("value")

    def act(self, actions):
        self.call("input.performActions", actions=actions)

    def open(self, url, before_load=None):
        assert not before_load, "only Chromium runs scripts before the page"
        self.call("browsingContext.navigate", url=url, wait="complete")

    def viewport(self, width, height):
        self.call("browsingContext.setViewport", viewport={"width": width, "height": height})

    def screenshot(self):
        return base64.b64decode(self.call("browsingContext.captureScreenshot")["data"])

    def close(self):
        self.call("browsingContext.close")


class Firefox:
    name, fingers = "firefox", 2

    def __init__(self):
        self.profile = tempfile.TemporaryDirectory()
        with open(os.path.join(self.profile.name, "user.js"), "w") as prefs:
            prefs.write('user_pref("media.cubeb.force_mock_context", true);\n')  # no sound device
        self.log = tempfile.TemporaryFile()
        self.process = subprocess.Popen(
            ["firefox-esr", "--headless", "--no-remote", "--profile", self.profile.name,
             "--remote-debugging-port=0"], stdout=subprocess.DEVNULL, stderr=self.log)
        deadline = time.monotonic() + 60
        while not (found := re.search(rb"WebDriver BiDi listening on (ws://\S+)", self.log.read())):
            if time.monotonic() > deadline or self.process.poll() is not None:
                raise RuntimeError("firefox did not open WebDriver BiDi")
            time.sleep(0.1)
            self.log.seek(0)
        self.call = Socket(found[1].decode() + "/session").call
        self.call("session.new", capabilities={})

    def tab(self):
        return BidiTab(self, self.call("browsingContext.create", type="tab")["context"])

    def close(self):
        try:
            self.call("session.end")
        finally:
            self.process.terminate()
            self.process.wait(timeout=20)
            self.profile.cleanup()


class WebKitTab(Tab):
    touch_type = "mouse"  # WebKitGTK's driver turns touch actions into mouse ones anyway

    def __init__(self, browser):
        super().__init__()
        self.call = browser.call

    def evaluate(self, expression):
        return self.call("POST", "/execute/sync", script=f"return {expression};", args=[])

    def act(self, actions):
        self.call("POST", "/actions", actions=actions)

    def open(self, url, before_load=None):
        assert not before_load, "only Chromium runs scripts before the page"
        self.call("POST", "/url", url=url)

    def viewport(self, width, height):  # the window less its frame gives the page's size
        inner, outer = self.run("[innerWidth, innerHeight]"), self.call("GET", "/window/rect")
        self.call("POST", "/window/rect", width=outer["width"] + width - inner[0],
                  height=outer["height"] + height - inner[1])

    def screenshot(self):
        return base64.b64decode(self.call("GET", "/screenshot"))

    def close(self):
        self.call("DELETE", "/actions")
        self.fingers = set()
        self.open("about:blank")


class WebKit:
    name, fingers = "webkit", 1  # its touch is one mouse

    def __init__(self):
        self.x = XServer(1400, 1100)
        with socket.socket() as probe:
            probe.bind(("127.0.0.1", 0))
            port = probe.getsockname()[1]
        self.process = subprocess.Popen(["WebKitWebDriver", f"--port={port}"], env=self.x.env,
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.url = f"http://127.0.0.1:{port}"
        for _ in range(300):  # until it listens
            with socket.socket() as probe:
                if probe.connect_ex(("127.0.0.1", port)) == 0:
                    break
            time.sleep(0.1)
        browser = glob.glob("/usr/lib/*/webkit2gtk-4.*/MiniBrowser")[0]
        self.session = self.call("POST", "/session", capabilities={"alwaysMatch": {
            "webkitgtk:browserOptions": {"binary": browser, "args": ["--automation"]}}})
        self.url += "/session/" + self.session["sessionId"]

    def call(self, method, path, **body):  # with a timeout: without a display it never answers
        request = urllib.request.Request(self.url + path, method=method,
                                         data=json.dumps(body).encode() if method == "POST" else None,
                                         headers={"Content-Type": "application/json"})
        try:
            with urllib.request.urlopen(request, timeout=60) as reply:
                return json.load(reply)["value"]
        except urllib.error.HTTPError as error:
            raise RuntimeError(f"{method} {path}: {error.read().decode()}") from None

    def tab(self):  # one window: each test loads the page afresh
        return WebKitTab(self)

    def close(self):
        try:
            self.call("DELETE", "")
        finally:
            self.process.terminate()
            self.process.wait(timeout=20)
            self.x.stop()
