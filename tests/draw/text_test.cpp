#include "draw/draw.h"
#include "support/test_surface.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

// The glyph pictures, one blank column between glyphs, as the font must draw them.
const char *const PICTURE[8] = {
    "##### ..### ##### ##### #...# ##### ##### ##### ##### ##### ..... ..... ....# ##..# #...#",
    "#...# ....# ....# ....# #...# #.... #.... ....# #...# #...# ..... ..... ...#. ##.#. #...#",
    "#...# ....# ....# ....# #...# #.... #.... ...#. #...# #...# ..... ..... ...#. ...#. #..#.",
    "#...# ....# ##### ##### ##### ##### ##### .#### ##### ##### ..... ##### ..#.. ..#.. #.#..",
    "#...# ....# #.... ....# ....# ....# #...# ...#. #...# ....# ..... ..... ..#.. ..#.. ##...",
    "#...# ....# #.... ....# ....# ....# #...# ...#. #...# ....# ..... ..... .#... .#... #.#..",
    "#...# ....# #.... ....# ....# ....# #...# ...#. #...# ....# ...## ..... .#... .#.## #..#.",
    "##### ....# ##### ##### ....# ##### ##### ...#. ##### ##### ...## ..... #.... #..## #...#",
};

bool same_pixels(const SurfacePtr &a, const SurfacePtr &b) {
    return std::memcmp(a->pixels, b->pixels, a->h * a->pitch) == 0;
}
// Colour the picture asks for at glyph cell (column, row) of character index g, else 0.
Uint32 ink(int g, int column, int row, Uint32 colour) {
    return row >= 0 && row < 8 && PICTURE[row][6 * g + column] == '#' ? colour : 0;
}

TEST(DrawText, WritesEveryGlyphAsPicturedAndNothingElse) {
    SurfacePtr s = make_surface(120, 20);
    draw_text(*s, "0123456789.-/%K", 0, 0, 7);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 120; ++x)
            ASSERT_EQ(pixel_at(*s, x, y), x >= 10 && x < 100 ? ink(0, x - 10, y - 5, 7) : 0)
                << x << ',' << y;
}

TEST(DrawText, ClipsRowZeroAndTheHeightAndKeepsThePenIn16Bits) {
    SurfacePtr top = make_surface(20, 20), bottom = make_surface(20, 20);
    draw_text(*top, "8", 0, -8, 1);   // top row -3: glyph rows 4..7 on rows 1..4
    draw_text(*bottom, "8", 0, 8, 1); // top row h - 7: glyph row 7 falls off
    for (int y = 0; y < 20; ++y) {
        for (int j = 0; j < 5; ++j) {
            EXPECT_EQ(pixel_at(*top, 10 + j, y), y > 0 ? ink(8, j, y + 3, 1) : 0) << j << ',' << y;
            EXPECT_EQ(pixel_at(*bottom, 10 + j, y), ink(8, j, y - 13, 1)) << j << ',' << y;
        }
    }
    SurfacePtr wrapped = make_surface(20, 20), plain = make_surface(20, 20);
    draw_text(*wrapped, "8", 65536, 65536, 1);
    draw_text(*plain, "8", 0, 0, 1);
    EXPECT_TRUE(same_pixels(wrapped, plain));
}

TEST(DrawText, UnknownCharactersLeaveSixColumnsAndTextsMerge) {
    SurfacePtr text = make_surface(100, 20), digits = make_surface(100, 20);
    draw_text(*text, "8k8,8+8 8\3448", 0, 0, 3); // \344: a Latin-1 letter
    draw_text(*digits, "", 0, 0, 3);
    for (int i = 0; i < 6; ++i)
        draw_text(*digits, "8", 12 * i, 0, 3);
    EXPECT_TRUE(same_pixels(text, digits));

    SurfacePtr merged = make_surface(20, 20);
    draw_text(*merged, "8", 0, 0, 1);
    draw_text(*merged, "1", 0, 0, 2);
    for (int r = 0; r < 8; ++r)
        for (int j = 0; j < 5; ++j)
            EXPECT_EQ(pixel_at(*merged, 10 + j, 5 + r), ink(1, j, r, 2) ? 2 : ink(8, j, r, 1))
                << j << r;
}

} // namespace
