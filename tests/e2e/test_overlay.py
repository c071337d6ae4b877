"""The key y switches the value overlay; nothing erases it until clearing is on."""

import unittest

from harness import XTestCase
from test_picture import START

# SHA-1 of the window's RGB bytes, computed once with an independent Python rendering of the
# document's plot for preset a with clearing on and no overlay.
PLOT_ONLY = "35c420379edb3fdc93219926b8d06cfd5d854448"


class Overlay(XTestCase):
    def test_y_switches_the_overlay_off_and_on(self):
        program = self.start(stdin_bytes=b"a")
        for key, want in (("y", START), ("c", PLOT_ONLY), ("y", START)):
            program.key(key)
            self.assertEqual(program.picture_digest(want), want, key)
        program.key("Escape")
        self.assertEqual(program.wait(), 0)


if __name__ == "__main__":
    unittest.main()
