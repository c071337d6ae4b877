#include "draw/plot.h"
#include "support/test_surface.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

struct Plot {
    SurfacePtr surface;
    SynthesisState state;
};

// Slot i has the harmonic number step * i + 1, from slot zero_from on 0.
Plot make_plot(int w, int h, int step, int bits = 32, int zero_from = HARMONIC_SLOTS) {
    SurfacePtr s = make_surface(w, h, bits);
    HarmonicNumbers harmonic{};
    for (int i = 0; i < zero_from; i++)
        harmonic[i] = step * i + 1;
    SynthesisState state = init_synthesis_state(*s->format, harmonic);
    return {std::move(s), state};
}

struct Scene {
    int bits, step, active, line_mode, thick, clear;
    double zoom, scale_3 = 1, y_scale = 1;
    int h = 768, zero_from = HARMONIC_SLOTS;
};

// Frames of a scene; with more than ten slots, spread scales and shifts. Between frames slot
// 0 and the last slot in use move.
Plot draw_scene(const Scene &c, int frames = 1) {
    Plot plot = make_plot(1024, c.h, c.step, c.bits, c.zero_from);
    SynthesisState &s = plot.state;
    s.line_mode = c.line_mode, s.thick_curve = c.thick, s.clear_screen = c.clear;
    s.active_count = c.active, s.zoom = c.zoom, s.y_scale = c.y_scale;
    for (int i = 0; c.active > 10 && i < HARMONIC_SLOTS; i++)
        s.scale[i] = 1.0 - 0.07 * i, s.shift[i] = 0.3 * i - 2.0;
    s.scale[3] = c.scale_3;
    for (int frame = 0; frame < frames; frame++) {
        draw_plot(*plot.surface, s);
        s.shift[0] += 0.4, s.shift[std::max(c.active - 1, 0)] -= 0.4;
    }
    return plot;
}

// Digests computed once with an independent Python rendering of the plot rules (math.sin,
// the same order of operations) on 1024-column surfaces of 8-8-8 and 5-6-5 colours.
TEST(DrawPlot, TwoFramesOfEachSceneMatchTheIndependentRendering) {
    const std::pair<Scene, std::uint64_t> scenes[] = {
        {{32, 2, 10, 0, 0, 0, 150}, 7612211425826932740u},        // preset a at the start
        {{32, 2, 23, 1, 1, 1, 64.7, 2.5}, 13696996857057288011u}, // lines, thick, clearing
        {{16, 2, 23, 1, 1, 1, 64.7, 2.5}, 5721083156823834054u},
        {{24, 2, 23, 1, 1, 0, 64.7, 2.5}, 17172612136732741990u}, // the same with trails
        {{32, 1, 50, 0, 1, 0, 65.7, 2.5}, 9320358720139399164u},  // points, thick, trails
        {{16, 1, 50, 0, 1, 0, 65.7, 2.5}, 4755338216979114592u},
        {{32, 2, 10, 1, 0, 0, 150, 3e7}, 4143991997386086880u}, // runs from far off the surface
        {{32, 2, 0, 0, 1, 0, 150}, 6519574951071944764u},  // no slots: ticks and a flat thick sum
        {{32, 2, 0, 1, 1, 0, 150}, 16956086178001202389u}, // the same in lines: no last column
        {{32, 2, 10, 0, 1, 0, 0}, 5880990788883680805u},   // zoom 0: only ticks, on row m
        {{32, 2, 10, 1, 1, 0, 0}, 5880990788883680805u},
        {{32, 1, 25, 0, 1, 0, 150, 1, 1, 768, 20}, 7248416500351933056u}, // k = 0: no sum
        {{32, 1, 25, 1, 1, 0, 150, 1, 1, 768, 20}, 3652801320234660414u},
        {{32, 2, 0, 0, 0, 0, 128, 1, 3.0}, 11523677012398826556u},        // level rows at 0 and h
        {{32, 2, 0, 0, 0, 0, 128, 1, 2.99609375}, 11506745355711235644u}, // at 0.5 and h - 0.5
        {{32, 2, 0, 0, 0, 0, 128, 1, 1.0, 1}, 194855103249436197u},       // one row: ticks on row 0
    };
    for (const auto &[scene, want] : scenes)
        EXPECT_EQ(digest(*draw_scene(scene, 2).surface), want)
            << scene.bits << ' ' << scene.active << ' ' << scene.zoom;
}

// Rows drawn in column 1 of a 3-column line-mode plot whose one term takes the row value from
// 200 + from * scale in column 1 to 200 - (1 - from) * scale in column 2 (sin(t) is t here).
Pixels line_step(double scale, double from) {
    Plot plot = make_plot(3, 400, 0);
    SynthesisState &s = plot.state;
    s.zoom = std::ldexp(1.0, 40);
    s.shift[0] = std::ldexp(1.0, -40) * (1 + from);
    s.scale[0] = scale;
    s.active_count = 1, s.line_mode = 1;
    draw_plot(*plot.surface, s);
    return pixels_of(*plot.surface, 0, true);
}

Pixels column_1(int first, int last) {
    Pixels rows;
    for (int y = first; y <= last; y++)
        rows.insert({1, y});
    return rows;
}

TEST(DrawPlot, LineModeRunsTruncateTheDifferenceAsAWhole) {
    EXPECT_EQ(line_step(5.0, 0), column_1(195, 199));   // 200 to 195.0
    EXPECT_EQ(line_step(-5.0, 1), column_1(195, 199));  // 195 to 200.0
    EXPECT_EQ(line_step(4.3, 0), column_1(196, 199));   // 200 to 195.7
    EXPECT_EQ(line_step(1e12, 0.5), column_1(1, 399));  // far below to far above
    EXPECT_EQ(line_step(-1e12, 0.5), column_1(1, 399)); // far above to far below
}

} // namespace
