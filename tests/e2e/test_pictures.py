# Pictures in a real window, pixel for pixel, and the keys that change them. The SHA-1 values
# of the window's RGB bytes were computed once with an independent Python rendering of the
# document's plot, digit font and overlay rules for preset a.
import unittest

from harness import XTestCase

START = "1adc03ce8b67f2bb4207c63bc0a47d4529ed0db2"      # the start values
PLOT_ONLY = "35c420379edb3fdc93219926b8d06cfd5d854448"  # clearing on, no overlay
# Clearing, thick sum, line mode, 11 slots, slot 3 selected with scale 0; then the reset,
# which keeps the toggles and the selection.
EDITED = "2c4dd065a618959982c4786e69ef745e5afafc70"
RESET = "c5fc0ac72b32151712f9f01925a9af2ad8585856"


class Pictures(XTestCase):
    def test_the_overlay_shows_until_y_and_clearing_take_it_off(self):
        program = self.start()
        for key, want in ((None, START), ("y", START), ("c", PLOT_ONLY), ("y", START)):
            if key:
                program.key(key)
            self.assertEqual(program.picture(want), want, key)
        program.key("Escape")
        self.assertEqual(program.wait(), 0)

    def test_keys_change_toggles_slot_count_selection_and_scale_and_r_resets(self):
        program = self.start()
        for key in ("c", "d", "l", "ctrl+Right", "KP_Down", "Down"):
            program.key(key)
        self.assertEqual(program.picture(EDITED), EDITED)
        program.key("r")
        self.assertEqual(program.picture(RESET), RESET)
        program.key("Escape")
        self.assertEqual(program.wait(), 0)


if __name__ == "__main__":
    unittest.main()
