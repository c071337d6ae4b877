#include "app/synthesis_state.h"
#include "support/test_surface.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

namespace {

HarmonicNumbers odd_numbers() {
    HarmonicNumbers h{};
    for (int i = 0; i < HARMONIC_SLOTS; i++) {
        h[i] = 2 * i + 1;
    }
    return h;
}

bool latches_equal(const KeyLatches &a, const KeyLatches &b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

TEST(SynthesisState, StartValuesAndColourRamp) {
    auto surface = make_surface(8, 8);
    const SynthesisState s = init_synthesis_state(*surface->format, odd_numbers());
    EXPECT_EQ(s.harmonic, odd_numbers());
    for (int i = 0; i < HARMONIC_SLOTS; i++) {
        EXPECT_EQ(s.scale[i], 1.0);
        EXPECT_EQ(s.shift[i], 0.0);
        EXPECT_EQ(s.shift_speed[i], 0.0);
    }
    EXPECT_EQ(s.zoom, 150.0);
    EXPECT_EQ(s.y_scale, 1.0);
    EXPECT_EQ(s.active_count, 10);
    EXPECT_EQ(s.selected, 0);
    EXPECT_EQ(s.show_numbers, 1);
    EXPECT_EQ(s.clear_screen + s.thick_curve + s.line_mode + s.sound_on, 0);
    EXPECT_EQ(s.frame_counter, 0);
    EXPECT_TRUE(latches_equal(s.latches, KeyLatches{}));
    EXPECT_EQ(unmap(*surface, s.axis_color), (Rgb{128, 128, 128}));
    EXPECT_EQ(unmap(*surface, s.sum_color), (Rgb{255, 255, 255}));

    // Truncated ramp: slot 5 is (255, 127, 0), slot 9 (255, 229, 0).
    const int up[10] = {0, 25, 51, 76, 102, 127, 153, 178, 204, 229};
    const int down[10] = {255, 229, 204, 178, 153, 127, 102, 76, 51, 25};
    for (int i = 0; i < HARMONIC_SLOTS; i++) {
        const int u = up[i % 10], d = down[i % 10];
        const Rgb group[5] = {{255, u, 0}, {d, 255, 0}, {0, 255, u}, {0, d, 255}, {u, 0, 255}};
        EXPECT_EQ(unmap(*surface, s.harmonic_color[i]), group[i / 10]) << "slot " << i;
    }
}

TEST(SynthesisState, ResetRestoresTheEditsClearsTheSurfaceAndKeepsTheRest) {
    auto surface = make_surface(16, 4);
    SDL_FillRect(surface.get(), nullptr, 0x123456);
    const SynthesisState start = init_synthesis_state(*surface->format, odd_numbers());
    SynthesisState s = start;
    s.scale.fill(-2.5);
    s.shift.fill(3.0);
    s.shift_speed.fill(0.25);
    s.zoom = -4.0;
    s.y_scale = 7.0;
    s.active_count = 49;
    s.selected = 37;
    s.show_numbers = 0;
    s.clear_screen = s.thick_curve = s.line_mode = s.sound_on = 1;
    s.frame_counter = 1234;
    s.latches.reset_latch = s.latches.count_up_latch = 1;
    const SynthesisState edited = s;

    reset_synthesis_state(s, *surface);

    EXPECT_EQ(s.scale, start.scale);
    EXPECT_EQ(s.shift, start.shift);
    EXPECT_EQ(s.shift_speed, start.shift_speed);
    EXPECT_EQ(s.zoom, start.zoom);
    EXPECT_EQ(s.y_scale, start.y_scale);
    EXPECT_EQ(s.active_count, start.active_count);
    EXPECT_EQ(s.selected, 37);
    EXPECT_EQ(s.show_numbers, 0);
    EXPECT_EQ(s.clear_screen + s.thick_curve + s.line_mode + s.sound_on, 4);
    EXPECT_EQ(s.frame_counter, 1234);
    EXPECT_TRUE(latches_equal(s.latches, edited.latches));
    EXPECT_EQ(s.harmonic, start.harmonic);
    EXPECT_EQ(s.harmonic_color, start.harmonic_color);
    const auto *pixels = static_cast<const Uint32 *>(surface->pixels);
    EXPECT_EQ(std::count(pixels, pixels + 16 * 4, 0u), 16 * 4);
}

TEST(SynthesisState, ShiftsAdvanceInEverySlotUsedOrNot) {
    auto surface = make_surface(8, 8);
    SynthesisState s = init_synthesis_state(*surface->format, odd_numbers());
    s.active_count = 3;
    s.shift_speed[2] = 0.1;
    s.shift_speed[49] = -0.25;
    s.shift[49] = 1.0;
    for (int frame = 0; frame < 3; frame++) {
        advance_shifts(s);
    }
    EXPECT_EQ(s.shift[2], (0.1 + 0.1) + 0.1);
    EXPECT_EQ(s.shift[49], 0.25);
    EXPECT_EQ(s.shift[0], 0.0);
}

} // namespace
