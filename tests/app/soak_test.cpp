// Model-based soak: frames of random key states and modifiers through run_frame, with the
// state's invariants checked after every frame and the surface's guard bytes at the end.
#include "app/frame.h"
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

bool state_is_valid(const SynthesisState &s) {
    const auto is_toggle = [](int v) { return v == 0 || v == 1; };
    const bool sound_open = SDL_GetAudioStatus() != SDL_AUDIO_STOPPED;
    return s.active_count >= 0 && s.active_count <= HARMONIC_SLOTS && s.selected >= 0 &&
           s.selected < HARMONIC_SLOTS && is_toggle(s.show_numbers) && is_toggle(s.clear_screen) &&
           is_toggle(s.thick_curve) && is_toggle(s.line_mode) && is_toggle(s.sound_on) &&
           sound_open == (s.sound_on == 1) && (sound_loop.data != nullptr) == (s.sound_on == 1);
}

constexpr int GUARD = 256, ROW_PADDING = 8; // bytes around the pixels and after each row
constexpr Uint8 MARK = 0xA5;

// Runs random frames on a w × h surface whose memory has guard bytes around the pixels and
// after every row; slots 20..49 have k = 0, as after twenty typed values.
void soak(int w, int h, int bits, long frames, unsigned seed) {
    const int pitch = w * bits / 8 + ROW_PADDING;
    std::vector<Uint8> memory(2 * GUARD + pitch * h, MARK);
    SurfacePtr surface(
        SDL_CreateRGBSurfaceFrom(memory.data() + GUARD, w, h, bits, pitch, 0, 0, 0, 0));
    HarmonicNumbers harmonic{};
    for (int i = 0; i < 20; i++)
        harmonic[i] = 1 + (i * 37) % 100;
    SynthesisState state = init_synthesis_state(*surface->format, harmonic);
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> chance(0, 999);
    KeyState keys{};
    for (long frame = 0; frame < frames; frame++) {
        // Keys stay down or up for a while; the sound key flips rarely, as it opens a device.
        for (SDLKey key : SOAK_KEYS)
            if (chance(random) < (key == SDLK_s ? 2 : 120))
                keys[key] = keys[key] == 0 ? 1 : 0;
        const auto modifiers = static_cast<SDLMod>(random() & 0xFFFF); // each bit half the time
        run_frame(*surface, state, keys.data(), modifiers);
        ASSERT_TRUE(state_is_valid(state)) << "frame " << frame;
    }
    if (state.sound_on == 1)
        close_sound_output();
    for (int i = 0; i < int(memory.size()); i++) {
        const int at = i - GUARD;
        const bool inside = at >= 0 && at < pitch * h && at % pitch < w * bits / 8;
        ASSERT_TRUE(inside || memory[i] == MARK) << bits << " bits, byte " << at;
    }
}

class Soak : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0); // the show needs a video driver
    }
    void TearDown() override {
        SDL_Quit();
    }
};

TEST_F(Soak, ManyFramesOnAOneColumnSurface) {
    soak(1, 30, 32, 200'000, 12345);
}

TEST_F(Soak, WholeFramesOnSmallSurfacesOfEveryDepth) {
    for (int bits : {8, 16, 24, 32})
        soak(37, 23, bits, 2'500, bits);
}

} // namespace
