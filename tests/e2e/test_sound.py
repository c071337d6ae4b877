"""The key s and the looping tone, heard through SDL's disk audio driver.

The disk driver writes every stream the callback filled to a file, so the file holds exactly
what would have been played: silence until the first refresh, then the loop again and again.
"""

import math
import os
import struct
import tempfile
import time
import unittest

from harness import XTestCase

CHUNK = 1024  # bytes per callback: 512 samples of 16 bits


def expected_loop(scale):
    """One period of preset a's ten slots with shifts and speeds at 0, as it must play."""
    out = bytearray()
    for i in range(512):
        p = (i * 0.001953125) * 6.283185307179586
        total = 0.0
        for j in range(10):
            k = 2.0 * j + 1.0
            total += math.sin(p * k) * (scale[j] / k)  # never near a limit
        out += struct.pack("<h", int(total * 3276.0))
    return bytes(out)


class Sound(XTestCase):
    def setUp(self):
        directory = tempfile.TemporaryDirectory()
        self.addCleanup(directory.cleanup)
        self.raw = os.path.join(directory.name, "played.raw")

    def streams(self):
        """The whole streams the disk driver wrote so far, one per callback."""
        if not os.path.exists(self.raw):
            return []
        with open(self.raw, "rb") as f:
            data = f.read()
        return [data[at:at + CHUNK] for at in range(0, len(data) - CHUNK + 1, CHUNK)]

    def assert_silence_then(self, loop, timeout=10):
        deadline = time.monotonic() + timeout
        while loop not in self.streams():
            if time.monotonic() > deadline:
                self.fail("the loop never reached the audio file")
            time.sleep(0.1)
        streams = self.streams()
        first = streams.index(loop)
        self.assertEqual(streams[:first], [bytes(CHUNK)] * first)
        self.assertEqual(streams[first:], [loop] * (len(streams) - first))

    def test_s_plays_the_loop_s_again_stops_and_escape_ends_with_0(self):
        program = self.start(args=["n"], env={"SDL_AUDIODRIVER": "disk",
                                              "SDL_DISKAUDIOFILE": self.raw,
                                              "SDL_DISKAUDIODELAY": "1"})
        time.sleep(0.3)
        self.assertFalse(os.path.exists(self.raw), "sound must be off at start")

        program.key("s")
        first = expected_loop([1.0] * 10)
        self.assert_silence_then(first)
        program.key("s")
        time.sleep(0.3)
        size = os.path.getsize(self.raw)
        time.sleep(0.5)
        self.assertEqual(os.path.getsize(self.raw), size, "the device kept playing after s")
        self.assert_silence_then(first)

        # Slot 0's scale to 0.0 while sound is off; the next open starts a new file.
        program.key("Down")
        program.key("s")
        self.assert_silence_then(expected_loop([0.0] + [1.0] * 9))

        program.key("Escape")
        self.assertEqual(program.wait(), 0)

    def test_s_without_a_sound_device_reports_it_and_ends_with_1(self):
        program = self.start(args=["n"], env={"SDL_AUDIODRIVER": "no-such-driver",
                                              "LC_ALL": "C"})
        program.key("s")
        self.assertEqual(program.wait(), 1)
        self.assertRegex(program.stderr(),
                         rb"\AAudio-Ger\xe4t konnte nicht ge\xf6ffnet werden: [^\n]+\n\Z")


if __name__ == "__main__":
    unittest.main()
