#include "draw/plot.h"
#include "support/test_surface.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace {

using Picture = std::vector<Uint32>; // row after row, one pixel value each

struct Plot {
    SurfacePtr surface;
    SynthesisState state;
};

// Slot i gets the harmonic number first + step · i.
Plot make_plot(int w, int h, int first = 1, int step = 2, int bits = 32) {
    SurfacePtr s = make_surface(w, h, bits);
    HarmonicNumbers harmonic{};
    for (int i = 0; i < HARMONIC_SLOTS; i++)
        harmonic[i] = first + step * i;
    SynthesisState state = init_synthesis_state(*s->format, harmonic);
    return {std::move(s), state};
}

Picture picture_of(const SDL_Surface &s) {
    Picture p;
    for (int y = 0; y < s.h; y++)
        for (int x = 0; x < s.w; x++)
            p.push_back(pixel_at(s, x, y));
    return p;
}

// Index of the first differing pixel, or -1.
long first_difference(const Picture &a, const Picture &b) {
    const auto at = std::mismatch(a.begin(), a.end(), b.begin());
    return at.first == a.end() ? -1 : at.first - a.begin();
}

// The picture a frame should leave, worked out curve by curve from the row values.
void reference_plot(Picture &p, int w, int h, const SynthesisState &s) {
    if (s.clear_screen)
        std::fill(p.begin(), p.end(), 0);
    const auto put = [&](long long x, long long y, Uint32 c) {
        if (x >= 0 && x < w && y >= 0 && y < h)
            p[y * w + x] = c;
    };
    const volatile double zoom = s.zoom;
    const int m = h / 2;
    std::vector<long long> previous(HARMONIC_SLOTS + 3);
    for (int x = 1; x < w; x++) {
        for (double t : {double(m), m + zoom * s.y_scale, m - zoom * s.y_scale})
            if (x % 10 == 0 && t > 0 && t < h)
                put(x, (long long)t, s.axis_color);
        std::vector<std::pair<double, Uint32>> curves;
        double sum = 0;
        for (int i = 0; i < s.active_count; i++) {
            const int k = s.harmonic[i];
            const double t = std::sin(double(k * x) * (1.0 / zoom) - s.shift[i]) * (s.scale[i] / k);
            curves.push_back({m - t * zoom * s.y_scale, s.harmonic_color[i]});
            sum += t;
        }
        const double total = sum * zoom * s.y_scale;
        curves.push_back({m - total, s.sum_color});
        if (s.thick_curve) {
            curves.push_back({(m - 1) - total, s.sum_color});
            curves.push_back({(m + 1) - total, s.sum_color});
        }
        for (size_t c = 0; c < curves.size(); c++) {
            const auto [v, colour] = curves[c];
            if (!s.line_mode) {
                put(x, v > 0 && v < h ? (long long)v : -1, colour);
                continue;
            }
            const long long r = previous[c];
            const double dd = v - double(r);
            const long long d = std::isfinite(dd) ? (long long)std::clamp(dd, -4e15, 4e15) : 0;
            const long long top = std::max(std::min(r, r + d), 1LL);
            const long long end = d == 0 ? r + 1 : std::max(r, r + d);
            for (long long y = top; x > 1 && y < std::min(end, (long long)h); y++)
                put(x - 1, y, colour);
            previous[c] = std::isfinite(v) ? (long long)std::clamp(v, -1e15, 1e15) : 0;
        }
    }
}

// Draws the state's frame and compares it with the reference, both from the same start.
void expect_reference(Plot &plot) {
    const SDL_Surface &s = *plot.surface;
    Picture want = picture_of(s);
    reference_plot(want, s.w, s.h, plot.state);
    draw_plot(*plot.surface, plot.state);
    EXPECT_EQ(first_difference(picture_of(s), want), -1)
        << s.format->BitsPerPixel << " bits, line_mode " << plot.state.line_mode << " thick "
        << plot.state.thick_curve << " clear " << plot.state.clear_screen;
}

// Two frames each, the second with moved shifts: trails stay unless clearing.
TEST(DrawPlot, MatchesReferenceInEveryModeAndPixelSize) {
    const struct {
        int bits, step, line_mode, thick, clear, active;
        double zoom, y_scale, scale_3;  // scale_3: extreme rows beyond 32 bits, or 0 to keep
        int zero_from = HARMONIC_SLOTS; // harmonic number 0 from this slot on: infinite terms
    } cases[] = {
        {32, 2, 0, 0, 0, 10, 150, 1, 0},        {32, 2, 1, 0, 1, 10, 150, 1, 0},
        {32, 2, 0, 1, 1, 23, 63.7, 2.5, 0},     {32, 2, 1, 1, 0, 23, 64.7, 2.5, 0},
        {32, 1, 0, 1, 0, 50, 65.7, 2.5, 0},     {32, 1, 1, 1, 1, 50, 66.7, 2.5, 0},
        {24, 2, 1, 1, 0, 23, 63.7, 2.5, 0},     {16, 2, 0, 1, 0, 23, 63.7, 2.5, 0},
        {8, 2, 1, 0, 0, 10, 150, 1, 0},         {32, 2, 1, 1, 0, 10, 150, 3e7, -1e9},
        {32, 2, 1, 1, 0, 10, 150, 1e300, -1e9}, // rows turn infinite and back
        {32, 2, 0, 1, 0, 25, 150, 1, 0, 20},    {32, 2, 1, 1, 0, 25, 150, 1, 0, 20},
        {32, 2, 0, 1, 0, 10, 0, 1, 0},          {32, 2, 1, 1, 0, 10, 0, 1, 0}, // NaN terms
        {32, 2, 0, 0, 0, 10, 128, 3, 0},        {32, 2, 0, 0, 0, 10, 128, 2.99609375, 0}, // ticks
    };
    for (const auto &c : cases) {
        Plot plot = make_plot(1024, 768, 1, c.step, c.bits);
        SynthesisState &s = plot.state;
        s.line_mode = c.line_mode;
        s.thick_curve = c.thick;
        s.clear_screen = c.clear;
        s.active_count = c.active;
        s.zoom = c.zoom;
        s.y_scale = c.y_scale;
        for (int i = 0; c.active > 10 && i < HARMONIC_SLOTS; i++) {
            s.scale[i] = 1.0 - 0.07 * i;
            s.shift[i] = 0.3 * i - 2.0;
        }
        std::fill(s.harmonic.begin() + c.zero_from, s.harmonic.end(), 0);
        if (c.scale_3 != 0)
            s.scale[3] = c.scale_3;
        expect_reference(plot);
        s.shift[0] += 0.4;
        s.shift[c.active - 1] -= 0.4;
        expect_reference(plot);
    }
}

TEST(DrawPlot, TicksAndFlatThickSumWithoutSlots) {
    for (int line_mode : {0, 1}) {
        Plot plot = make_plot(1024, 768);
        plot.state.active_count = 0;
        plot.state.thick_curve = 1;
        plot.state.line_mode = line_mode;
        draw_plot(*plot.surface, plot.state);
        Picture want(1024 * 768);
        for (int x = 1; x < 1024; x++) {
            for (int y : {234, 534})
                want[y * 1024 + x] = x % 10 == 0 ? plot.state.axis_color : 0;
            for (int y : {383, 384, 385})
                want[y * 1024 + x] = x < 1024 - line_mode ? plot.state.sum_color : 0;
        }
        EXPECT_EQ(first_difference(picture_of(*plot.surface), want), -1) << line_mode;
    }
}

// Rows drawn in column 1 of a 3-column plot whose one term moves the row value from
// 200 - scale * before to 200 - scale * (before + 1); sin(t) is t for these tiny arguments.
std::vector<int> line_step_rows(double scale, int before) {
    Plot plot = make_plot(3, 400, 1, 0);
    SynthesisState &s = plot.state;
    s.zoom = std::ldexp(1.0, 40);
    s.shift[0] = std::ldexp(1.0, -40) * (1 - before);
    s.scale[0] = scale;
    s.active_count = 1;
    s.line_mode = 1;
    draw_plot(*plot.surface, s);
    std::vector<int> rows;
    for (int y = 0; y < 400; y++)
        if (pixel_at(*plot.surface, 1, y) != 0)
            rows.push_back(y);
    EXPECT_EQ(s.last_sum_y, static_cast<int>(200 - scale * (before + 1)));
    return rows;
}

TEST(DrawPlot, LineModeTruncatesTheDifferenceAsAWhole) {
    EXPECT_EQ(line_step_rows(5.0, 0), (std::vector<int>{195, 196, 197, 198, 199}));
    EXPECT_EQ(line_step_rows(-5.0, -1), (std::vector<int>{195, 196, 197, 198, 199}));
    EXPECT_EQ(line_step_rows(4.3, 0), (std::vector<int>{196, 197, 198, 199}));
}

} // namespace
