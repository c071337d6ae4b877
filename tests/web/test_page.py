"""The page in headless Chromium against the native program's console texts and against
kurvello_replay's pictures and sound loop (the core's frames on a native surface). A held key
acts once per animation frame: a test finds how long a hold lasted by the native pictures."""

import base64
import os
import struct
import subprocess
import time
import unittest

import chromium
from chromium import CTRL

PAGE, REPLAY, PROGRAM = (os.environ.get(name, "") for name in
                         ("KURVELLO_PAGE", "KURVELLO_REPLAY", "KURVELLO_PROGRAM"))
PICTURE = 1024 * 768 * 3
CANVAS_RGB = """btoa(Array.from(Module.canvas.getContext('2d').getImageData(0, 0, 1024, 768)
  .data.filter((_, i) => i % 4 != 3), v => String.fromCharCode(v)).join(''))"""
# Every buffer the page hands to Web Audio, as 16-bit samples.
CAPTURE_SOUND = """window.played = [];
const start = AudioBufferSourceNode.prototype.start;
AudioBufferSourceNode.prototype.start = function (...args) {
  played.push(Array.from(this.buffer.getChannelData(0), v => Math.round(v * 32768)));
  return start.apply(this, args);
};"""


def native(preset, *frames, typed=b""):  # the picture's RGB rows and the loop's samples
    out = subprocess.run([REPLAY, preset, *frames], input=typed, capture_output=True,
                         check=True).stdout
    return out[:PICTURE], list(struct.unpack("<512h", out[PICTURE:]))


def console_text(keys_and_lines):  # what the native program writes before its window opens
    env = dict(os.environ, LC_ALL="C.UTF-8", SDL_VIDEODRIVER="no-such-driver")
    return subprocess.run([PROGRAM, "n"], input=keys_and_lines, capture_output=True,
                          env=env).stdout.decode()


class Page(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        if not all(os.path.exists(path) for path in (PAGE + "/kurvello.js", REPLAY, PROGRAM)):
            raise RuntimeError("run through ctest: the page, the replay or the program is missing")
        cls.server = chromium.serve(PAGE)
        cls.browser = chromium.Browser()

    @classmethod
    def tearDownClass(cls):
        cls.browser.close()
        cls.server.shutdown()
        cls.server.server_close()

    def start(self, url=None, before_load=None, wait="$('console').textContent"):
        tab = self.browser.tab()
        self.addCleanup(tab.close)
        tab.open(url or self.server.url + "kurvello.html", before_load)
        tab.wait_for("window.Module && " + wait)
        return tab

    def canvas(self, tab):
        frames = tab.run("Module._kurvello_frames()")
        tab.wait_for(f"Module._kurvello_frames() > {frames + 2} && $('screen').className == ''")
        return base64.b64decode(tab.run(CANVAS_RGB))

    def assert_picture(self, got, want):
        wrong = sum(got[i:i + 3] != want[i:i + 3] for i in range(0, PICTURE, 3))
        self.assertEqual(wrong, 0, "pixels differ from the native picture")

    def held_frames(self, tab, frames, held):  # `held` down as long as the page's picture says
        got = self.canvas(tab)
        count = next((n for n in range(1, 100) if native("b", *frames, f"{held}*{n}")[0] == got), 0)
        self.assertTrue(count, f"no number of frames with {held} down gives the page's picture")
        return f"{held}*{count}"

    def assert_ended(self, tab, status):  # said so with the status; frames and sound stop
        tab.wait_for("!$('ended').classList.contains('hidden')")
        self.assertEqual(tab.run("$('status').textContent"), str(status))
        progress = "[Module._kurvello_frames(), window.played && played.length]"
        before = tab.run(progress)
        time.sleep(0.2)
        self.assertEqual(tab.run(progress), before)

    def test_dialogue_of_preset_c_as_on_the_console(self):
        tab = self.start()
        lines = "0x10 010 101\n-3 7abc\n"
        whole = console_text(b"c" + lines.encode())
        shown = lambda: tab.run("$('console').textContent")
        self.assertEqual(shown(), console_text(b""))
        tab.press("KeyX")
        tab.press("KeyC")
        for line, prompt in zip(["", *lines.splitlines()], ["\n1. Wert: ", "\n4. Wert: ", ""]):
            if line:
                tab.call("Input.insertText", text=line)
                tab.press("Enter")
            self.assertTrue(shown().endswith(prompt) and whole.startswith(shown()), shown())
        self.assertEqual(shown(), whole)
        self.assert_picture(self.canvas(tab), native("c", typed=lines.encode())[0])

    def test_start_picture_of_a_from_a_file_url_equals_the_native_one(self):
        tab = self.start(f"file://{os.path.abspath(PAGE)}/kurvello.html")
        tab.press("KeyA")
        self.assert_picture(self.canvas(tab), native("a")[0])

    def test_keys_then_sound_then_escape_as_natively(self):
        tab = self.start(before_load=CAPTURE_SOUND + "window.kept = []; addEventListener("
                         "'keydown', e => setTimeout(() => e.defaultPrevented || kept.push(e.code)));")
        tab.press("KeyB")
        self.assert_picture(self.canvas(tab), native("b")[0])
        tab.press("Numpad3")
        tab.key("NumpadAdd")
        time.sleep(0.2)
        tab.run("dispatchEvent(new Event('blur'))")  # leaving the window releases it
        frames = ["[3]", self.held_frames(tab, ["[3]"], "[+]"), "l"]
        tab.press("KeyL")
        tab.key("ControlLeft", modifiers=CTRL)
        tab.press("Home", hold=0.2, modifiers=CTRL)
        tab.key("ControlLeft", down=False)
        frames.append(self.held_frames(tab, frames, "left ctrl,page up"))
        for key in ("Enter", "NumpadEnter", "KeyC", "KeyZ"):
            tab.press(key)
        picture, loop = native("b", *frames, "return", "enter", "c", "y")
        self.assert_picture(self.canvas(tab), picture)
        self.assertEqual(tab.run("kept"), ["ControlLeft"], "keys it acts on must not scroll it")
        self.assertEqual(tab.run("$('console').textContent"), console_text(b""))

        tab.press("KeyS")
        tab.wait_for("played.some(buffer => buffer.some(v => v))")
        time.sleep(0.3)
        played = tab.run("played")
        first = next(i for i, buffer in enumerate(played) if any(buffer))
        self.assertEqual(played, [[0] * 512] * first + [loop] * (len(played) - first))
        tab.press("Escape")
        self.assert_ended(tab, 0)
        tab.run("$('again').click()")  # a fresh start: the help text, no canvas
        tab.wait_for("window.$ && $('ended').className && $('screen').className && "
                     "$('console').textContent")

    def test_failures_show_a_message(self):
        tab = self.start(before_load="delete window.WebAssembly;", wait="$('messages').textContent")
        self.assertIn("WebAssembly", tab.run("$('messages').textContent"))
        tab = self.start(before_load="delete window.AudioContext; delete window.webkitAudioContext;")
        tab.press("KeyA")
        tab.press("KeyS")
        self.assert_ended(tab, 1)
        self.assertEqual(tab.run("$('messages').textContent"), "Audio-Gerät konnte nicht "
                         "geöffnet werden: Web Audio API is not available!\n")


if __name__ == "__main__":
    unittest.main()
