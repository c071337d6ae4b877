"""The first picture of preset a in a real window, pixel for pixel."""

import unittest

from harness import XTestCase

# SHA-1 of the window's RGB bytes, computed once with an independent Python rendering of the
# document's plot, digit font and overlay rules for the start values of preset a.
START = "1adc03ce8b67f2bb4207c63bc0a47d4529ed0db2"


class Picture(XTestCase):
    def test_preset_a_shows_its_terms_sum_ticks_and_values(self):
        program = self.start(stdin_bytes=b"a")
        self.assertEqual(program.picture_digest(START), START)
        program.key("Escape")
        self.assertEqual(program.wait(), 0)


if __name__ == "__main__":
    unittest.main()
