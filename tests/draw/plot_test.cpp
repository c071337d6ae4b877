#include "draw/plot.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>
#include <vector>

namespace {

using Picture = std::vector<Uint32>; // row after row, one pixel value each

struct Plot {
    SDL_Surface *surface;
    SynthesisState state;
};

Plot make_plot(int w, int h, int first, int step) {
    SDL_Surface *s = SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 32, 0xFF0000, 0xFF00, 0xFF, 0);
    SDL_FillRect(s, nullptr, 0);
    HarmonicNumbers harmonic{};
    for (int i = 0; i < HARMONIC_SLOTS; i++) {
        harmonic[i] = first + step * i;
    }
    return {s, init_synthesis_state(*s->format, harmonic)};
}

Picture picture_of(const SDL_Surface &s) {
    Picture p(s.w * s.h);
    for (int y = 0; y < s.h; y++) {
        std::memcpy(&p[y * s.w], static_cast<const Uint8 *>(s.pixels) + y * s.pitch, s.w * 4);
    }
    return p;
}

// Index of the first differing pixel, or -1.
long first_difference(const Picture &a, const Picture &b) {
    const auto at = std::mismatch(a.begin(), a.end(), b.begin());
    return at.first == a.end() ? -1 : at.first - a.begin();
}

// The picture a frame should leave, worked out curve by curve from the row values.
void reference_plot(Picture &p, int w, int h, const SynthesisState &s) {
    if (s.clear_screen) {
        std::fill(p.begin(), p.end(), 0);
    }
    const auto put = [&](long long x, long long y, Uint32 c) {
        if (x >= 0 && x < w && y >= 0 && y < h) {
            p[y * w + x] = c;
        }
    };
    const volatile double zoom = s.zoom;
    const int m = h / 2;
    std::vector<long long> previous(HARMONIC_SLOTS + 3);
    for (int x = 1; x < w; x++) {
        for (double t : {double(m), m + zoom * s.y_scale, m - zoom * s.y_scale}) {
            if (x % 10 == 0 && t > 0 && t < h) {
                put(x, (long long)t, s.axis_color);
            }
        }
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
            for (long long y = top; x > 1 && y < std::min(end, (long long)h); y++) {
                put(x - 1, y, colour);
            }
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
        << "line_mode " << plot.state.line_mode << " thick " << plot.state.thick_curve;
}

TEST(DrawPlot, MatchesReferenceInBothModes) {
    for (int variant = 0; variant < 6; variant++) {
        Plot plot = make_plot(1024, 768, 1, variant >= 4 ? 1 : 2);
        SynthesisState &s = plot.state;
        s.line_mode = variant % 2;
        s.thick_curve = variant >= 2;
        if (variant >= 2) {
            s.active_count = variant >= 4 ? 50 : 23;
            s.zoom = 61.7 + variant;
            s.y_scale = 2.5;
            for (int i = 0; i < HARMONIC_SLOTS; i++) {
                s.scale[i] = 1.0 - 0.07 * i;
                s.shift[i] = 0.3 * i - 2.0;
            }
        }
        expect_reference(plot);
        SDL_FreeSurface(plot.surface);
    }
}

TEST(DrawPlot, ThreeBytePixelsGetTheSamePicture) {
    Plot wide = make_plot(1024, 768, 1, 2);
    Plot packed = make_plot(1024, 768, 1, 2);
    SDL_FreeSurface(packed.surface);
    packed.surface = SDL_CreateRGBSurface(SDL_SWSURFACE, 1024, 768, 24, 0xFF0000, 0xFF00, 0xFF, 0);
    SDL_FillRect(packed.surface, nullptr, 0);
    for (int line_mode : {0, 1}) {
        wide.state.line_mode = packed.state.line_mode = line_mode;
        draw_plot(*wide.surface, wide.state);
        draw_plot(*packed.surface, packed.state);
    }
    const Picture want = picture_of(*wide.surface);
    const auto *bytes = static_cast<const Uint8 *>(packed.surface->pixels);
    long differences = 0;
    for (int y = 0; y < 768; y++) {
        for (int x = 0; x < 1024; x++) {
            const Uint8 *p = bytes + y * packed.surface->pitch + 3 * x;
            differences += Uint32(p[0] | p[1] << 8 | p[2] << 16) != want[y * 1024 + x];
        }
    }
    EXPECT_EQ(differences, 0);
    SDL_FreeSurface(wide.surface);
    SDL_FreeSurface(packed.surface);
}

TEST(DrawPlot, TicksAndFlatThickSumWithoutSlots) {
    for (int line_mode : {0, 1}) {
        Plot plot = make_plot(1024, 768, 1, 2);
        plot.state.active_count = 0;
        plot.state.thick_curve = 1;
        plot.state.line_mode = line_mode;
        draw_plot(*plot.surface, plot.state);
        Picture want(1024 * 768);
        for (int x = 1; x < 1024 - line_mode; x++) {
            for (int y : {234, 534}) {
                want[y * 1024 + x] = x % 10 == 0 ? plot.state.axis_color : 0;
            }
            for (int y : {383, 384, 385}) {
                want[y * 1024 + x] = plot.state.sum_color;
            }
        }
        want[534 * 1024 + 1020] = want[234 * 1024 + 1020] = plot.state.axis_color;
        EXPECT_EQ(first_difference(picture_of(*plot.surface), want), -1) << line_mode;
        SDL_FreeSurface(plot.surface);
    }
}

TEST(DrawPlot, NonFiniteCurvesAreNotDrawn) {
    for (int line_mode : {0, 1}) {
        Plot zero_slots = make_plot(1024, 768, 1, 2);
        std::fill(zero_slots.state.harmonic.begin() + 20, zero_slots.state.harmonic.end(), 0);
        zero_slots.state.shift.fill(0.5); // infinite terms; 0 would make them NaN
        zero_slots.state.active_count = 25;
        zero_slots.state.line_mode = line_mode;
        zero_slots.state.thick_curve = 1;
        expect_reference(zero_slots);
        const Picture seen = picture_of(*zero_slots.surface);
        EXPECT_EQ(std::count(seen.begin(), seen.end(), zero_slots.state.sum_color), 0);
        EXPECT_GT(std::count(seen.begin(), seen.end(), zero_slots.state.harmonic_color[19]), 0);

        Plot no_zoom = make_plot(1024, 768, 1, 2);
        no_zoom.state.zoom = 0.0;
        no_zoom.state.line_mode = line_mode;
        draw_plot(*no_zoom.surface, no_zoom.state);
        const Picture ticks = picture_of(*no_zoom.surface);
        EXPECT_EQ(std::count(ticks.begin(), ticks.end(), 0u), 1024 * 768 - 102);
        EXPECT_EQ(std::count(ticks.begin() + 384 * 1024, ticks.begin() + 385 * 1024,
                             no_zoom.state.axis_color),
                  102);
        SDL_FreeSurface(zero_slots.surface);
        SDL_FreeSurface(no_zoom.surface);
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
    const Picture p = picture_of(*plot.surface);
    for (int y = 0; y < 400; y++) {
        if (p[y * 3 + 1] != 0) {
            rows.push_back(y);
        }
    }
    EXPECT_EQ(s.last_sum_y, static_cast<int>(200 - scale * (before + 1)));
    SDL_FreeSurface(plot.surface);
    return rows;
}

TEST(DrawPlot, LineModeTruncatesTheDifferenceAsAWhole) {
    EXPECT_EQ(line_step_rows(5.0, 0), (std::vector<int>{195, 196, 197, 198, 199}));
    EXPECT_EQ(line_step_rows(-5.0, -1), (std::vector<int>{195, 196, 197, 198, 199}));
    EXPECT_EQ(line_step_rows(4.3, 0), (std::vector<int>{196, 197, 198, 199}));
}

TEST(DrawPlot, TrailsStayUnlessClearing) {
    for (int clear : {0, 1}) {
        Plot plot = make_plot(1024, 768, 1, 2);
        plot.state.clear_screen = clear;
        expect_reference(plot);
        plot.state.shift.fill(0.4);
        expect_reference(plot);
        SDL_FreeSurface(plot.surface);
    }
}

TEST(DrawPlot, RowsBeyondThirtyTwoBitsDrawTheirVisibleRuns) {
    for (double y_scale : {3e7, 1e300}) {
        Plot plot = make_plot(1024, 768, 1, 2);
        plot.state.line_mode = 1;
        plot.state.thick_curve = 1;
        plot.state.y_scale = y_scale;
        plot.state.scale[3] = -1e9; // past the double range at 1e300: rows turn infinite and back
        expect_reference(plot);
        SDL_FreeSurface(plot.surface);
    }
}

} // namespace
