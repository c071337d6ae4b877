#!/usr/bin/python3
"""The page in headless Chromium: its screenshots, or its frame times under full load.

    tools/web_page.py screenshot [--page build-web] [--output docs]
    tools/web_page.py frames [--page build-web] [--seconds 10] [--moving]

frames: preset a with 50 slots, line mode, thick sum, clearing, overlay and sound on, the
picture still or (--moving) every slot moving; prints the animation frames per second and
the median and 99th percentile of the page's own work per frame (performance.now() around
each frame, as the page keeps it).
screenshot: preset a, started by touch, on a 1366 x 768 laptop and a 768 x 1024 tablet in
portrait: OUTPUT/web-1366x768.png and OUTPUT/web-768x1024.png.
"""

import argparse
import os
import statistics
import time

import chromium

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def full_load(tab):
    tab.press("KeyA")  # as kurvello_frame_bench
    tab.key("ControlLeft", modifiers=chromium.CTRL)
    for _ in range(4):  # 10 -> 50 slots
        tab.press("ArrowUp", modifiers=chromium.CTRL)
    tab.key("ControlLeft", down=False)
    for key in ("KeyL", "KeyD", "KeyC", "KeyS"):
        tab.press(key)


def frames(tab, seconds, moving):
    full_load(tab)
    for _ in range(50 if moving else 0):  # Ctrl with keypad plus on every slot
        tab.press("NumpadAdd", hold=0.03, modifiers=chromium.CTRL)
        tab.press("ArrowRight", hold=0.03)
    time.sleep(1)
    first, start = tab.run("[Module._kurvello_frames(), performance.now()]")
    time.sleep(seconds)
    last, end = tab.run("[Module._kurvello_frames(), performance.now()]")
    first = max(first, last - 4096)  # the page keeps the latest 4096
    kept = sorted(tab.run(f"Array.from({{length: {last - first}}}, "
                          f"(_, i) => Module._kurvello_frame_work({first} + i))"))
    print(f"{len(kept)} frames, {(last - first) / (end - start) * 1000:.1f} frames/s, "
          f"work per frame: median {statistics.median(kept):.2f} ms, "
          f"99th percentile {kept[int(0.99 * (len(kept) - 1))]:.2f} ms, "
          f"max {kept[-1]:.2f} ms")


def screenshots(browser, url, output):
    for width, height in ((1366, 768), (768, 1024)):
        tab = browser.tab()
        tab.open(url + "kurvello.html")
        tab.wait_for("window.ready")
        tab.viewport(width, height)
        spot = tab.run("(r => [r.x + 20, r.y + 20])($('start').getBoundingClientRect())")
        tab.touch({1: spot})
        tab.touch({})
        time.sleep(1)
        path = os.path.join(output, f"web-{width}x{height}.png")
        with open(path, "wb") as out:
            out.write(tab.screenshot())
        print(f"wrote {path}")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("what", choices=["screenshot", "frames"])
    parser.add_argument("--page", default=os.path.join(ROOT, "build-web"))
    parser.add_argument("--output", default=os.path.join(ROOT, "docs"))
    parser.add_argument("--seconds", type=float, default=10)
    parser.add_argument("--moving", action="store_true")
    args = parser.parse_args()
    server = chromium.serve(args.page)
    browser = chromium.Browser()
    try:
        tab = browser.tab()
        tab.open(server.url + "kurvello.html")
        tab.wait_for("window.ready")
        if args.what == "frames":
            frames(tab, args.seconds, args.moving)
            return
        screenshots(browser, server.url, args.output)
    finally:
        browser.close()
        server.shutdown()


if __name__ == "__main__":
    main()
