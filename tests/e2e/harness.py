"""Runs the real program in a real X window under Xvfb and drives it like a user.

Keys go in through xdotool (held ~50 ms, since the program reads key state once per
frame); pictures come back through xwd and ImageMagick as plain RGB arrays.
"""

import fcntl
import os
import random
import shutil
import subprocess
import tempfile
import termios
import time
import unittest

PROGRAM = os.environ.get("KURVELLO_PROGRAM", "")
WINDOW_SIZE = (1024, 768)


def _free_display():
    start = random.randrange(100, 900)
    for number in range(start, start + 200):
        if not any(os.path.exists(path) for path in
                   (f"/tmp/.X{number}-lock", f"/tmp/.X11-unix/X{number}")):
            return number
    raise RuntimeError("no free X display number")


class XServer:
    """An Xvfb screen of its own for one test class."""

    def __init__(self, width=1280, height=1024, depth=24):
        self.number = _free_display()
        self.process = subprocess.Popen(
            ["Xvfb", f":{self.number}", "-screen", "0", f"{width}x{height}x{depth}",
             "-noreset", "-nolisten", "tcp"],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        deadline = time.monotonic() + 10
        while not os.path.exists(f"/tmp/.X11-unix/X{self.number}"):
            if time.monotonic() > deadline or self.process.poll() is not None:
                raise RuntimeError("Xvfb did not start")
            time.sleep(0.05)
        time.sleep(0.1)

    def env(self):
        return dict(os.environ, DISPLAY=f":{self.number}")

    def run(self, *command):
        """Runs an X client on this screen and returns its output."""
        return subprocess.run(command, capture_output=True, text=True, env=self.env(),
                              check=True).stdout

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

    def count(self, colour):
        target = bytes(colour)
        return sum(self.rgb[i:i + 3] == target for i in range(0, len(self.rgb), 3))


class Program:
    """One run of the program on an X server. Its console is a pipe holding stdin_bytes,
    or, given tty, that terminal as its controlling terminal, as in a shell."""

    def __init__(self, xserver, args=(), stdin_bytes=b"a", env=None, wait_window=True,
                 tty=None):
        self.xserver = xserver
        run_env = {"SDL_AUDIODRIVER": "dummy", **xserver.env(), **(env or {})}
        self.stdout_file = tempfile.TemporaryFile()
        self.stderr_file = tempfile.TemporaryFile()
        if tty is None:
            self.process = subprocess.Popen(
                [PROGRAM, *args], stdin=subprocess.PIPE, stdout=self.stdout_file,
                stderr=self.stderr_file, env=run_env)
            self.process.stdin.write(stdin_bytes)
            self.process.stdin.close()
        else:
            self.process = subprocess.Popen(
                [PROGRAM, *args], stdin=tty, stdout=tty, stderr=self.stderr_file,
                env=run_env, start_new_session=True,
                preexec_fn=lambda: fcntl.ioctl(0, termios.TIOCSCTTY, 0))
        self.window = self.wait_for_window() if wait_window else None

    def wait_for_window(self, timeout=20):
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            if self.process.poll() is not None:
                raise AssertionError(
                    f"program ended with {self.process.returncode} before its window showed: "
                    f"{self.stderr()!r}")
            ids = subprocess.run(
                ["xdotool", "search", "--onlyvisible", "--pid", str(self.process.pid)],
                capture_output=True, text=True, env=self.xserver.env()).stdout.split()
            if ids:
                self.point_at_window()
                time.sleep(0.3)
                return ids[0]
            time.sleep(0.1)
        raise AssertionError("window did not appear")

    def point_at_window(self):
        # mousemove --sync waits ~16 s for a motion that never comes when the pointer is
        # there already, as after a full-screen run, which centres it.
        if "X=512\nY=384\n" not in self.xserver.run("xdotool", "getmouselocation", "--shell"):
            self.xserver.run("xdotool", "mousemove", "--sync", "512", "384")

    def key(self, name, hold=0.05, settle=0.15):
        """Holds a key for `hold` seconds, then lets the program draw a few frames."""
        self.xserver.run("xdotool", "keydown", name)
        time.sleep(hold)
        self.xserver.run("xdotool", "keyup", name)
        time.sleep(settle)

    def screenshot(self, save_png=None):
        """Reads the program's window back through xwd."""
        xwd = subprocess.run(["xwd", "-silent", "-root"], capture_output=True,
                             env=self.xserver.env(), check=True).stdout
        ppm = subprocess.run(
            ["convert", "xwd:-", "-crop", f"{WINDOW_SIZE[0]}x{WINDOW_SIZE[1]}+0+0",
             "+repage", "-strip", "-depth", "8", "ppm:-"],
            input=xwd, capture_output=True, check=True).stdout
        if save_png:
            subprocess.run(["convert", "ppm:-", save_png], input=ppm, check=True)
        # Binary P6 with one header field per line, as ImageMagick writes it.
        magic, width, height, maxval, rgb = ppm.split(maxsplit=4)
        if magic != b"P6" or maxval != b"255":
            raise ValueError("not an 8-bit P6 image")
        return Image(int(width), int(height), rgb[:int(width) * int(height) * 3])

    def wait(self, timeout=20):
        return self.process.wait(timeout=timeout)

    def stop(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait(timeout=10)
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
        self.addCleanup(program.stop)
        return program
