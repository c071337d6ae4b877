"""Press-edge keys change what the window shows; the picture is checked against the sum
of the odd-harmonic preset computed here."""

import math
import time
import unittest

from harness import XTestCase

WHITE = (255, 255, 255)
SLOT_2_COLOUR = (255, 51, 0)
MIDDLE = 384   # middle row of the 768-row window
ZOOM = 150.0   # start zoom
SLOTS = 10     # slots in use at start
# Columns away from the overlay and from the steep edges of the square wave.
COLUMNS = range(150, 900, 53)
# Columns where the sum falls about ten rows per column (around x = pi * zoom).
STEEP_COLUMNS = range(466, 477)
PRESS = 0.2    # long enough to span a frame even in a sanitizer build


def sum_row_value(x, scales=None):
    """Row value of the white sum at column x for preset a: k = 1, 3, 5, ..."""
    r = 1.0 / ZOOM
    total = 0.0
    for i in range(SLOTS):
        k = 2 * i + 1
        scale = 1.0 if scales is None else scales[i]
        total += math.sin((k * x) * r - 0.0) * (scale / k)
    return MIDDLE - (total * ZOOM) * 1.0


def slot_row(x, slot):
    k = 2 * slot + 1
    term = math.sin((k * x) * (1.0 / ZOOM) - 0.0) * (1.0 / k)
    return int(MIDDLE - (term * ZOOM) * 1.0)


class KeysChangeThePicture(XTestCase):
    def run_preset_a(self):
        return self.start(args=["n"], stdin_bytes=b"a")

    def press(self, program, name):
        program.key(name, hold=PRESS, settle=0.3)

    def end(self, program):
        program.key("Escape", hold=PRESS)
        self.assertEqual(program.wait(), 0)

    def settled(self, program, check, timeout=10):
        """Screenshots until check passes: a loaded machine may be a few frames behind."""
        deadline = time.monotonic() + timeout
        while True:
            image = program.screenshot()
            try:
                check(image)
                return image
            except AssertionError:
                if time.monotonic() > deadline:
                    raise
            time.sleep(0.2)

    def assert_thick(self, image, thick):
        for x in COLUMNS:
            row = int(sum_row_value(x))
            self.assertEqual(image.pixel(x, row), WHITE, f"sum at column {x}")
            for companion in (row - 1, row + 1):
                is_white = image.pixel(x, companion) == WHITE
                self.assertEqual(is_white, thick, f"row {companion} of column {x}")

    def test_d_thickens_the_sum_and_r_clears_its_trail(self):
        program = self.run_preset_a()
        self.settled(program, lambda i: self.assert_thick(i, False))
        self.press(program, "d")
        self.settled(program, lambda i: self.assert_thick(i, True))
        self.press(program, "d")
        # Nothing clears: the companion rows stay as a trail.
        self.settled(program, lambda i: self.assert_thick(i, True))
        self.press(program, "r")
        self.settled(program, lambda i: self.assert_thick(i, False))
        self.end(program)

    def test_c_clears_before_every_frame(self):
        program = self.run_preset_a()
        self.press(program, "d")
        self.press(program, "d")
        self.press(program, "c")
        self.settled(program, lambda i: self.assert_thick(i, False))
        self.press(program, "d")
        self.settled(program, lambda i: self.assert_thick(i, True))
        self.press(program, "d")
        self.settled(program, lambda i: self.assert_thick(i, False))
        self.end(program)

    def assert_runs(self, image, joined):
        for x in STEEP_COLUMNS:
            start = int(sum_row_value(x - 1))
            step = int(sum_row_value(x) - start)
            self.assertGreater(step, 2)
            run = [image.pixel(x - 1, y) for y in range(start, start + step)]
            if joined:
                self.assertEqual(run, [WHITE] * step, f"column {x - 1}")
            else:
                self.assertEqual(run[0], WHITE, f"column {x - 1}")
                self.assertNotIn(WHITE, run[1:], f"column {x - 1}")

    def test_l_joins_successive_columns_with_runs(self):
        program = self.run_preset_a()
        self.settled(program, lambda i: self.assert_runs(i, False))
        self.press(program, "l")
        self.settled(program, lambda i: self.assert_runs(i, True))
        self.end(program)

    def assert_slot_2_off(self, image):
        scales = [1.0] * SLOTS
        scales[2] = 0.0
        for x in COLUMNS:
            self.assertEqual(image.pixel(x, int(sum_row_value(x, scales))), WHITE)
            self.assertNotEqual(image.pixel(x, slot_row(x, 2)), SLOT_2_COLOUR)
        # With scale 0 the slot's curve lies flat on the middle row.
        flat = [image.pixel(x, MIDDLE) for x in range(1, 1024)]
        self.assertGreater(flat.count(SLOT_2_COLOUR), 0)
        self.assertEqual(image.count(SLOT_2_COLOUR), flat.count(SLOT_2_COLOUR))

    def test_keypad_enter_switches_the_selected_slot_off(self):
        program = self.run_preset_a()
        self.press(program, "c")
        self.press(program, "KP_Down")  # keypad 2: slot 2, k = 5
        self.press(program, "KP_Enter")
        self.settled(program, self.assert_slot_2_off)
        self.end(program)


if __name__ == "__main__":
    unittest.main()
