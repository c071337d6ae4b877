#!/usr/bin/python3
"""An Xvfb screen of our own, for the tests and the tool scripts.

    tools/xvfb.py [--size WIDTHxHEIGHT] COMMAND [ARG...]

runs COMMAND with DISPLAY (and KURVELLO_XVFB) naming a fresh screen (1280 x 1024 unless
--size says, 24 bits deep) on a display number nobody holds, stops the screen afterwards and
exits with COMMAND's status.
"""
import os
import random
import subprocess
import sys
import time


class XServer:  # started on construction; only its own processes are stopped
    def __init__(self, width=1280, height=1024, window_manager=False):
        self.number = next(n for n in range(random.randrange(100, 900), 1000)
                           if not os.path.exists(f"/tmp/.X{n}-lock"))
        self.process = subprocess.Popen(["Xvfb", f":{self.number}", "-screen", "0",
                                         f"{width}x{height}x24", "-noreset", "-nolisten", "tcp"],
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.env = dict(os.environ, DISPLAY=f":{self.number}", KURVELLO_XVFB=f":{self.number}")
        while not os.path.exists(f"/tmp/.X11-unix/X{self.number}"):
            assert self.process.poll() is None, "Xvfb did not start"
            time.sleep(0.05)
        time.sleep(0.1)
        # SDL2 asks a window manager for full screen.
        self.manager = window_manager and subprocess.Popen(
            ["openbox", "--sm-disable"], env=self.env, stderr=subprocess.DEVNULL)
        while window_manager and "_NET_SUPPORTING_WM_CHECK" not in self.run("xprop", "-root"):
            time.sleep(0.05)

    def run(self, *command):
        return subprocess.run(command, capture_output=True, text=True, env=self.env).stdout

    def stop(self):
        for process in filter(None, (self.manager, self.process)):
            process.terminate()
            process.wait(timeout=10)


if __name__ == "__main__":
    size = sys.argv[2].split("x") if sys.argv[1:2] == ["--size"] else []
    command = sys.argv[3:] if size else sys.argv[1:]
    if not command:
        sys.exit(__doc__)
    server = XServer(*map(int, size))
    try:
        sys.exit(subprocess.run(command, env=server.env).returncode)
    finally:
        server.stop()
