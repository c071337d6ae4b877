#include "app/synthesis_state.h"
#include "support/test_surface.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

// The document's table: five groups of ten slots, up and down ramps truncated.
TEST(SynthesisState, ColoursRunFromRedToMagenta) {
    const Uint8 up[10] = {0, 25, 51, 76, 102, 127, 153, 178, 204, 229};
    const Uint8 down[10] = {255, 229, 204, 178, 153, 127, 102, 76, 51, 25};
    for (int bits : {16, 32}) {
        const SurfacePtr surface = make_surface(8, 8, bits);
        const SDL_PixelFormat *f = surface->format;
        const SynthesisState s = init_synthesis_state(*f, HarmonicNumbers{});
        for (int i = 0; i < HARMONIC_SLOTS; i++) {
            const Uint8 u = up[i % 10], d = down[i % 10];
            const Uint32 group[5] = {SDL_MapRGB(f, 255, u, 0), SDL_MapRGB(f, d, 255, 0),
                                     SDL_MapRGB(f, 0, 255, u), SDL_MapRGB(f, 0, d, 255),
                                     SDL_MapRGB(f, u, 0, 255)};
            EXPECT_EQ(s.harmonic_color[i], group[i / 10]) << "slot " << i;
        }
        EXPECT_EQ(s.axis_color, SDL_MapRGB(f, 128, 128, 128));
        EXPECT_EQ(s.sum_color, SDL_MapRGB(f, 255, 255, 255));
    }
}

// Reset: the edited values are as at the start, the surface is cleared, the rest is kept.
TEST(SynthesisState, ResetRestoresTheEditsAndKeepsTheRest) {
    const SurfacePtr surface = make_surface(16, 4);
    HarmonicNumbers harmonic{};
    harmonic[7] = 9;
    const SynthesisState start = init_synthesis_state(*surface->format, harmonic);
    SynthesisState s = start;
    s.scale.fill(-2.5), s.shift.fill(3.0), s.shift_speed.fill(0.25);
    s.zoom = -4.0, s.y_scale = 7.0, s.active_count = 49, s.selected = 37, s.show_numbers = 0;
    s.clear_screen = s.thick_curve = s.line_mode = s.sound_on = 1;
    s.frame_counter = 1234;
    s.latches.reset_latch = s.latches.count_up_latch = 1;
    SynthesisState want = s;
    want.scale = start.scale, want.shift = start.shift, want.shift_speed = start.shift_speed;
    want.zoom = start.zoom, want.y_scale = start.y_scale, want.active_count = start.active_count;
    SDL_FillRect(surface.get(), nullptr, 0x123456);
    reset_synthesis_state(s, *surface);
    EXPECT_EQ(std::memcmp(&s, &want, sizeof s), 0);
    EXPECT_EQ(pixels_of(*surface, 0, true), Pixels{});
}

TEST(SynthesisState, ShiftsAdvanceInEverySlotAndNothingElseChanges) {
    SynthesisState s = init_synthesis_state(*make_surface(8, 8)->format, HarmonicNumbers{});
    s.active_count = 3;
    s.shift_speed[2] = 0.1, s.shift_speed[49] = -0.25, s.shift[49] = 1.0;
    SynthesisState want = s;
    want.shift[2] = (0.1 + 0.1) + 0.1, want.shift[49] = 0.25;
    for (int frame = 0; frame < 3; frame++)
        advance_shifts(s);
    EXPECT_EQ(std::memcmp(&s, &want, sizeof s), 0);
}

} // namespace
