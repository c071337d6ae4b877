// Pixels, lines, the plot, the digit font, value texts and the overlay.
#include "draw/draw.h"
#include "support/test_surface.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace {

Pixels column(int x, int first, int last) {
    Pixels points;
    for (int y = first; y <= last; y++)
        points.insert({x, y});
    return points;
}

// Worked examples, rows 1 … h − 1 only, and runs of billions of rows that must end at once.
TEST(DrawLine, DrawsExactlyTheRowsOfItsRun) {
    const struct {
        int h, x0, y0, dx, dy;
        Pixels want;
    } cases[] = {
        // clang-format off
        {40, 10, 20, 2, 4, {{10, 20}, {10, 21}, {11, 22}, {11, 23}}}, {40, 0, 10, 3, 1, {{0, 10}, {1, 10}, {2, 10}}},
        {40, 0, 10, 4, -2, {{0, 8}, {1, 8}, {2, 9}, {3, 9}}}, {40, 5, 10, 1, 4, column(5, 10, 13)},
        {40, 5, 10, 1, -4, column(5, 6, 9)}, {40, 5, 10, 1, -1, {{5, 9}}}, {40, 5, 10, 1, 1, {{5, 10}}},
        {40, 5, 10, 1, 0, {{5, 10}}}, {40, 0, 10, 0, 3, column(0, 10, 12)}, {40, 5, 10, 0, 0, {}},
        {16, 3, -5, 1, 30, column(3, 1, 15)}, {16, 3, 20, 1, -30, column(3, 1, 15)}, {16, 0, 0, 4, 0, {}},
        {16, 2, 16, 3, 0, {}}, {16, 2, 15, 3, 0, {{2, 15}, {3, 15}, {4, 15}}},
        {16, 3, -1999999990, 1, 2000000000, column(3, 1, 9)}, {16, 3, INT_MAX, 1, INT_MIN, column(3, 1, 15)},
        // clang-format on
    };
    for (const auto &c : cases) {
        SurfacePtr s = make_surface(40, c.h);
        draw_line(*s, 0xFFFFFF, c.x0, c.y0, c.dx, c.dy);
        EXPECT_EQ(inked_pixels(*s), c.want) << c.x0 << ',' << c.y0 << ',' << c.dx << ',' << c.dy;
    }
}

struct Scene {
    int bits, step, active, line_mode, thick, clear;
    double zoom, scale_3 = 1, y_scale = 1;
    int h = 768, zero_from = HARMONIC_SLOTS;
};

// Slot i has k = step * i + 1 up to zero_from; over ten slots, spread scales and shifts.
// Between frames slot 0 and the last slot in use move.
SurfacePtr draw_scene(const Scene &c, int frames) {
    SurfacePtr surface = make_surface(1024, c.h, c.bits);
    HarmonicNumbers harmonic{};
    for (int i = 0; i < c.zero_from; i++)
        harmonic[i] = c.step * i + 1;
    SynthesisState s = init_synthesis_state(*surface->format, harmonic);
    s.line_mode = c.line_mode, s.thick_curve = c.thick, s.clear_screen = c.clear;
    s.active_count = c.active, s.zoom = c.zoom, s.y_scale = c.y_scale;
    for (int i = 0; c.active > 10 && i < HARMONIC_SLOTS; i++)
        s.scale[i] = 1.0 - 0.07 * i, s.shift[i] = 0.3 * i - 2.0;
    s.scale[3] = c.scale_3;
    for (int frame = 0; frame < frames; frame++) {
        draw_plot(*surface, s);
        s.shift[0] += 0.4, s.shift[std::max(c.active - 1, 0)] -= 0.4;
    }
    return surface;
}

// Digests computed once with an independent Python rendering of the plot rules (math.sin,
// the same order of operations) on 1024-column surfaces of 8-8-8 and 5-6-5 colours.
TEST(DrawPlot, TwoFramesOfEachSceneMatchTheIndependentRendering) {
    const std::pair<Scene, std::uint64_t> scenes[] = {
        {{32, 2, 10, 0, 0, 0, 150}, 7612211425826932740u},        // preset a at the start
        {{32, 2, 23, 1, 1, 1, 64.7, 2.5}, 13696996857057288011u}, // lines, thick, clearing
        {{16, 2, 23, 1, 1, 1, 64.7, 2.5}, 5721083156823834054u},
        {{24, 2, 23, 1, 1, 0, 64.7, 2.5}, 17172612136732741990u},  // the same with trails
        {{32, 1, 50, 0, 1, 0, 65.7, 2.5}, 9320358720139399164u},   // points, thick, trails
        {{32, 2, 10, 1, 0, 0, 150, 3e7}, 4143991997386086880u},    // runs from far off the surface
        {{32, 2, 23, 1, 1, 0, 64.7, 3e10}, 15493919770636772336u}, // and past 32 bits
        {{32, 2, 0, 0, 1, 0, 150}, 6519574951071944764u},  // no slots: ticks and a flat thick sum
        {{32, 2, 0, 1, 1, 0, 150}, 16956086178001202389u}, // the same in lines: no last column
        {{32, 2, 10, 1, 1, 0, 0}, 5880990788883680805u},   // zoom 0: only ticks, on row m
        {{32, 1, 25, 0, 1, 0, 150, 1, 1, 768, 20}, 7248416500351933056u}, // k = 0: no sum
        {{32, 2, 0, 0, 0, 0, 128, 1, 3.0}, 11523677012398826556u},        // level rows at 0 and h
        {{32, 2, 0, 0, 0, 0, 128, 1, 2.99609375}, 11506745355711235644u}, // at 0.5 and h - 0.5
        {{32, 2, 0, 0, 0, 0, 128, 1, 1.0, 1}, 194855103249436197u},       // one row: ticks on row 0
    };
    for (const auto &[scene, want] : scenes)
        EXPECT_EQ(digest(*draw_scene(scene, 2)), want)
            << scene.bits << ' ' << scene.active << ' ' << scene.zoom;
}

SurfacePtr text(const char *t, int x, int y) {
    SurfacePtr s = make_surface(100, 20);
    draw_text(*s, t, x, y, 0x070707);
    return s;
}

// A digest computed once with Python from the glyph pictures; rows clipped to 1 .. h - 1,
// columns to the width, the pen wrapping in 16 bits, other characters six blank columns.
TEST(DrawText, DrawsTheGlyphsAsPicturedAndClipsRows) {
    EXPECT_EQ(digest(*text("0123456789.-/%K", 0, 0)), 15990042208542711684u);
    EXPECT_EQ(digest(*text("8k8,8+8 8\3448", 0, 4)), digest(*text("8 8 8 8 8 8", 0, 4)));
    const SurfacePtr whole = text("8/%", 0, 4);
    const struct {
        int x, y, shift, left; // rows below and columns right of the whole text
    } cases[] = {{0, -8, -12, 0},      {0, 8, 4, 0},      {0, -5, -9, 0}, {0, -4, -8, 0},
                 {65536, 65540, 0, 0}, {-65536, 4, 0, 0}, {90, 4, 0, 90}};
    for (const auto &c : cases) {
        const SurfacePtr clipped = text("8/%", c.x, c.y);
        for (int y = 0; y < 20; y++)
            for (int x = 0; x < 100; x++)
                ASSERT_EQ(pixel_at(*clipped, x, y),
                          y > 0 && x >= c.left && y - c.shift >= 0 && y - c.shift < 20
                              ? pixel_at(*whole, x - c.left, y - c.shift)
                              : 0)
                    << c.y << " at " << x << ',' << y;
    }
}

// 1.0 less a hundred steps of 0.01: about -7.5e-16, not 0. At run time, as the keys do it.
double hundred_steps_down() {
    volatile double step = 0.01;
    double value = 1.0;
    for (int i = 0; i < 100; i++)
        value -= step;
    return value;
}

TEST(FormatValue, GivesTheWorkedExamplesAndExactRoundings) {
    const double walked = hundred_steps_down();
    // The worked examples, then (from 1.03125 on) texts computed once with Python's exact
    // Decimal rounding half up: ties at the sixth digit, long expansions, bars past five digits.
    const std::pair<double, const char *> examples[] = {// clang-format off
        {1.0, " 1.0000"}, {0.0, " .00000"}, {0.5, " .50000"}, {100.0, " 100.00"}, {99.9996, " 100.00"},
        {12345.4, " 12345."}, {9.99996, " 10.000"}, {-1.0, "-1.0000"}, {0.1, " .10000"}, {0.01, " .10000"},
        {-0.01, "-.10000"}, {walked, "-.75287"}, {1.03125, " 1.0313"}, {3.90625, " 3.9063"}, {12344.5, " 12345."},
        {5e-324, " .49407"}, {1e-300, " .10000"}, {2.5e-20, " .25000"}, {1.4e-45, " .14000"}, {131072.0, " ------"},
        {7.888609052210118e-31, " .78886"}, {2.2250738585072014e-308, " .22251"}, {12345678901.5, " ------"}};
    // clang-format on
    for (auto [value, text] : examples)
        EXPECT_STREQ(format_value(value).data(), text) << value;
    for (int v : {0, 7, 10, 50, -1, -3080, INT_MAX, INT_MIN})
        EXPECT_EQ(format_integer(v).data(), std::to_string(v));
}

// Digests computed once with an independent Python rendering of the rules (glyph table,
// positions, value texts rounded half up) over pixel value 0x123456, which stands for the plot.
TEST(ValueOverlay, MatchesTheIndependentRendering) {
    const double walked = hundred_steps_down();
    SlotValues up, down;
    for (int i = 0; i < HARMONIC_SLOTS; i++)
        up[i] = i + 1, down[i] = -(i + 1);
    const struct {
        int w;
        double y_scale, zoom;
        int active, selected;
        std::uint64_t want;
    } cases[] = {{1024, -0.5, -1, 26, 25, 6104425717513753558u}, // the second row pair, slot 26 red
                 {1020, walked, 151, 0, 3, 10577642317156133980u}}; // no band
    for (const auto &c : cases) {
        SurfacePtr s = make_surface(c.w, 768);
        SDL_FillRect(s.get(), nullptr, 0x123456);
        draw_value_overlay(*s, c.y_scale, c.zoom, c.active, c.selected, up, down);
        EXPECT_EQ(digest(*s), c.want) << c.w;
    }
}

} // namespace
