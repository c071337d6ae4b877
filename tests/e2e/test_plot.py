"""The waveform plot of preset a at the start state, pixel for pixel, in a real window."""

import math
import unittest

from harness import XTestCase

WIDTH, HEIGHT, MIDDLE = 1024, 768, 384
GREY, WHITE = (128, 128, 128), (255, 255, 255)


def preset_a_rows(x, scales=(1.0,) * 10, zoom=150.0):
    """Row values of the terms k = 1, 3, 5, ... (shift 0) and of their sum at column x."""
    rows, total = [], 0.0
    for i, scale in enumerate(scales):
        k = 2 * i + 1
        term = math.sin((k * x) * (1.0 / zoom) - 0.0) * (scale / k)
        rows.append(MIDDLE - (term * zoom) * 1.0)
        total += term  # in order: sum() may compensate
    return rows, MIDDLE - (total * zoom) * 1.0


def start_picture():
    """Point-mode frame: ticks, the ten slot colours, then the white sum."""
    picture = {}
    for x in range(1, WIDTH):
        if x % 10 == 0:
            for y in (MIDDLE, MIDDLE + 150, MIDDLE - 150):
                picture[(x, y)] = GREY
        rows, total = preset_a_rows(x)
        for v, colour in zip(rows + [total], [(255, int(i * 25.5), 0) for i in range(10)] + [WHITE]):
            if 0 < v < HEIGHT:
                picture[(x, int(v))] = colour
    return picture


class PresetAPicture(XTestCase):
    def test_start_picture_shows_ten_terms_and_their_square_wave_sum(self):
        program = self.start(args=["n"], stdin_bytes=b"a")
        image = program.screenshot()
        want = start_picture()
        # The overlay's band and box lie over the plot.
        wrong = [(x, y) for x in range(WIDTH) for y in range(81, HEIGHT)
                 if not (HEIGHT - 35 <= y <= HEIGHT - 3 and 30 <= x <= 229)
                 and image.pixel(x, y) != want.get((x, y), (0, 0, 0))]
        self.assertEqual(wrong[:5], [], f"{len(wrong)} pixels differ")
        self.assertEqual(len(set(want.values())), 12)  # ten slot colours, grey, white
        for colour in set(want.values()):
            self.assertGreater(image.count(colour), 0, colour)
        program.key("Escape")
        self.assertEqual(program.wait(), 0)


if __name__ == "__main__":
    unittest.main()
