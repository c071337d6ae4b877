// Pixels, lines, the plot, the digit font, value texts and the overlay.
#include "draw/draw.h"
#include "support/test_surface.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <memory>
#include <string>

namespace {

Pixels column(int x, int first, int last) {
    Pixels points;
    for (int y = first; y <= last; y++)
        points.insert({x, y});
    return points;
}

// The low bytes of the value, three bytes low byte first (1, 2, 3 at rising addresses), at every
// corner, row 0 included; nothing outside the surface.
TEST(PutPixel, StoresTheLowBytesOfTheValueAtEveryCornerAndNothingOutside) {
    for (int bits : {8, 16, 24, 32}) {
        SurfacePtr s = make_surface(3, 2, bits);
        for (auto [x, y] :
             {std::pair{0, 0}, {2, 0}, {0, 1}, {2, 1}, {-1, 0}, {3, 1}, {0, -1}, {1, 2}})
            put_pixel(*s, x, y, 0x04030201);
        EXPECT_EQ(inked_pixels(*s), (Pixels{{0, 0}, {2, 0}, {0, 1}, {2, 1}})) << bits;
        EXPECT_EQ(pixel_at(*s, 2, 1), 0x04030201u & (0xFFFFFFFFu >> (32 - bits))) << bits;
    }
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
        {16, 2, 16, 3, 0, {}}, {16, 2, 15, 3, 0, {{2, 15}, {3, 15}, {4, 15}}}, {16, 0, 1, 2, 0, {{0, 1}, {1, 1}}},
        {40, 37, 9, 3, 1, {{37, 9}, {38, 9}, {39, 9}}}, {40, 0, 10, 1, 2, column(0, 10, 11)}, // edge columns
        {16, 3, -1999999990, 1, 2000000000, column(3, 1, 9)}, {16, 3, INT_MAX, 1, INT_MIN, column(3, 1, 15)},
        // clang-format on
    };
    for (const auto &c : cases) {
        SurfacePtr s = make_surface(40, c.h);
        draw_line(*s, 0xFFFFFF, c.x0, c.y0, c.dx, c.dy);
        EXPECT_EQ(inked_pixels(*s), c.want) << c.x0 << ',' << c.y0 << ',' << c.dx << ',' << c.dy;
    }
}

// A scene of expected.txt: bits step active line thick clear zoom scale_3 y_scale h zero_from.
// Slot i has k = step * i + 1 up to zero_from; over ten slots, spread scales and shifts.
// Between frames slot 0 and the last slot in use move.
SurfacePtr draw_scene(const std::vector<std::string> &a) {
    const int active = std::stoi(a[2]);
    SurfacePtr surface = make_surface(1024, std::stoi(a[9]), std::stoi(a[0]));
    HarmonicNumbers harmonic{};
    for (int i = 0; i < std::stoi(a[10]); i++)
        harmonic[i] = std::stoi(a[1]) * i + 1;
    SynthesisState s = init_synthesis_state(*surface->format, harmonic);
    s.line_mode = std::stoi(a[3]), s.thick_curve = std::stoi(a[4]),
    s.clear_screen = std::stoi(a[5]);
    s.active_count = active, s.zoom = std::stod(a[6]), s.y_scale = std::stod(a[8]);
    for (int i = 0; active > 10 && i < HARMONIC_SLOTS; i++)
        s.scale[i] = 1.0 - 0.07 * i, s.shift[i] = 0.3 * i - 2.0;
    s.scale[3] = std::stod(a[7]);
    const auto kept = std::make_unique<PlotCache>(); // the second frame reuses most sines
    for (int frame = 0; frame < 2; frame++) {
        draw_plot(*surface, s, *kept);
        s.shift[0] += 0.4, s.shift[std::max(active - 1, 0)] -= 0.4;
    }
    return surface;
}

// Whole pictures against the independent rendering in tests/reference, which stores them.
void expect_reference(const StoredCase &c, const SDL_Surface &s) {
    if (std::to_string(digest(s)) != c.stored)
        ADD_FAILURE() << reference_difference(c, s.pixels, s.h * s.pitch); // no padding here
}

// One slot with k = 1 at zoom 1 on 4 rows (m = 2). Line mode at the edges, 3 columns: 2 -
// 1.15 sin(x) is 1.03 in column 1 and 0.95 in column 2, so the run keeps row 1; 2 + 2.3 sin(x)
// is 3.94, then 4.09: row 3. With shift 1, sin(0) and sin(1) times the last scale are 0 and
// exactly -2^31: the run from row 2 to 2 + 2^31 covers rows 2 and 3. The last column gets
// nothing. Points on 2 columns: 2 - sin(1) is 1.16, row 1 of column 1. The sum covers the slot.
TEST(DrawPlot, LineModeRunsFromOffTheSurfaceKeepTheEdgeRowsAndTwoColumnsDrawOne) {
    const struct {
        int w, line;
        double scale, shift;
        Pixels want;
    } cases[] = {{3, 1, 1.15, 0, {{1, 1}}},
                 {3, 1, -2.3, 0, {{1, 3}}},
                 {3, 1, -2552059057.0217457, 1, column(1, 2, 3)},
                 {2, 0, 1.0, 0, {{1, 1}}}};
    for (const auto &c : cases) {
        SurfacePtr s = make_surface(c.w, 4);
        SynthesisState state = init_synthesis_state(*s->format, HarmonicNumbers{1});
        state.line_mode = c.line, state.active_count = 1, state.zoom = 1.0;
        state.scale[0] = c.scale, state.shift[0] = c.shift;
        draw_plot(*s, state, *std::make_unique<PlotCache>());
        EXPECT_EQ(inked_pixels(*s), c.want) << c.scale;
        for (auto [x, y] : c.want)
            EXPECT_EQ(pixel_at(*s, x, y), state.sum_color);
    }
}

TEST(DrawPlot, TwoFramesOfEachSceneMatchTheIndependentRendering) {
    for (const StoredCase &c : stored_cases("plot", 18))
        expect_reference(c, *draw_scene(c.args));
}

SurfacePtr text(const char *t, int x, int y) {
    SurfacePtr s = make_surface(100, 20);
    draw_text(*s, t, x, y, 0x070707);
    return s;
}

// The glyphs as pictured, rows clipped to 1 .. h - 1, columns to the width, the pen wrapping
// in 16 bits; other characters leave six blank columns.
TEST(DrawText, DrawsTheGlyphsAsPicturedAndClipsRows) {
    for (const StoredCase &c : stored_cases("text_at", 8))
        expect_reference(c, *text(c.args[0].c_str(), std::stoi(c.args[1]), std::stoi(c.args[2])));
    EXPECT_EQ(digest(*text("8k8,8+8 8\3448", 0, 4)), digest(*text("8 8 8 8 8 8", 0, 4)));
}

TEST(FormatValue, GivesTheWorkedExamplesAndExactRoundings) {
    // The worked examples (the last: 1.0 less a hundred steps of 0.01); the exact roundings
    // are the reference's (tests/reference).
    const std::pair<double, const char *> examples[] = {
        // clang-format off
        {1.0, " 1.0000"}, {0.0, " .00000"}, {0.5, " .50000"}, {100.0, " 100.00"}, {99.9996, " 100.00"},
        {12345.4, " 12345."}, {9.99996, " 10.000"}, {-1.0, "-1.0000"}, {0.1, " .10000"}, {0.01, " .10000"},
        {-0.01, "-.10000"}, {-7.528699885739343e-16, "-.75287"}};
    // clang-format on
    for (auto [value, text] : examples)
        EXPECT_STREQ(format_value(value).data(), text) << value;
    for (StoredCase &c : stored_cases("text", 23)) {
        std::replace(c.stored.begin(), c.stored.end(), '_', ' ');
        EXPECT_EQ(format_value(std::strtod(c.args[0].c_str(), nullptr)).data(), c.stored)
            << c.args[0];
    }
    for (int v : {0, 7, 10, 50, -1, -3080, INT_MAX, INT_MIN})
        EXPECT_EQ(format_integer(v).data(), std::to_string(v));
}

// The box and the band over pixel value 0x123456, which stands for the plot.
TEST(ValueOverlay, MatchesTheIndependentRendering) {
    SlotValues up, down;
    for (int i = 0; i < HARMONIC_SLOTS; i++)
        up[i] = i + 1, down[i] = -(i + 1);
    for (const StoredCase &c : stored_cases("overlay", 3)) { // w h y_scale zoom active selected
        SurfacePtr s = make_surface(std::stoi(c.args[0]), std::stoi(c.args[1]));
        SDL_FillRect(s.get(), nullptr, 0x123456);
        draw_value_overlay(*s, std::stod(c.args[2]), std::stod(c.args[3]), std::stoi(c.args[4]),
                           std::stoi(c.args[5]), up, down);
        expect_reference(c, *s);
    }
}

} // namespace
