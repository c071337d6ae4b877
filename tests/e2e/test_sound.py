"""The key s and the looping tone, heard through SDL's disk audio driver.

The disk driver writes every stream the callback filled to a file, so the file holds exactly
what would have been played: silence until the first refresh, then the loop again and again.
"""

import math
import os
import re
import struct
import tempfile
import time
import unittest

from harness import XTestCase

CHUNK = 1024  # bytes per callback: 512 samples of 16 bits
PRESET_A = [2 * i + 1 for i in range(50)]


def clamp(x, bound):
    return bound if x > bound else (-bound if x < -bound else x)


def expected_loop(harmonic, scale, active=10):
    """One period of the start state's sum (shifts and speeds 0), as the program must play it."""
    out = bytearray()
    for i in range(512):
        p = (i * 0.001953125) * 6.283185307179586
        total = 0.0
        for j in range(active):
            k = float(harmonic[j])
            a = (p * k - 0.0) - (i * 0.0) * 0.025
            total += clamp(math.sin(a) * (scale[j] / k), 1.0)
        total = clamp(total, 10.0)
        out += struct.pack("<h", 0 if math.isnan(total) else int(total * 3276.0))
    return bytes(out)


def chunks(path):
    with open(path, "rb") as f:
        data = f.read()
    whole = len(data) // CHUNK * CHUNK
    return [data[at:at + CHUNK] for at in range(0, whole, CHUNK)]


class SoundOnDisk(XTestCase):
    def setUp(self):
        self.dir = tempfile.TemporaryDirectory()
        self.addCleanup(self.dir.cleanup)
        self.raw = os.path.join(self.dir.name, "played.raw")

    def start_with_disk_audio(self):
        return self.start(args=["n"], stdin_bytes=b"a", env={
            "SDL_AUDIODRIVER": "disk", "SDL_DISKAUDIOFILE": self.raw,
            "SDL_DISKAUDIODELAY": "1"})

    def wait_for_loop(self, loop, timeout=10):
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            if os.path.exists(self.raw) and loop in chunks(self.raw):
                return
            time.sleep(0.1)
        self.fail("the loop never reached the audio file")

    def assert_silence_then(self, loop):
        played = chunks(self.raw)
        silent = 0
        while silent < len(played) and played[silent] == bytes(CHUNK):
            silent += 1
        self.assertGreater(len(played), silent)
        for n, chunk in enumerate(played[silent:]):
            self.assertEqual(chunk, loop, f"stream {silent + n} of {len(played)}")

    def test_s_plays_the_loop_s_again_stops_and_escape_ends_with_0(self):
        program = self.start_with_disk_audio()
        time.sleep(0.3)
        self.assertFalse(os.path.exists(self.raw), "sound must be off at start")

        program.key("s")
        first = expected_loop(PRESET_A, [1.0] * 50)
        self.wait_for_loop(first)
        program.key("s")
        time.sleep(0.3)
        size = os.path.getsize(self.raw)
        time.sleep(0.5)
        self.assertEqual(os.path.getsize(self.raw), size, "the device kept playing after s")
        self.assert_silence_then(first)

        # Slot 0's scale to 0.0 while sound is off; the next open starts a new file.
        program.key("Down")
        program.key("s")
        second = expected_loop(PRESET_A, [0.0] + [1.0] * 49)
        self.wait_for_loop(second)
        self.assert_silence_then(second)

        program.key("Escape")
        self.assertEqual(program.wait(), 0)


class NoSoundDevice(XTestCase):
    def test_s_reports_the_device_and_ends_with_1(self):
        texts = {"C": b"Audio-Ger\xe4t konnte nicht ge\xf6ffnet werden: ",
                 "C.UTF-8": b"Audio-Ger\xc3\xa4t konnte nicht ge\xc3\xb6ffnet werden: "}
        for locale, text in texts.items():
            with self.subTest(locale=locale):
                program = self.start(args=["n"], stdin_bytes=b"a", env={
                    "SDL_AUDIODRIVER": "no-such-driver", "LC_ALL": locale})
                program.key("s")
                self.assertEqual(program.wait(), 1)
                self.assertRegex(program.stderr(), re.escape(text) + rb"[^\n]+\n\Z")


if __name__ == "__main__":
    unittest.main()
