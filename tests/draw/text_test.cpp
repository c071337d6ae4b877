#include "draw/text.h"
#include "support/test_surface.h"

#include <gtest/gtest.h>

namespace {

SurfacePtr text(const char *t, int x, int y) {
    SurfacePtr s = make_surface(100, 20);
    draw_text(*s, t, x, y, 0x070707);
    return s;
}

// Digest computed once with Python from the glyph table as the document pictures it.
TEST(DrawText, DrawsEveryGlyphAsPictured) {
    EXPECT_EQ(digest(*text("0123456789.-/%K", 0, 0)), 15990042208542711684u);
}

// Rows are clipped to 1 .. h - 1 glyph row by glyph row; the pen wraps in 16 bits.
TEST(DrawText, ClipsRowsAndKeepsThePenIn16Bits) {
    const SurfacePtr whole = text("8/%", 0, 4);
    const struct {
        int x, y, shift; // rows below the whole text
    } cases[] = {{0, -8, -12}, {0, 8, 4},         {0, -5, -9},
                 {0, -4, -8},  {65536, 65540, 0}, {-65536, 4, 0}};
    for (const auto &c : cases) {
        const SurfacePtr clipped = text("8/%", c.x, c.y);
        for (int y = 0; y < 20; y++)
            for (int x = 0; x < 100; x++)
                ASSERT_EQ(pixel_at(*clipped, x, y), y > 0 && y - c.shift >= 0 && y - c.shift < 20
                                                        ? pixel_at(*whole, x, y - c.shift)
                                                        : 0)
                    << c.y << " at " << x << ',' << y;
    }
}

TEST(DrawText, OtherCharactersLeaveSixColumns) {
    SurfacePtr apart = text("", 0, 0);
    for (int i = 0; i < 6; ++i)
        draw_text(*apart, "8", 12 * i, 0, 0x070707);
    EXPECT_EQ(digest(*text("8k8,8+8 8\3448", 0, 0)), digest(*apart)); // \344: a Latin-1 letter
}

} // namespace
