// Kept sines, skipped pictures and skipped loops against the same core computing every frame
// afresh (its recompute_all switch): the same random keys must give, after every frame, the
// same pixels and the same loop.
#include "app/frame.h"
#include "sound/sound.h"
#include "support/test_surface.h"

#include <gtest/gtest.h>

#include <random>
#include <string_view>
#include <vector>

namespace {

constexpr SDLKey KEYS[] = {SDLK_c,       SDLK_d,        SDLK_l,        SDLK_r,      SDLK_y,
                           SDLK_KP0,     SDLK_KP3,      SDLK_KP9,      SDLK_PAGEUP, SDLK_PAGEDOWN,
                           SDLK_KP_PLUS, SDLK_KP_MINUS, SDLK_KP_ENTER, SDLK_LEFT,   SDLK_RIGHT,
                           SDLK_UP,      SDLK_DOWN};
constexpr int MODIFIERS[] = {KMOD_NONE, KMOD_LSHIFT, KMOD_RCTRL, KMOD_LCTRL | KMOD_RSHIFT};

std::size_t pixels_hash(const SDL_Surface &s) {
    std::size_t hash = 0;
    for (int y = 0; y < s.h; y++) {
        const std::string_view row(static_cast<const char *>(s.pixels) + y * s.pitch,
                                   s.w * s.format->BytesPerPixel);
        hash = hash * 31 + std::hash<std::string_view>{}(row);
    }
    return hash;
}

// One hash per frame: the surface drawn into, then the loop while sound is on. The frames
// alternate between two surfaces, the second narrower (w2 columns), every 700 frames and have
// quiet spells, Ctrl with keypad Enter and then no key down, so that pictures stay still;
// slots 20..49 have k = 0, as after twenty typed values.
std::vector<std::size_t> run(int w, int w2, int h, int bits, int frames, unsigned seed,
                             int recompute_all) {
    const SurfacePtr surfaces[] = {make_surface(w, h, bits), make_surface(w2, h, bits)};
    HarmonicNumbers harmonic{};
    for (int i = 0; i < 20; i++)
        harmonic[i] = 1 + (i * 37) % 100;
    SynthesisState state = init_synthesis_state(*surfaces[0]->format, harmonic);
    state.cache.recompute_all = recompute_all;
    std::mt19937 random(seed);
    KeyState keys{};
    int modifiers = KMOD_NONE, quiet = 0;
    std::vector<std::size_t> hashes;
    for (int frame = 0; frame < frames; frame++) {
        SDL_Surface &surface = *surfaces[frame / 700 % 2];
        if (quiet > 0) { // a stopped slot differs only in the band of slot values
            keys = KeyState{}, keys[SDLK_KP_ENTER] = quiet-- == 30;
            modifiers = KMOD_LCTRL;
        } else {
            for (SDLKey key : KEYS)
                keys[key] ^= random() % 1000 < 100;
            quiet = random() % 40 == 0 ? 30 : 0;
        }
        keys[SDLK_s] = frame == 0 || random() % 1000 < 3; // sound on at once, flipped rarely
        if (random() % 20 == 0)
            modifiers = MODIFIERS[random() % 4];
        run_frame(surface, state, keys.data(), SDLMod(modifiers));
        hashes.push_back(pixels_hash(surface));
        if (state.sound_on == 1)
            hashes.back() ^= std::hash<std::string_view>{}(
                {reinterpret_cast<const char *>(sound_loop.data), SOUND_LOOP_BYTES});
    }
    if (state.sound_on == 1)
        close_sound_output();
    return hashes;
}

void expect_same_frames(int w, int w2, int h, int bits, int frames, unsigned seed) {
    const std::vector<std::size_t> kept = run(w, w2, h, bits, frames, seed, 0);
    const std::vector<std::size_t> afresh = run(w, w2, h, bits, frames, seed, 1);
    for (int frame = 0; frame < frames; frame++)
        ASSERT_EQ(kept[frame], afresh[frame]) << w << " columns, frame " << frame;
}

TEST(FrameCache, KeptWorkGivesThePixelsAndTheLoopOfWorkDoneAfresh) {
    ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0); // SDL_UpdateRect needs a video driver
    expect_same_frames(160, 140, 100, 32, 10'000, 1);
    expect_same_frames(1024, 1021, 40, 24, 1500, 2); // the widest kept; the band of slot values
    expect_same_frames(1030, 1010, 40, 16, 800, 3);  // wider: every sine is made afresh
    SDL_Quit();
}

} // namespace
