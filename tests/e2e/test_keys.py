"""Keys from a real keyboard change the picture as the key map says."""

import unittest

from harness import XTestCase

# SHA-1 of the window's RGB bytes, computed once with an independent Python rendering of the
# document's rules: clearing, thick sum, line mode, 11 slots, slot 3 selected with scale 0;
# then after the reset, which keeps the toggles and the selection.
EDITED = "2c4dd065a618959982c4786e69ef745e5afafc70"
RESET = "c5fc0ac72b32151712f9f01925a9af2ad8585856"


class Keys(XTestCase):
    def test_toggles_slot_count_selection_scale_and_reset(self):
        program = self.start(stdin_bytes=b"a")
        for key in ("c", "d", "l", "ctrl+Right", "KP_Down", "Down"):
            program.key(key)
        self.assertEqual(program.picture_digest(EDITED), EDITED)
        program.key("r")
        self.assertEqual(program.picture_digest(RESET), RESET)
        program.key("Escape")
        self.assertEqual(program.wait(), 0)


if __name__ == "__main__":
    unittest.main()
