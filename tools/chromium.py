"""Headless Chromium through its DevTools protocol (Debian's chromium and python3-websocket,
so /usr/bin/python3), and a folder served on 127.0.0.1. A Tab has the calls of webdriver.Tab."""

import base64
import functools
import http.server
import json
import pathlib
import subprocess
import tempfile
import threading
import time
import urllib.request

import webdriver

FLAGS = ["--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
         "--disable-background-networking", "--disable-component-update", "--disable-sync",
         "--autoplay-policy=no-user-gesture-required", "--remote-debugging-port=0"]
CTRL, SHIFT = 2, 8  # Input.dispatchKeyEvent's modifier bits
# KeyboardEvent key, key code and location (3: keypad) by code; other letters need none.
# Keypad 3 as with Num Lock off, and a German layout's y, where US keyboards have z.
KEYS = {"Numpad3": ("PageDown", 34, 3), "KeyZ": ("y", 89, 0), "NumpadAdd": ("+", 107, 3),
        "NumpadEnter": ("Enter", 13, 3), "Enter": ("Enter", 13, 0), "Home": ("Home", 36, 0),
        "ArrowUp": ("ArrowUp", 38, 0), "ControlLeft": ("Control", 17, 1), "Escape": ("Escape", 27, 0),
        "ShiftLeft": ("Shift", 16, 1), "Equal": ("=", 187, 0), "Minus": ("-", 189, 0)}
MODIFIER_KEYS = {"ControlLeft": CTRL, "ShiftLeft": SHIFT}


def serve(folder):  # from a thread; its address is server.url
    quiet = type("Quiet", (http.server.SimpleHTTPRequestHandler,),
                 {"log_message": lambda *_: None})
    server = http.server.ThreadingHTTPServer(
        ("127.0.0.1", 0), functools.partial(quiet, directory=folder))
    threading.Thread(target=server.serve_forever, daemon=True).start()
    server.url = f"http://127.0.0.1:{server.server_port}/"
    return server


class Browser:
    name, fingers = "chromium", 2

    def __init__(self):
        self.profile = tempfile.TemporaryDirectory(ignore_cleanup_errors=True)
        self.process = subprocess.Popen(
            ["chromium", *FLAGS, f"--user-data-dir={self.profile.name}", "about:blank"],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        port = pathlib.Path(self.profile.name, "DevToolsActivePort")
        deadline = time.monotonic() + 30
        while not (port.exists() and "\n" in port.read_text()):
            if time.monotonic() > deadline or self.process.poll() is not None:
                raise RuntimeError("chromium did not open its DevTools port")
            time.sleep(0.05)
        self.http = f"http://127.0.0.1:{port.read_text().split()[0]}/json"

    def tab(self):  # a new tab; scripts added to one stay with it
        request = urllib.request.Request(self.http + "/new?about:blank", method="PUT")
        return Tab(json.load(urllib.request.urlopen(request))["webSocketDebuggerUrl"])

    def close(self):
        self.process.terminate()
        self.process.wait(timeout=10)
        self.profile.cleanup()


class Tab(webdriver.Tab):
    def __init__(self, url):
        self.socket = webdriver.Socket(url)
        self.call = self.socket.call
        self.held = 0  # modifier bits of the modifier keys down
        self.fingers = {}
        self.call("Page.enable")  # else no script runs in new documents

    def run(self, expression):  # the value of a JavaScript expression
        result = self.call("Runtime.evaluate", expression=expression, returnByValue=True)
        if "exceptionDetails" in result:
            raise RuntimeError(f"{expression}: {result['exceptionDetails']}")
        return result["result"].get("value")

    def open(self, url, before_load=None):
        if before_load:
            self.call("Page.addScriptToEvaluateOnNewDocument", source=before_load)
        self.call("Page.navigate", url=url)

    def key(self, code, down=True, modifiers=0, key=None):  # key: what another layout types
        if code in MODIFIER_KEYS:
            self.held = self.held | MODIFIER_KEYS[code] if down else self.held & ~MODIFIER_KEYS[code]
        modifiers |= self.held
        named, key_code, location = KEYS.get(code, (code[-1].lower(), ord(code[-1]), 0))
        key = key or named
        self.call("Input.dispatchKeyEvent", type="keyDown" if down else "keyUp", code=code,
                  key=key, windowsVirtualKeyCode=key_code, location=location,
                  isKeypad=location == 3, modifiers=modifiers,
                  text=key if down and len(key) == 1 else "")  # typed where the focus is

    def touch(self, fingers):  # {finger: (x, y)} now on the screen, moved there; others lifted
        points = [{"x": x, "y": y, "id": finger} for finger, (x, y) in fingers.items()]
        kind = ("touchEnd" if not points else
                "touchStart" if set(fingers) - set(self.fingers) else "touchMove")
        self.fingers = dict(fingers)
        self.call("Input.dispatchTouchEvent", type=kind, touchPoints=points)

    def viewport(self, width, height):
        self.call("Emulation.setDeviceMetricsOverride", width=width, height=height,
                  deviceScaleFactor=1, mobile=False)

    def screenshot(self):
        return base64.b64decode(self.call("Page.captureScreenshot", format="png")["data"])

    def close(self):
        self.socket.socket.close()
