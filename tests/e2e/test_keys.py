"""Press-edge keys change what the window shows; the picture is checked against the sum
of the odd-harmonic preset computed here."""

import time
import unittest

from harness import XTestCase
from test_plot import MIDDLE, WHITE, preset_a_rows

SLOT_2_COLOUR = (255, 51, 0)
COLUMNS = range(150, 900, 53)  # away from the overlay and the square wave's steep edges
STEEP_COLUMNS = range(466, 477)  # the sum falls about ten rows per column here
PRESS = 0.2  # long enough to span a frame even in a sanitizer build


class KeysChangeThePicture(XTestCase):
    def setUp(self):
        self.program = self.start(args=["n"], stdin_bytes=b"a")

    def tearDown(self):
        self.program.key("Escape", hold=PRESS)
        self.assertEqual(self.program.wait(), 0)

    def press(self, *names):
        for name in names:
            self.program.key(name, hold=PRESS, settle=0.3)

    def settled(self, check, timeout=10):
        """Screenshots until check passes: a loaded machine may be a few frames behind."""
        deadline = time.monotonic() + timeout
        while True:
            try:
                return check(self.program.screenshot())
            except AssertionError:
                if time.monotonic() > deadline:
                    raise
            time.sleep(0.2)

    def assert_thick(self, thick):
        def check(image):
            for x in COLUMNS:
                row = int(preset_a_rows(x)[1])
                self.assertEqual(image.pixel(x, row), WHITE, f"sum at column {x}")
                for companion in (row - 1, row + 1):
                    self.assertEqual(image.pixel(x, companion) == WHITE, thick, (x, companion))
        self.settled(check)

    def test_d_thickens_r_clears_its_trail_and_c_clears_every_frame(self):
        # Without clearing the thick rows stay as a trail; with it they go with the next frame.
        for keys, thick in [((), False), ("d", True), ("d", True), ("r", False), ("d", True),
                            ("c", True), ("d", False)]:
            self.press(*keys)
            self.assert_thick(thick)

    def test_l_joins_successive_columns_with_runs(self):
        def runs(joined):
            def check(image):
                for x in STEEP_COLUMNS:
                    start = int(preset_a_rows(x - 1)[1])
                    step = int(preset_a_rows(x)[1] - start)
                    self.assertGreater(step, 2)
                    run = [image.pixel(x - 1, y) == WHITE for y in range(start, start + step)]
                    self.assertEqual(run, [True] + [joined] * (step - 1), f"column {x - 1}")
            return check
        self.settled(runs(False))
        self.press("l")
        self.settled(runs(True))

    def test_keypad_enter_switches_the_selected_slot_off(self):
        self.press("c", "KP_Down", "KP_Enter")  # keypad 2: slot 2, k = 5, to scale 0

        def check(image):
            for x in COLUMNS:
                total = preset_a_rows(x, [1.0, 1.0, 0.0] + [1.0] * 7)[1]
                self.assertEqual(image.pixel(x, int(total)), WHITE)
                self.assertNotEqual(image.pixel(x, int(preset_a_rows(x)[0][2])), SLOT_2_COLOUR)
            # With scale 0 the slot's curve lies flat on the middle row.
            flat = [image.pixel(x, MIDDLE) for x in range(1, 1024)].count(SLOT_2_COLOUR)
            self.assertGreater(flat, 0)
            self.assertEqual(image.count(SLOT_2_COLOUR), flat)
        self.settled(check)


if __name__ == "__main__":
    unittest.main()
