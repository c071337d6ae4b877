"""The first picture of preset a, pixel for pixel, and the key y that switches its value
overlay; nothing erases the overlay until clearing is on."""

import unittest

from harness import XTestCase
# SHA-1 of the window's RGB bytes, computed once with an independent Python rendering of the
# document's plot, digit font and overlay rules for the start values of preset a, and of the
# plot alone with clearing on.
START = "1adc03ce8b67f2bb4207c63bc0a47d4529ed0db2"
PLOT_ONLY = "35c420379edb3fdc93219926b8d06cfd5d854448"


class Overlay(XTestCase):
    def test_y_switches_the_overlay_off_and_on(self):
        program = self.start(stdin_bytes=b"a")
        self.assertEqual(program.picture_digest(START), START)
        for key, want in (("y", START), ("c", PLOT_ONLY), ("y", START)):
            program.key(key)
            self.assertEqual(program.picture_digest(want), want, key)
        program.key("Escape")
        self.assertEqual(program.wait(), 0)


if __name__ == "__main__":
    unittest.main()
