# The key s and the looping tone, through SDL's disk audio driver, which writes every stream
# the callback filled to a file: silence until the first refresh, then the loop.
import hashlib
import os
import tempfile
import time
import unittest

from harness import XTestCase

# SHA-1 of one 1024-byte loop, computed once with an independent Python synthesis from the
# document: preset a at its start values, then with slot 1's scale at 0.
LOOP = "9bc82d8eed624dad847a7a7169b6d77ffaafc3b7"
LOOP_WITHOUT_SLOT_1 = "7baed2ed9613a276070a283e28d6913688533695"
SILENCE = hashlib.sha1(bytes(1024)).hexdigest()


class Sound(XTestCase):
    def assert_silence_then(self, path, loop):
        for _ in range(100):
            with open(path, "rb") as f:
                data = f.read()
            streams = [hashlib.sha1(data[i:i + 1024]).hexdigest() for i in range(0, len(data) - 1023, 1024)]
            if loop in streams:
                first = streams.index(loop)
                return self.assertEqual(streams, [SILENCE] * first + [loop] * (len(streams) - first))
            time.sleep(0.1)
        self.fail("the loop never reached the audio file")

    def test_s_plays_the_loop_and_stops_it(self):
        path = os.path.join(tempfile.mkdtemp(), "played.raw")
        program = self.start(env={"SDL_AUDIODRIVER": "disk", "SDL_DISKAUDIOFILE": path,
                                  "SDL_DISKAUDIODELAY": "1"})
        self.assertFalse(os.path.exists(path), "sound must be off at start")
        program.key("s")
        self.assert_silence_then(path, LOOP)
        program.key("s")
        size = os.path.getsize(path)
        time.sleep(0.5)
        self.assertEqual(os.path.getsize(path), size, "the device kept playing after s")
        program.key("Down")  # slot 1's scale to 0 while sound is off; a new file at the open
        program.key("s")
        self.assert_silence_then(path, LOOP_WITHOUT_SLOT_1)
        program.key("Escape")
        self.assertEqual(program.wait(), 0)

    def test_s_without_a_sound_device_reports_it_and_ends_with_1(self):
        program = self.start(env={"SDL_AUDIODRIVER": "no-such-driver", "LC_ALL": "C"})
        program.key("s")
        self.assertEqual(program.wait(), 1)
        self.assertRegex(program.stderr(), rb"\AAudio-Ger\xe4t konnte nicht ge\xf6ffnet werden: [^\n]+\n\Z")


if __name__ == "__main__":
    unittest.main()
