"""The value overlay on screen, read back glyph by glyph, and the key y."""

import unittest

from harness import XTestCase

# The digit font as drawn: "0".."9", ".", "-", "/", "%", "K", one blank column between.
PICTURE = [
    "##### ..### ##### ##### #...# ##### ##### ##### ##### ##### ..... ..... ....# ##..# #...#",
    "#...# ....# ....# ....# #...# #.... #.... ....# #...# #...# ..... ..... ...#. ##.#. #...#",
    "#...# ....# ....# ....# #...# #.... #.... ...#. #...# #...# ..... ..... ...#. ...#. #..#.",
    "#...# ....# ##### ##### ##### ##### ##### .#### ##### ##### ..... ##### ..#.. ..#.. #.#..",
    "#...# ....# #.... ....# ....# ....# #...# ...#. #...# ....# ..... ..... ..#.. ..#.. ##...",
    "#...# ....# #.... ....# ....# ....# #...# ...#. #...# ....# ..... ..... .#... .#... #.#..",
    "#...# ....# #.... ....# ....# ....# #...# ...#. #...# ....# ...## ..... .#... .#.## #..#.",
    "##### ....# ##### ##### ....# ##### ##### ...#. ##### ##### ...## ..... #.... #..## #...#",
]
GLYPHS = {c: [row[6 * g:6 * g + 5] for row in PICTURE] for g, c in enumerate("0123456789.-/%K")}
GLYPHS[" "] = ["....."] * 8
WHITE, RED, BLACK = (255, 255, 255), (255, 0, 0), (0, 0, 0)
H = 768


def read_text(image, x, y, length, colour):
    """Text drawn at (x, y): cells of 5 x 8 from (x + 10, y + 5), 6 columns apart."""
    text = ""
    for i in range(length):
        cells = ["".join("#" if image.pixel(x + 10 + 6 * i + j, y + 5 + r) == colour else "."
                         for j in range(5)) for r in range(8)]
        text += next((c for c, g in GLYPHS.items() if g == cells), "?")
    return text


def overlay_ink(image):
    """Non-black pixels in the box and the top band."""
    box = [(x, y) for x in range(30, 230) for y in range(H - 35, H - 2)]
    band = [(x, y) for x in range(1, 1024) for y in range(5, 81)]
    return sum(image.pixel(x, y) != BLACK for x, y in box + band)


class ValueOverlay(XTestCase):
    def test_overlay_shows_the_defaults_and_y_with_clearing_turns_it_off(self):
        program = self.start(args=["n"], stdin_bytes=b"a")
        shot = program.screenshot(save_png="/tmp/overlay_on.png")
        self.assertEqual(read_text(shot, 40, H - 30, 9, WHITE), " 100.00 %")
        self.assertEqual(read_text(shot, 120, H - 30, 7, WHITE), " 1.0000")
        self.assertEqual(read_text(shot, 40, H - 15, 8, WHITE), "1 / 10 K")
        self.assertEqual(read_text(shot, 2, 10, 7, RED), " 1.0000")
        self.assertEqual(read_text(shot, 2, 25, 7, RED), " .00000")
        self.assertEqual(read_text(shot, 2 + 40 * 9, 10, 7, WHITE)[1:], "1.0000")
        self.assertEqual(read_text(shot, 2 + 40 * 10, 10, 7, WHITE)[1:], "      ")

        program.key("y")  # off, but nothing erases the last overlay
        stale = program.screenshot()
        self.assertEqual(read_text(stale, 40, H - 15, 8, WHITE), "1 / 10 K")

        program.key("c")  # clearing on: now the overlay is gone
        self.assertEqual(overlay_ink(program.screenshot(save_png="/tmp/overlay_off.png")), 0)

        program.key("y")
        self.assertEqual(read_text(program.screenshot(), 40, H - 15, 8, WHITE), "1 / 10 K")
        program.key("Escape")
        self.assertEqual(program.wait(), 0)


if __name__ == "__main__":
    unittest.main()
