# The real program in a real X window under Xvfb: keys held through xdotool (the program reads
# key state once per frame), pictures through xwd. A run tells which SDL it loaded (classic, or
# compat: SDL 1.2 over SDL2); KURVELLO_EXPECT_SDL, when set, must name that one.
import hashlib
import os
import subprocess
import sys
import tempfile
import time
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools"))
from xvfb import XServer  # noqa: E402  (the one Xvfb starter; test modules import it from here)

PROGRAM = os.environ.get("KURVELLO_PROGRAM", "")
EXPECTED_SDL = os.environ.get("KURVELLO_EXPECT_SDL")


class Program:  # one run; its console is a pipe holding stdin_bytes, or the terminal tty

    def __init__(self, x, args=("n",), stdin_bytes=b"a", env=None, wait_window=True, tty=None,
                 **popen):
        self.x, self.out, self.err = x, tempfile.TemporaryFile(), tempfile.TemporaryFile()
        self.process = subprocess.Popen([PROGRAM, *args], stdin=tty or subprocess.PIPE,
                                        stdout=tty or self.out, stderr=self.err, **popen,
                                        env={"SDL_AUDIODRIVER": "dummy", **x.env, **(env or {})})
        if tty is None:
            self.process.stdin.write(stdin_bytes)
            self.process.stdin.close()
        if wait_window:
            self.wait_for_window()

    def wait_for_window(self):
        # The same windows 0.3 s apart: SDL2 2.32 may show a window for a moment before the one
        # it keeps for full screen.
        seen = ids = ""
        for _ in range(400):
            if ids and ids == seen or self.process.poll() is not None:
                break
            seen = ids
            time.sleep(0.3 if ids else 0.1)
            ids = self.x.run("xdotool", "search", "--onlyvisible", "--pid", str(self.process.pid))
        assert ids, f"no window; status {self.process.poll()}, {self.stderr()!r}"
        self.window = ids.split()[0]
        # The compatibility library loads SDL2, wherever the release puts it; the classic never.
        with open(f"/proc/{self.process.pid}/maps") as maps:
            self.sdl = "compat" if "/libSDL2-2.0.so" in maps.read() else "classic"
        assert EXPECTED_SDL in (None, self.sdl), f"the program loaded the {self.sdl} SDL"
        # SDL2 centres its window; the classic library leaves it at the top left.
        geometry = self.x.run("xdotool", "getwindowgeometry", "--shell", self.window).split()
        self.origin = [int(field[2:]) for field in geometry if field[:2] in ("X=", "Y=")]
        # The pointer in the middle; where it is already, --sync would wait for ever.
        x, y = self.origin[0] + 512, self.origin[1] + 384
        if f"X={x}\nY={y}\n" not in self.x.run("xdotool", "getmouselocation", "--shell"):
            self.x.run("xdotool", "mousemove", "--sync", str(x), str(y))
        time.sleep(0.3)

    def key(self, name, hold=0.5, settle=0.3):  # long enough for a frame on a loaded machine
        self.x.run("xdotool", "keydown", name)
        time.sleep(hold)
        self.x.run("xdotool", "keyup", name)
        time.sleep(settle)

    def screenshot(self):  # the window's 1024 x 768 pixels as RGB bytes
        xwd = subprocess.run(["xwd", "-silent", "-root"], capture_output=True, env=self.x.env).stdout
        crop = "1024x768+%d+%d" % tuple(self.origin)
        return subprocess.run(["convert", "xwd:-", "-crop", crop, "-depth", "8", "rgb:-"],
                              input=xwd, capture_output=True, check=True).stdout

    def picture(self, want):  # the screenshot's SHA-1 once it is want, or after 20 s the last
        for _ in range(100):
            if (got := hashlib.sha1(self.screenshot()).hexdigest()) == want:
                return got
            time.sleep(0.2)
        return got

    def wait(self, timeout=20):
        return self.process.wait(timeout)

    def stop(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait(timeout=10)
        self.out.close()
        self.err.close()

    def stdout(self): return os.pread(self.out.fileno(), 1 << 20, 0)  # noqa: E704

    def stderr(self): return os.pread(self.err.fileno(), 1 << 20, 0)  # noqa: E704


class XTestCase(unittest.TestCase):
    screen = (1280, 1024)
    window_manager = False

    @classmethod
    def setUpClass(cls):
        cls.x = XServer(*cls.screen, window_manager=cls.window_manager)

    @classmethod
    def tearDownClass(cls):
        cls.x.stop()

    def start(self, **kwargs):
        program = Program(self.x, **kwargs)
        self.addCleanup(program.stop)
        return program
