#include "draw/value_overlay.h"
#include "support/test_surface.h"

#include <gtest/gtest.h>

namespace {

// Digests computed once with an independent Python rendering from the document: its
// glyph table, positions and value texts (decimal rounding half up), over a surface of
// pixel value 0x123456 that stands for the plot.
TEST(ValueOverlay, MatchesTheIndependentRendering) {
    volatile double step = 0.01;
    double walked = 1.0; // a hundred steps down: about -7.5e-16, not 0
    for (int i = 0; i < 100; i++)
        walked -= step;
    SlotValues ones, zeros{}, counted, minus_counted, minus_tenths, hundredths;
    for (int i = 0; i < HARMONIC_SLOTS; i++) {
        ones[i] = 1.0, counted[i] = i + 1, minus_counted[i] = -(i + 1);
        minus_tenths[i] = -0.1, hundredths[i] = 0.01;
    }
    const struct {
        int w;
        double y_scale, zoom;
        int active, selected;
        const SlotValues &scale, &speed;
        std::uint64_t want;
    } cases[] = {
        {1024, 1.0, 150, 10, 0, ones, zeros, 9814343122310064009u}, // the start
        {1024, 1.0, 150, 26, 25, counted, minus_counted, 17713472586535717755u},
        {1024, walked, 151, 0, 3, ones, zeros, 5595615317930113948u},            // an empty band
        {1024, -0.5, -1, 5, 7, minus_tenths, hundredths, 10460245468129899756u}, // no red
        {1020, -0.5, 15, 10, 0, ones, zeros, 16398964581390701964u},             // no band
        {1020, 1.0, 1500, 9, 0, ones, zeros, 10110962867397940517u},
        {1020, 1.0, 0, 10, 0, ones, zeros, 14360847938395642309u},
    };
    for (const auto &c : cases) {
        SurfacePtr s = make_surface(c.w, 768);
        SDL_FillRect(s.get(), nullptr, 0x123456);
        draw_value_overlay(*s, c.y_scale, c.zoom, c.active, c.selected, c.scale, c.speed);
        EXPECT_EQ(digest(*s), c.want) << "case " << &c - cases;
    }
}

} // namespace
