"""Runs the real program in a real X window under Xvfb and drives it like a user.

Keys go in through xdotool (held ~50 ms, since the program reads key state once per
frame); pictures come back through xwd and ImageMagick as plain RGB arrays.
"""

import os
import random
import shutil
import subprocess
import tempfile
import time
import unittest

PROGRAM = os.environ.get("KURVELLO_PROGRAM", "")
WINDOW_SIZE = (1024, 768)


def _free_display():
    start = random.randrange(100, 900)
    for number in range(start, start + 200):
        if not os.path.exists(f"/tmp/.X{number}-lock") and not os.path.exists(
            f"/tmp/.X11-unix/X{number}"
        ):
            return number
    raise RuntimeError("no free X display number")


class XServer:
    """An Xvfb screen of its own for one test class."""

    def __init__(self, width=1280, height=1024, depth=24):
        self.number = _free_display()
        self.display = f":{self.number}"
        self.process = subprocess.Popen(
            ["Xvfb", self.display, "-screen", "0", f"{width}x{height}x{depth}",
             "-noreset", "-nolisten", "tcp"],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        deadline = time.monotonic() + 10
        while not os.path.exists(f"/tmp/.X11-unix/X{self.number}"):
            if time.monotonic() > deadline or self.process.poll() is not None:
                raise RuntimeError("Xvfb did not start")
            time.sleep(0.05)
        time.sleep(0.1)

    def env(self):
        env = dict(os.environ)
        env["DISPLAY"] = self.display
        return env

    def stop(self):
        self.process.terminate()
        self.process.wait(timeout=10)


class Image:
    """A screenshot as RGB bytes, addressed by (column, row)."""

    def __init__(self, width, height, rgb):
        self.width, self.height, self.rgb = width, height, rgb

    def pixel(self, x, y):
        i = (y * self.width + x) * 3
        return tuple(self.rgb[i:i + 3])

    def column(self, x):
        return [self.pixel(x, y) for y in range(self.height)]

    def count(self, colour):
        n = 0
        target = bytes(colour)
        for i in range(0, len(self.rgb), 3):
            if self.rgb[i:i + 3] == target:
                n += 1
        return n


def parse_ppm(data):
    # Binary P6 with one header line per field, as ImageMagick writes it.
    parts = data.split(maxsplit=4)
    if parts[0] != b"P6":
        raise ValueError("not a P6 image")
    width, height, maxval = int(parts[1]), int(parts[2]), int(parts[3])
    if maxval != 255:
        raise ValueError("unexpected maxval")
    rgb = parts[4][: width * height * 3]
    return Image(width, height, rgb)


class Program:
    """One run of the program on an X server, with its console input given up front."""

    def __init__(self, xserver, args=(), stdin_bytes=b"a", env=None, wait_window=True):
        self.xserver = xserver
        run_env = xserver.env()
        run_env.setdefault("SDL_AUDIODRIVER", "dummy")
        if env:
            run_env.update(env)
        self.stdout_file = tempfile.TemporaryFile()
        self.stderr_file = tempfile.TemporaryFile()
        self.process = subprocess.Popen(
            [PROGRAM, *args], stdin=subprocess.PIPE, stdout=self.stdout_file,
            stderr=self.stderr_file, env=run_env)
        self.process.stdin.write(stdin_bytes)
        self.process.stdin.close()
        self.window = None
        if wait_window:
            self.window = self.wait_for_window()

    def xenv(self):
        return self.xserver.env()

    def wait_for_window(self, timeout=20):
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            if self.process.poll() is not None:
                raise AssertionError(
                    f"program ended with {self.process.returncode} before its window showed: "
                    f"{self.stderr()!r}")
            found = subprocess.run(
                ["xdotool", "search", "--onlyvisible", "--pid", str(self.process.pid)],
                capture_output=True, text=True, env=self.xenv())
            ids = found.stdout.split()
            if ids:
                window = ids[0]
                self.point_at_window()
                time.sleep(0.3)
                return window
            time.sleep(0.1)
        raise AssertionError("window did not appear")

    def point_at_window(self):
        # mousemove --sync waits ~16 s for a motion that never comes when the pointer is
        # there already, as after a full-screen run, which centres it.
        where = subprocess.run(["xdotool", "getmouselocation", "--shell"],
                               capture_output=True, text=True, env=self.xenv()).stdout
        if "X=512\nY=384\n" not in where:
            subprocess.run(["xdotool", "mousemove", "--sync", "512", "384"],
                           env=self.xenv(), check=True)

    def key(self, name, hold=0.05, settle=0.15):
        """Holds a key for `hold` seconds, then lets the program draw a few frames."""
        self.key_down(name)
        time.sleep(hold)
        self.key_up(name)
        time.sleep(settle)

    def key_down(self, name):
        subprocess.run(["xdotool", "keydown", name], env=self.xenv(), check=True)

    def key_up(self, name):
        subprocess.run(["xdotool", "keyup", name], env=self.xenv(), check=True)

    def screenshot(self, save_png=None):
        """Reads the program's window back through xwd."""
        xwd = subprocess.run(["xwd", "-silent", "-root"], capture_output=True,
                             env=self.xenv(), check=True).stdout
        ppm = subprocess.run(
            ["convert", "xwd:-", "-crop", f"{WINDOW_SIZE[0]}x{WINDOW_SIZE[1]}+0+0",
             "+repage", "-strip", "-depth", "8", "ppm:-"],
            input=xwd, capture_output=True, check=True).stdout
        if save_png:
            subprocess.run(["convert", "ppm:-", save_png], input=ppm, check=True)
        return parse_ppm(ppm)

    def wait(self, timeout=20):
        return self.process.wait(timeout=timeout)

    def stop(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait(timeout=10)

    def close_files(self):
        self.stdout_file.close()
        self.stderr_file.close()

    def stdout(self):
        self.stdout_file.seek(0)
        return self.stdout_file.read()

    def stderr(self):
        self.stderr_file.seek(0)
        return self.stderr_file.read()


class XTestCase(unittest.TestCase):
    """Test class with one Xvfb screen shared by its tests."""

    screen = (1280, 1024, 24)

    @classmethod
    def setUpClass(cls):
        if not PROGRAM or not os.path.exists(PROGRAM):
            raise unittest.SkipTest("KURVELLO_PROGRAM is not set")
        for tool in ("Xvfb", "xdotool", "xwd", "convert"):
            if shutil.which(tool) is None:
                raise RuntimeError(f"{tool} is missing")
        cls.x = XServer(*cls.screen)

    @classmethod
    def tearDownClass(cls):
        cls.x.stop()

    def start(self, **kwargs):
        program = Program(self.x, **kwargs)
        self.addCleanup(program.close_files)
        self.addCleanup(program.stop)
        return program
