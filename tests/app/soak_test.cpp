// Model-based soak: random key states and modifiers, frame after frame, with the state's
// invariants checked after every frame.
#include "app/keyboard.h"
#include "draw/draw.h"
#include "sound/sound.h"
#include "support/test_surface.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

constexpr SDLKey SOAK_KEYS[] = {
    SDLK_c,    SDLK_d,     SDLK_l,      SDLK_r,        SDLK_s,       SDLK_y,        SDLK_KP0,
    SDLK_KP1,  SDLK_KP2,   SDLK_KP3,    SDLK_KP4,      SDLK_KP5,     SDLK_KP6,      SDLK_KP7,
    SDLK_KP8,  SDLK_KP9,   SDLK_PAGEUP, SDLK_PAGEDOWN, SDLK_KP_PLUS, SDLK_KP_MINUS, SDLK_KP_ENTER,
    SDLK_LEFT, SDLK_RIGHT, SDLK_UP,     SDLK_DOWN,     SDLK_a,       SDLK_ESCAPE,
};

// Keys stay down or up for a while, so presses, holds and releases all happen.
void step_keys(KeyState &keys, std::mt19937 &random) {
    std::uniform_int_distribution<int> chance(0, 999);
    for (SDLKey key : SOAK_KEYS) {
        // The sound key flips rarely: every press opens or closes a real device.
        if (chance(random) < (key == SDLK_s ? 2 : 120)) {
            keys[key] = keys[key] == 0 ? 1 : 0;
        }
    }
}

bool state_is_valid(const SynthesisState &s) {
    const auto is_toggle = [](int v) { return v == 0 || v == 1; };
    const bool sound_open = SDL_GetAudioStatus() != SDL_AUDIO_STOPPED;
    return s.active_count >= 0 && s.active_count <= HARMONIC_SLOTS && s.selected >= 0 &&
           s.selected < HARMONIC_SLOTS && is_toggle(s.show_numbers) && is_toggle(s.clear_screen) &&
           is_toggle(s.thick_curve) && is_toggle(s.line_mode) && is_toggle(s.sound_on) &&
           sound_open == (s.sound_on == 1) && (sound_loop.data != nullptr) == (s.sound_on == 1);
}

// Pixels over memory with guard bytes around them and padding at the end of every row, so
// a write outside the surface shows up as a changed guard byte.
constexpr int GUARD = 256;
constexpr int ROW_PADDING = 8;
constexpr Uint8 MARK = 0xA5;

struct GuardedSurface {
    std::vector<Uint8> memory; // guard, rows with padding, guard
    SurfacePtr surface;
};

GuardedSurface make_guarded_surface(int w, int h, int bits) {
    GuardedSurface g;
    const int pitch = w * bits / 8 + ROW_PADDING;
    g.memory.assign(2 * GUARD + pitch * h, MARK);
    g.surface.reset(
        SDL_CreateRGBSurfaceFrom(g.memory.data() + GUARD, w, h, bits, pitch, 0, 0, 0, 0));
    return g;
}

bool guards_intact(const GuardedSurface &g) {
    const int row_bytes = g.surface->w * g.surface->format->BytesPerPixel;
    const int pitch = g.surface->pitch;
    for (int i = 0; i < int(g.memory.size()); i++) {
        const int at = i - GUARD;
        const bool inside = at >= 0 && at < pitch * g.surface->h && at % pitch < row_bytes;
        if (!inside && g.memory[i] != MARK) {
            return false;
        }
    }
    return true;
}

// Runs random frames; whole frames also draw, show the overlay and refresh the sound.
void soak(GuardedSurface &g, long frames, bool whole, unsigned seed) {
    HarmonicNumbers harmonic{}; // slots 20..49 stay 0, as after twenty typed values
    for (int i = 0; i < 20; i++) {
        harmonic[i] = 1 + (i * 37) % 100;
    }
    SynthesisState state = init_synthesis_state(*g.surface->format, harmonic);
    std::mt19937 random(seed);
    KeyState keys{};
    for (long frame = 0; frame < frames; frame++) {
        step_keys(keys, random);
        const auto modifiers = static_cast<SDLMod>(random() & 0xFFFF); // each bit half the time
        apply_keyboard(state, keys.data(), modifiers, *g.surface);
        advance_shifts(state);
        if (whole) {
            draw_plot(*g.surface, state);
            if (state.show_numbers == 1) {
                draw_value_overlay(*g.surface, state.y_scale, state.zoom, state.active_count,
                                   state.selected, state.scale, state.shift_speed);
            }
            state.frame_counter += 1;
            if (state.sound_on == 1 && state.frame_counter % SOUND_REFRESH_INTERVAL == 0) {
                synthesize_sound_loop(state);
            }
        }
        ASSERT_TRUE(state_is_valid(state)) << "frame " << frame;
    }
    if (state.sound_on == 1) {
        close_sound_output();
    }
}

TEST(Soak, MillionFramesOfRandomKeysKeepTheStateValid) {
    GuardedSurface g = make_guarded_surface(40, 30, 32);
    soak(g, 1'000'000, false, 12345);
    EXPECT_TRUE(guards_intact(g));
}

TEST(Soak, TenThousandWholeFramesOnSmallSurfacesOfEveryDepth) {
    for (int bits : {8, 16, 24, 32}) {
        GuardedSurface g = make_guarded_surface(37, 23, bits);
        soak(g, 2'500, true, bits);
        EXPECT_TRUE(guards_intact(g)) << bits;
    }
}

} // namespace
