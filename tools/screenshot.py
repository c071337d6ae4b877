#!/usr/bin/env python3
"""Writes docs/screenshot.png: the program with preset a in a window under Xvfb.

    tools/screenshot.py [--program build/kurvello] [--args n] [--output docs/screenshot.png]
                        [--settle 1.5] [--keys KEY ...]

Keys (xdotool names) are pressed one after another once the window shows, before the
picture is taken, so the same script can show a later state of the program. Escape ends
the program afterwards; any status but 0 fails the script.
"""

import argparse
import os
import subprocess
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "tests", "e2e"))

import harness  # noqa: E402


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--program", default=os.path.join(ROOT, "build", "kurvello"))
    parser.add_argument("--args", nargs="*", default=["n"], help="the program's arguments")
    parser.add_argument("--output", default=os.path.join(ROOT, "docs", "screenshot.png"))
    parser.add_argument("--settle", type=float, default=1.5,
                        help="seconds of frames before the picture is taken")
    parser.add_argument("--keys", nargs="*", default=[])
    args = parser.parse_args()
    if not os.path.exists(args.program):
        sys.exit(f"{args.program} does not exist; build it first")

    harness.PROGRAM = os.path.abspath(args.program)
    os.makedirs(os.path.dirname(os.path.abspath(args.output)), exist_ok=True)
    xserver = harness.XServer()
    try:
        program = harness.Program(xserver, args=args.args, stdin_bytes=b"a")
        try:
            for key in args.keys:
                program.key(key)
            time.sleep(args.settle)
            rgb = program.screenshot()
            program.key("Escape")
            status = program.wait()
        finally:
            program.stop()
    finally:
        xserver.stop()
    # Without dates and other metadata, so the same picture gives the same file.
    subprocess.run(["convert", "-size", "1024x768", "-depth", "8", "rgb:-", "-strip", "-define",
                    "png:exclude-chunks=date,time", args.output], input=rgb, check=True)
    print(f"wrote {args.output}")
    if status != 0:
        sys.exit(f"{args.program} ended with status {status} on Escape")


if __name__ == "__main__":
    main()
