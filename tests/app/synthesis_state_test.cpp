#include "app/synthesis_state.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

namespace {

struct SurfaceDeleter {
    void operator()(SDL_Surface *s) const {
        SDL_FreeSurface(s);
    }
};
using SurfacePtr = std::unique_ptr<SDL_Surface, SurfaceDeleter>;

SurfacePtr make_rgb_surface(int w, int h) {
    return SurfacePtr(
        SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 32, 0xFF0000, 0x00FF00, 0x0000FF, 0));
}

HarmonicNumbers odd_numbers() {
    HarmonicNumbers h{};
    for (int i = 0; i < HARMONIC_SLOTS; i++) {
        h[i] = 2 * i + 1;
    }
    return h;
}

struct Rgb {
    int r, g, b;
    bool operator==(const Rgb &) const = default;
};

Rgb unmap(const SDL_Surface &s, Uint32 pixel) {
    Uint8 r, g, b;
    SDL_GetRGB(pixel, s.format, &r, &g, &b);
    return {r, g, b};
}

TEST(SynthesisState, StartValues) {
    auto surface = make_rgb_surface(8, 8);
    const HarmonicNumbers harmonic = odd_numbers();
    const SynthesisState s = init_synthesis_state(*surface->format, harmonic);
    EXPECT_EQ(s.harmonic, harmonic);
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
    EXPECT_EQ(unmap(*surface, s.axis_color), (Rgb{128, 128, 128}));
    EXPECT_EQ(unmap(*surface, s.sum_color), (Rgb{255, 255, 255}));
    const KeyLatches zero{};
    EXPECT_EQ(std::memcmp(&s.latches, &zero, sizeof zero), 0);
}

TEST(SynthesisState, ColourRampTruncatesAndRunsRedToMagenta) {
    auto surface = make_rgb_surface(8, 8);
    const SynthesisState s = init_synthesis_state(*surface->format, odd_numbers());
    const int up[10] = {0, 25, 51, 76, 102, 127, 153, 178, 204, 229};
    for (int f = 0; f < 10; f++) {
        EXPECT_EQ(unmap(*surface, s.harmonic_color[f]), (Rgb{255, up[f], 0})) << f;
        EXPECT_EQ(unmap(*surface, s.harmonic_color[20 + f]), (Rgb{0, 255, up[f]})) << f;
        EXPECT_EQ(unmap(*surface, s.harmonic_color[40 + f]), (Rgb{up[f], 0, 255})) << f;
    }
    const int down[10] = {255, 229, 204, 178, 153, 127, 102, 76, 51, 25};
    for (int f = 0; f < 10; f++) {
        EXPECT_EQ(unmap(*surface, s.harmonic_color[10 + f]), (Rgb{down[f], 255, 0})) << f;
        EXPECT_EQ(unmap(*surface, s.harmonic_color[30 + f]), (Rgb{0, down[f], 255})) << f;
    }
    EXPECT_EQ(unmap(*surface, s.harmonic_color[5]), (Rgb{255, 127, 0}));
    EXPECT_EQ(unmap(*surface, s.harmonic_color[9]), (Rgb{255, 229, 0}));
}

TEST(SynthesisState, ResetRestoresValuesClearsSurfaceAndKeepsTheRest) {
    auto surface = make_rgb_surface(16, 4);
    SDL_FillRect(surface.get(), nullptr, 0x123456);
    HarmonicNumbers harmonic = odd_numbers();
    SynthesisState s = init_synthesis_state(*surface->format, harmonic);
    for (int i = 0; i < HARMONIC_SLOTS; i++) {
        s.scale[i] = -2.5;
        s.shift[i] = 3.0;
        s.shift_speed[i] = 0.25;
    }
    s.zoom = -4.0;
    s.y_scale = 7.0;
    s.active_count = 49;
    s.selected = 37;
    s.show_numbers = 0;
    s.clear_screen = s.thick_curve = s.line_mode = s.sound_on = 1;
    s.frame_counter = 1234;
    s.latches.reset_latch = 1;
    s.latches.count_up_latch = 1;

    reset_synthesis_state(s, *surface);

    for (int i = 0; i < HARMONIC_SLOTS; i++) {
        EXPECT_EQ(s.scale[i], 1.0);
        EXPECT_EQ(s.shift[i], 0.0);
        EXPECT_EQ(s.shift_speed[i], 0.0);
    }
    EXPECT_EQ(s.zoom, 150.0);
    EXPECT_EQ(s.y_scale, 1.0);
    EXPECT_EQ(s.active_count, 10);
    EXPECT_EQ(s.selected, 37);
    EXPECT_EQ(s.show_numbers, 0);
    EXPECT_EQ(s.clear_screen + s.thick_curve + s.line_mode + s.sound_on, 4);
    EXPECT_EQ(s.frame_counter, 1234);
    EXPECT_EQ(s.latches.reset_latch, 1);
    EXPECT_EQ(s.latches.count_up_latch, 1);
    EXPECT_EQ(s.harmonic, harmonic);
    const auto *pixels = static_cast<const Uint32 *>(surface->pixels);
    for (int i = 0; i < 16 * 4; i++) {
        ASSERT_EQ(pixels[i], 0u) << i;
    }
}

TEST(SynthesisState, ShiftsAdvanceInEverySlotUsedOrNot) {
    auto surface = make_rgb_surface(8, 8);
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
