// The digit font, value texts and the overlay's texts.
#include "draw/text.h"
#include "draw/value_overlay.h"
#include "draw/value_text.h"
#include "support/test_surface.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <string>

namespace {

SurfacePtr text(const char *t, int x, int y) {
    SurfacePtr s = make_surface(100, 20);
    draw_text(*s, t, x, y, 0x070707);
    return s;
}

// The digest was computed once with Python from the glyph table as the document pictures it.
// Rows are clipped to 1 .. h - 1 glyph row by glyph row; the pen wraps in 16 bits; other
// characters leave six blank columns.
TEST(DrawText, DrawsTheGlyphsAsPicturedAndClipsRows) {
    EXPECT_EQ(digest(*text("0123456789.-/%K", 0, 0)), 15990042208542711684u);
    EXPECT_EQ(digest(*text("8k8,8+8 8\3448", 0, 4)), digest(*text("8 8 8 8 8 8", 0, 4)));
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

TEST(FormatValue, GivesTheDocumentsExamplesAndExactRoundings) {
    volatile double step = 0.01;
    double walked = 1.0;
    for (int i = 0; i < 100; ++i)
        walked -= step;
    // The document's examples, then (from 1.03125 on) texts computed once with Python's
    // exact Decimal rounding half up: ties at the sixth digit and long expansions.
    const std::pair<double, const char *> examples[] = {{1.0, " 1.0000"},
                                                        {0.0, " .00000"},
                                                        {0.5, " .50000"},
                                                        {100.0, " 100.00"},
                                                        {99.9996, " 100.00"},
                                                        {12345.4, " 12345."},
                                                        {9.99996, " 10.000"},
                                                        {-1.0, "-1.0000"},
                                                        {0.1, " .10000"},
                                                        {0.01, " .10000"},
                                                        {-0.01, "-.10000"},
                                                        {walked, "-.75287"},
                                                        {1.03125, " 1.0313"},
                                                        {3.90625, " 3.9063"},
                                                        {12344.5, " 12345."},
                                                        {5e-324, " .49407"},
                                                        {1e-300, " .10000"},
                                                        {2.5e-20, " .25000"},
                                                        {1.4e-45, " .14000"},
                                                        {7.888609052210118e-31, " .78886"},
                                                        {2.2250738585072014e-308, " .22251"}};
    for (auto [value, text] : examples)
        EXPECT_STREQ(format_value(value).data(), text) << value;
    // Past five digits before the point: bars behind the sign; not a number: its own mark.
    EXPECT_STREQ(format_value(99999.5).data(), " ------");
    EXPECT_STREQ(format_value(-HUGE_VAL).data(), "-------");
    EXPECT_STREQ(format_value(-std::nan("")).data(), " %%%%%%");
    for (int v : {0, 7, 10, 50, -1, -3080, INT_MAX, INT_MIN})
        EXPECT_EQ(format_integer(v).data(), std::to_string(v));
}

// Digests computed once with an independent Python rendering from the document (its glyph
// table, positions and value texts with decimal rounding half up) over a surface of pixel
// value 0x123456 that stands for the plot: the start, 26 slots, an empty band, no red, no band.
TEST(ValueOverlay, MatchesTheIndependentRendering) {
    volatile double step = 0.01;
    double walked = 1.0; // a hundred steps down: about -7.5e-16, not 0
    for (int i = 0; i < 100; i++)
        walked -= step;
    SlotValues ones, zeros{}, counted, minus_counted, minus_tenths, hundredths;
    for (int i = 0; i < HARMONIC_SLOTS; i++)
        ones[i] = 1.0, counted[i] = i + 1, minus_counted[i] = -(i + 1), minus_tenths[i] = -0.1,
        hundredths[i] = 0.01;
    const struct {
        int w;
        double y_scale, zoom;
        int active, selected;
        const SlotValues &scale, &speed;
        std::uint64_t want;
    } cases[] = {
        // clang-format off
        {1024, 1.0, 150, 10, 0, ones, zeros, 9814343122310064009u},
        {1024, 1.0, 150, 26, 25, counted, minus_counted, 17713472586535717755u},
        {1024, walked, 151, 0, 3, ones, zeros, 5595615317930113948u}, {1020, 1.0, 0, 10, 0, ones, zeros, 14360847938395642309u},
        {1024, -0.5, -1, 5, 7, minus_tenths, hundredths, 10460245468129899756u},
        {1020, -0.5, 15, 10, 0, ones, zeros, 16398964581390701964u}, {1020, 1.0, 1500, 9, 0, ones, zeros, 10110962867397940517u},
        // clang-format on
    };
    for (const auto &c : cases) {
        SurfacePtr s = make_surface(c.w, 768);
        SDL_FillRect(s.get(), nullptr, 0x123456);
        draw_value_overlay(*s, c.y_scale, c.zoom, c.active, c.selected, c.scale, c.speed);
        EXPECT_EQ(digest(*s), c.want) << "case " << &c - cases;
    }
}

} // namespace
