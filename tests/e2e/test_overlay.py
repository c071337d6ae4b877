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
GLYPHS = {c: "".join(row[6 * g:6 * g + 5] for row in PICTURE)
          for g, c in enumerate("0123456789.-/%K")}
GLYPHS[" "] = "." * 40
WHITE, RED, BLACK = (255, 255, 255), (255, 0, 0), (0, 0, 0)
H = 768


def read_text(image, x, y, length, colour=WHITE):
    """Text drawn at (x, y): cells of 5 x 8 from (x + 10, y + 5), 6 columns apart."""
    cells = ["".join("#" if image.pixel(x + 10 + 6 * i + j, y + 5 + r) == colour else "."
                     for r in range(8) for j in range(5)) for i in range(length)]
    return "".join(next((c for c, g in GLYPHS.items() if g == cell), "?")
                   for cell in cells)


class ValueOverlay(XTestCase):
    def test_overlay_shows_the_defaults_and_y_with_clearing_turns_it_off(self):
        program = self.start(args=["n"], stdin_bytes=b"a")
        shot = program.screenshot(save_png="/tmp/overlay_on.png")
        # Slots 9 and 10 are read from their first digit: the slot before inks the sign cell.
        texts = [(40, H - 30, 9, WHITE), (120, H - 30, 7, WHITE), (40, H - 15, 8, WHITE),
                 (2, 10, 7, RED), (2, 25, 7, RED), (8 + 40 * 9, 10, 6, WHITE),
                 (8 + 40 * 10, 10, 6, WHITE)]
        self.assertEqual([read_text(shot, *t) for t in texts],
                         [" 100.00 %", " 1.0000", "1 / 10 K", " 1.0000", " .00000", "1.0000",
                          "      "])

        program.key("y")  # off, but nothing erases the last overlay
        self.assertEqual(read_text(program.screenshot(), 40, H - 15, 8), "1 / 10 K")

        program.key("c")  # clearing on: now the box and the band are black, as is all above
        shot = program.screenshot(save_png="/tmp/overlay_off.png")
        box = [(x, y) for x in range(30, 230) for y in range(H - 35, H - 2)]
        band = [(x, y) for x in range(1, 1024) for y in range(5, 81)]
        self.assertEqual([p for p in box + band if shot.pixel(*p) != BLACK], [])

        program.key("y")
        self.assertEqual(read_text(program.screenshot(), 40, H - 15, 8), "1 / 10 K")
        program.key("Escape")
        self.assertEqual(program.wait(), 0)


if __name__ == "__main__":
    unittest.main()
