// Model-based soak: random key states and modifiers, frame after frame, with the state's
// invariants checked after every frame.
#include "app/keyboard.h"
#include "app/synthesis_state.h"
#include "draw/draw.h"
#include "sound/sound.h"

#include <gtest/gtest.h>

#include <array>
#include <random>
#include <vector>

namespace {

constexpr SDLKey SOAK_KEYS[] = {
    SDLK_c,    SDLK_d,     SDLK_l,      SDLK_r,        SDLK_s,       SDLK_y,        SDLK_KP0,
    SDLK_KP1,  SDLK_KP2,   SDLK_KP3,    SDLK_KP4,      SDLK_KP5,     SDLK_KP6,      SDLK_KP7,
    SDLK_KP8,  SDLK_KP9,   SDLK_PAGEUP, SDLK_PAGEDOWN, SDLK_KP_PLUS, SDLK_KP_MINUS, SDLK_KP_ENTER,
    SDLK_LEFT, SDLK_RIGHT, SDLK_UP,     SDLK_DOWN,     SDLK_a,       SDLK_ESCAPE,
};
constexpr int MODIFIER_BITS[] = {KMOD_LSHIFT, KMOD_RSHIFT, KMOD_LCTRL, KMOD_RCTRL,
                                 KMOD_LALT,   KMOD_META,   KMOD_NUM,   KMOD_CAPS};

using KeyState = std::array<Uint8, SDLK_LAST>;

// Keys stay down or up for a while, so presses, holds and releases all happen.
void step_keys(KeyState &keys, std::mt19937 &random) {
    std::uniform_int_distribution<int> chance(0, 999);
    for (SDLKey key : SOAK_KEYS) {
        // The sound key flips rarely: every press opens or closes a real device.
        const int flip = key == SDLK_s ? 2 : 120;
        if (chance(random) < flip) {
            keys[key] = keys[key] == 0 ? 1 : 0;
        }
    }
}

SDLMod random_modifiers(std::mt19937 &random) {
    int mask = 0;
    for (int bit : MODIFIER_BITS) {
        if (random() % 3 == 0) {
            mask |= bit;
        }
    }
    return static_cast<SDLMod>(mask);
}

bool is_toggle(int value) {
    return value == 0 || value == 1;
}

void expect_invariants(const SynthesisState &s, long frame) {
    ASSERT_GE(s.active_count, 0) << frame;
    ASSERT_LE(s.active_count, HARMONIC_SLOTS) << frame;
    ASSERT_GE(s.selected, 0) << frame;
    ASSERT_LT(s.selected, HARMONIC_SLOTS) << frame;
    ASSERT_TRUE(is_toggle(s.show_numbers) && is_toggle(s.clear_screen) &&
                is_toggle(s.thick_curve) && is_toggle(s.line_mode) && is_toggle(s.sound_on))
        << frame;
    const bool device_open = SDL_GetAudioStatus() != SDL_AUDIO_STOPPED;
    ASSERT_EQ(device_open, s.sound_on == 1) << frame;
    ASSERT_EQ(sound_loop.data != nullptr, s.sound_on == 1) << frame;
}

// A surface over memory with guard bytes around it and padding at the end of every row,
// so a write outside the surface shows up as a changed guard byte.
struct GuardedSurface {
    static constexpr int GUARD = 256;
    static constexpr Uint8 MARK = 0xA5;
    std::vector<Uint8> memory;
    int row_bytes;
    int pitch;
    SDL_Surface *surface;
};

GuardedSurface make_guarded_surface(int w, int h, int bits) {
    GuardedSurface g;
    g.row_bytes = w * (bits / 8);
    g.pitch = g.row_bytes + 8;
    g.memory.assign(GuardedSurface::GUARD * 2 + static_cast<size_t>(g.pitch) * h,
                    GuardedSurface::MARK);
    g.surface = SDL_CreateRGBSurfaceFrom(g.memory.data() + GuardedSurface::GUARD, w, h, bits,
                                         g.pitch, 0, 0, 0, 0);
    return g;
}

bool guards_intact(const GuardedSurface &g) {
    const size_t h = static_cast<size_t>(g.surface->h);
    for (size_t i = 0; i < g.memory.size(); i++) {
        const bool before = i < GuardedSurface::GUARD;
        const bool after = i >= GuardedSurface::GUARD + static_cast<size_t>(g.pitch) * h;
        const bool padding = !before && !after &&
                             static_cast<int>((i - GuardedSurface::GUARD) % g.pitch) >= g.row_bytes;
        if ((before || after || padding) && g.memory[i] != GuardedSurface::MARK) {
            return false;
        }
    }
    return true;
}

HarmonicNumbers typed_preset() {
    HarmonicNumbers h{};
    for (int i = 0; i < 20; i++) {
        h[i] = 1 + (i * 37) % 100;
    }
    return h; // slots 20..49 stay 0, as after twenty typed values
}

void stop_sound(SynthesisState &state) {
    if (state.sound_on == 1) {
        state.sound_on = 0;
        close_sound_output();
    }
}

TEST(Soak, MillionFramesOfRandomKeysKeepTheStateValid) {
    auto g = make_guarded_surface(40, 30, 32);
    SynthesisState state = init_synthesis_state(*g.surface->format, typed_preset());
    std::mt19937 random(12345);
    KeyState keys{};
    for (long frame = 0; frame < 1'000'000; frame++) {
        step_keys(keys, random);
        apply_keyboard(state, keys.data(), random_modifiers(random), *g.surface);
        advance_shifts(state);
        expect_invariants(state, frame);
        if (HasFatalFailure()) {
            break;
        }
    }
    stop_sound(state);
    EXPECT_TRUE(guards_intact(g));
    SDL_FreeSurface(g.surface);
}

TEST(Soak, TenThousandWholeFramesOnSmallSurfacesOfEveryDepth) {
    for (int bits : {8, 16, 24, 32}) {
        auto g = make_guarded_surface(37, 23, bits);
        SynthesisState state = init_synthesis_state(*g.surface->format, typed_preset());
        std::mt19937 random(bits);
        KeyState keys{};
        for (long frame = 0; frame < 2'500; frame++) {
            step_keys(keys, random);
            apply_keyboard(state, keys.data(), random_modifiers(random), *g.surface);
            advance_shifts(state);
            draw_plot(*g.surface, state);
            if (state.show_numbers == 1) {
                draw_value_overlay(*g.surface, state.y_scale, state.zoom, state.active_count,
                                   state.selected, state.scale, state.shift_speed);
            }
            state.frame_counter += 1;
            if (state.sound_on == 1 && state.frame_counter % SOUND_REFRESH_INTERVAL == 0) {
                synthesize_sound_loop(state);
            }
            expect_invariants(state, frame);
            if (HasFatalFailure()) {
                break;
            }
        }
        stop_sound(state);
        EXPECT_TRUE(guards_intact(g)) << bits;
        SDL_FreeSurface(g.surface);
    }
}

} // namespace
