"""The page in Chromium, Firefox and WebKit against the native program's console texts and
against kurvello_replay's pictures and sound loop (the core's frames on a native surface). A held
key or button acts once per animation frame: a test finds how long a hold lasted by the native
pictures. Every engine runs the cases of Engine; Chromium, whose protocol can type any layout
and stub the page's sound, runs more."""

import base64
import os
import struct
import subprocess
import sys
import time
import unittest

# The browser drivers live with the tools, which take screenshots and frame times with them.
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools"))
import chromium  # noqa: E402
import webdriver  # noqa: E402
from chromium import CTRL  # noqa: E402

PAGE, REPLAY, PROGRAM, SHOTS = (os.environ.get(name, "") for name in
                                ("KURVELLO_PAGE", "KURVELLO_REPLAY", "KURVELLO_PROGRAM",
                                 "KURVELLO_SHOTS"))
PICTURE = 1024 * 768 * 3
CANVAS_RGB = """btoa(Array.from(Module.canvas.getContext('2d').getImageData(0, 0, 1024, 768)
  .data.filter((_, i) => i % 4 != 3), v => String.fromCharCode(v)).join(''))"""
# A cheap fingerprint of the canvas, to see whether frames still change it.
CANVAS_SUM = """Module.canvas.getContext('2d').getImageData(0, 0, 1024, 768).data
  .reduce((sum, v, i) => (sum * 31 + v * (i % 7 + 1)) % 1000000007, 0)"""
# What of the running page lies outside the window, or is too small for a finger.
MISFITS = """[...document.querySelectorAll('#screen, #panel button')].map(e => [e, e.getBoundingClientRect()])
  .filter(([e, r]) => r.left < 0 || r.top < 0 || r.right > innerWidth || r.bottom > innerHeight
          || (e.tagName == 'BUTTON' && (r.width < 44 || r.height < 44 || !e.innerText.trim())))
  .map(([e, r]) => e.innerText || e.id).concat(document.documentElement.scrollWidth > innerWidth
  ? ['horizontal scroll'] : [])"""
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
    return out[:PICTURE], list(struct.unpack("<512h", out[PICTURE:PICTURE + 1024]))


def console_text(keys_and_lines):  # what the native program writes before its window opens
    env = dict(os.environ, LC_ALL="C.UTF-8", SDL_VIDEODRIVER="no-such-driver")
    return subprocess.run([PROGRAM, "n"], input=keys_and_lines, capture_output=True,
                          env=env).stdout.decode()


class Engine:
    """What every engine does alike: starts by touch, held and latched buttons, several
    touches, the keys of a keyboard without a keypad, and a layout that fits."""
    Browser = None

    @classmethod
    def setUpClass(cls):
        if not all(os.path.exists(path) for path in (PAGE + "/kurvello.js", REPLAY, PROGRAM)):
            raise RuntimeError("run through ctest: the page, the replay or the program is missing")
        cls.server = chromium.serve(PAGE)
        cls.browser = cls.Browser()

    @classmethod
    def tearDownClass(cls):
        cls.browser.close()
        cls.server.shutdown()
        cls.server.server_close()

    def start(self, url=None, before_load=None, wait="ready"):
        tab = self.browser.tab()
        self.addCleanup(tab.close)
        tab.open(url or self.server.url + "kurvello.html", before_load)
        tab.wait_for("window.Module && " + wait)
        return tab

    def canvas(self, tab):
        frames = tab.run("Module._kurvello_frames()")
        tab.wait_for(f"Module._kurvello_frames() > {frames + 2} && document.body.classList.contains('running')")
        return base64.b64decode(tab.run(CANVAS_RGB))

    def assert_picture(self, got, want):
        wrong = sum(got[i:i + 3] != want[i:i + 3] for i in range(0, PICTURE, 3))
        self.assertEqual(wrong, 0, "pixels differ from the native picture")

    def held_frames(self, tab, frames, held, after=()):  # `held` down as long as the picture says
        got = self.canvas(tab)
        count = next((n for n in range(1, 100)
                      if native("b", *frames, f"{held}*{n}", *after)[0] == got), 0)
        self.assertTrue(count, f"no number of frames with {held} down gives the page's picture")
        return f"{held}*{count}"

    def settled(self, tab):  # the canvas's fingerprint, once five frames no longer change it
        frames = tab.run("Module._kurvello_frames()")
        first = tab.run(CANVAS_SUM)
        tab.wait_for(f"Module._kurvello_frames() > {frames + 5}")
        return first if tab.run(CANVAS_SUM) == first else None

    def spot(self, tab, selector):  # the middle of an element, scrolled into the viewport
        return tab.run(f"(e => (e.scrollIntoView({{block: 'center'}}), (r => [r.x + r.width / 2, "
                       f"r.y + r.height / 2])(e.getBoundingClientRect())))"
                       f"(document.querySelector('{selector}'))")

    def tap(self, tab, selector):
        tab.touch({1: self.spot(tab, selector)})
        time.sleep(0.05)
        tab.touch({})
        time.sleep(0.1)

    def fits(self, tab, width, height):  # after the start; one screenshot per engine and size
        tab.viewport(width, height)
        time.sleep(0.3)
        self.assertEqual(tab.run(f"[innerWidth, innerHeight, ...{MISFITS}]"), [width, height],
                         "the window's size, with nothing outside it")
        if SHOTS:
            os.makedirs(SHOTS, exist_ok=True)
            with open(f"{SHOTS}/{self.browser.name}-{width}x{height}.png", "wb") as shot:
                shot.write(tab.screenshot())

    def test_start_by_touch_held_button_and_laptop_keys(self):
        tab = self.start()
        tab.viewport(768, 1024)
        self.tap(tab, "#start button:nth-child(2)")
        self.assert_picture(self.canvas(tab), native("b")[0])
        self.fits(tab, 768, 1024)
        tab.touch({1: self.spot(tab, "[data-code=NumpadAdd]")})
        time.sleep(0.15)
        tab.touch({})
        frames = [self.held_frames(tab, [], "[+]")]
        # Main-row digit, the key that types + beside it, Return: keypad 3, + and Enter.
        tab.press("Digit3")
        tab.press("Equal", hold=0.15)
        tab.press("Enter")
        frames.append("[3]")
        frames += [self.held_frames(tab, frames, "[+]", ["enter"]), "enter"]
        self.assert_picture(self.canvas(tab), native("b", *frames)[0])
        # Ctrl with the + key speeds the slot up: the picture drifts until Ctrl+Return stops it.
        tab.press("Digit0")
        tab.key("ControlLeft")
        tab.press("Equal", hold=0.3)  # some frames even on a busy machine
        drifting = self.settled(tab)
        tab.press("Enter")
        tab.key("ControlLeft", down=False)
        self.assertIsNone(drifting, "Ctrl with the + key must set the slot moving")
        self.assertTrue(self.settled(tab), "Ctrl with Return must stop it")

    def test_touches_together_and_their_release(self):
        tab = self.start()
        tab.viewport(1366, 768)
        self.tap(tab, "#start button:nth-child(2)")
        self.fits(tab, 1366, 768)
        self.tap(tab, "#ctrl")  # latched: zoom and count +10, held together where it can
        held = {"PageUp": "page up", "ArrowUp": "up"}
        held = dict(list(held.items())[:self.browser.fingers])
        tab.touch({finger: self.spot(tab, f"[data-code={code}]")
                   for finger, code in enumerate(held, 1)})
        time.sleep(0.15)
        tab.touch({})
        self.tap(tab, "#ctrl")
        frames = [self.held_frames(tab, [], ",".join(["left ctrl", *held.values()]))]
        tab.run("['pointerdown', 'pointerup'].map(type => document.querySelector('[data-code="
                "ArrowRight]').dispatchEvent(new PointerEvent(type, {bubbles: true, pointerId: 7})))")
        # Down and up in one task, yet held for a frame: the next slot.
        self.assert_picture(self.canvas(tab), native("b", *frames, "right")[0])
        # A cancelled pointer, the tab going hidden or sliding off lets go of a held button.
        tab.run("addEventListener('pointerdown', e => window.finger = e.pointerId, true)")
        cancel = ("document.querySelector('.down').dispatchEvent(new PointerEvent('pointercancel',"
                  " {bubbles: true, pointerId: finger}))")
        for button, release in (
                ("NumpadAdd", lambda: tab.run(cancel)),
                ("NumpadSubtract", lambda: tab.run("document.dispatchEvent(new Event('visibilitychange'))")),
                ("PageDown", lambda: tab.touch({1: self.spot(tab, "#screen")}))):
            before = tab.run(CANVAS_SUM)
            tab.touch({1: self.spot(tab, f"[data-code={button}]")})
            time.sleep(0.25)  # a touch presses once it stayed 0.1 s
            release()
            after = self.settled(tab)
            self.assertTrue(after and after != before, f"{button} held, then let go")
            tab.touch({})
        # The sound button is the gesture that lets the audio start.
        self.tap(tab, "[data-key=s]")
        tab.wait_for("window.SDL && SDL.audioContext && SDL.audioContext.state == 'running'")
        tab.wait_for("$('panel').querySelector('[data-key=s]').ariaPressed == 'true'")


class Firefox(Engine, unittest.TestCase):
    Browser = webdriver.Firefox


class WebKit(Engine, unittest.TestCase):
    Browser = webdriver.WebKit


class Chromium(Engine, unittest.TestCase):
    Browser = chromium.Browser

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
        self.tap(tab, "#start button:nth-child(3)")  # c
        for n, (line, prompt) in enumerate(zip(["", *lines.splitlines()],
                                               ["\n1. Wert: ", "\n4. Wert: ", ""])):
            if line:
                tab.call("Input.insertText", text=line)
                tab.press("Enter") if n == 1 else self.tap(tab, "#enter")  # the key, the button
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
        # German: Shift with the +/* key is the coarse step; AZERTY: the digit row by place.
        tab.key("ShiftLeft")
        tab.press("BracketRight", hold=0.15, key="*")
        tab.key("ShiftLeft", down=False)
        frames.append(self.held_frames(tab, frames, "left shift,[+]"))
        tab.press("Digit4", key="'")
        tab.press("Slash", hold=0.15, key="-")
        frames += ["[4]", self.held_frames(tab, frames + ["[4]"], "[-]")]
        for key in ("Enter", "NumpadEnter", "KeyC", "KeyZ"):
            tab.press(key)
        picture, loop = native("b", *frames, "enter", "", "enter", "c", "y")  # Return too
        self.assert_picture(self.canvas(tab), picture)
        self.assertEqual(tab.run("$('console').textContent"), console_text(b""))

        tab.press("KeyS")
        tab.wait_for("played.some(buffer => buffer.some(v => v))")
        time.sleep(0.3)
        played = tab.run("played")
        first = next(i for i, buffer in enumerate(played) if any(buffer))
        self.assertEqual(played, [[0] * 512] * first + [loop] * (len(played) - first))
        tab.key("ControlLeft")
        tab.press("Equal")
        tab.press("Minus")
        tab.key("ControlLeft", down=False)
        self.assertEqual(tab.run("kept"), ["ControlLeft", "ShiftLeft", "ControlLeft"],
                         "keys it acts on, Ctrl with + and - too, must not scroll or zoom it")
        tab.press("Escape")
        self.assert_ended(tab, 0)
        tab.run("$('again').click()")  # a fresh start: the help text, no canvas
        tab.wait_for("window.ready && $('ended').className && "
                     "!document.body.classList.contains('running')")

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
