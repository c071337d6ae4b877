"""The waveform plot of preset a at the start state, pixel for pixel, in a real window."""

import math
import unittest

from harness import XTestCase

WIDTH, HEIGHT = 1024, 768
GREY, WHITE = (128, 128, 128), (255, 255, 255)


def overlay_area(x, y):
    # The value overlay's band and box are drawn over the plot.
    return y <= 80 or (HEIGHT - 35 <= y <= HEIGHT - 3 and 30 <= x <= 229)


def start_picture(zoom=150.0, slots=10):
    """Point-mode frame of the odd harmonics 1, 3, 5, ... with scale 1 and no shift."""
    picture = {}
    middle = HEIGHT // 2
    for x in range(1, WIDTH):
        if x % 10 == 0:
            for v in (middle, middle + zoom, middle - zoom):
                if 0 < v < HEIGHT:
                    picture[(x, int(v))] = GREY
        total = 0.0
        for i in range(slots):
            k = 2 * i + 1
            term = math.sin((k * x) * (1.0 / zoom) - 0.0) * (1.0 / k)
            v = middle - term * zoom * 1.0
            if 0 < v < HEIGHT:
                picture[(x, int(v))] = (255, int(i * 25.5), 0)
            total += term
        v = middle - total * zoom * 1.0
        if 0 < v < HEIGHT:
            picture[(x, int(v))] = WHITE
    return picture


class PresetAPicture(XTestCase):
    def test_start_picture_shows_ten_terms_and_their_square_wave_sum(self):
        program = self.start(args=["n"], stdin_bytes=b"a")
        image = program.screenshot()
        want = start_picture()
        wrong = [(x, y) for x in range(WIDTH) for y in range(HEIGHT)
                 if not overlay_area(x, y)
                 and image.pixel(x, y) != want.get((x, y), (0, 0, 0))]
        self.assertEqual(wrong[:5], [], f"{len(wrong)} pixels differ")
        colours = set(want.values())
        self.assertEqual(len(colours), 12)  # ten slot colours, grey, white
        for colour in colours:
            self.assertGreater(image.count(colour), 0, colour)
        program.key("Escape")
        self.assertEqual(program.wait(), 0)


if __name__ == "__main__":
    unittest.main()
