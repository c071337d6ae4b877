// The keyboard, one frame and the soak; SDL's lock, unlock and show wrapped to count and refuse.
#include "app/frame.h"
#include "app/frame_loop.h"
#include "app/keyboard.h"
#include "sound/sound.h"
#include "support/test_surface.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <random>
#include <vector>

namespace {
int locks, unlocks, shows; // calls seen; shows of the whole surface only
int lock_result;           // what the wrapped lock returns
} // namespace

extern "C" {
int __wrap_SDL_LockSurface(SDL_Surface *) {
    locks++;
    if (lock_result < 0)
        SDL_SetError("refused by the test");
    return lock_result;
}
void __wrap_SDL_UnlockSurface(SDL_Surface *) {
    unlocks++;
}
void __wrap_SDL_UpdateRect(SDL_Surface *, Sint32 x, Sint32 y, Uint32 w, Uint32 h) {
    shows += x == 0 && y == 0 && w == 0 && h == 0;
}
}

namespace {

constexpr int CTRL = KMOD_LCTRL, SHIFT = KMOD_RSHIFT, NONE = KMOD_NONE;
constexpr int IGNORED = KMOD_LALT | KMOD_RMETA | KMOD_NUM | KMOD_CAPS | KMOD_MODE;

// Keys down for some frames; with presses, that many presses, each followed by a frame up.
struct Hold {
    std::vector<SDLKey> keys;
    int modifiers = NONE, frames = 1, presses = 0;
};
using Script = std::vector<Hold>;

enum Field { SCALE, SPEED, PHASE, Y_SCALE, ZOOM, SELECTED, COUNT, TOGGLES };

double value(const SynthesisState &s, Field field, int slot) {
    const double toggles =
        s.show_numbers * 1000.0 + s.clear_screen * 100 + s.thick_curve * 10 + s.line_mode;
    const double all[] = {s.scale[slot], s.shift_speed[slot], s.shift[slot],          s.y_scale,
                          s.zoom,        double(s.selected),  double(s.active_count), toggles};
    return all[field]; // toggles: y c d l as decimal digits
}

struct Keyboard : ::testing::Test {
    SurfacePtr surface = make_surface(16, 16);
    SynthesisState state = init_synthesis_state(*surface->format, HarmonicNumbers{});

    void run(const Script &script) {
        const KeyState up{};
        for (const Hold &hold : script) {
            KeyState keys{};
            for (SDLKey key : hold.keys)
                keys[key] = 1;
            for (int press = 0, frame = 0; press < std::max(hold.presses, 1); press++, frame = 0) {
                while (frame++ < hold.frames) { // frames without drawing: keys, then shifts
                    apply_keyboard(state, keys.data(), SDLMod(hold.modifiers), *surface);
                    advance_shifts(state);
                }
                if (hold.presses > 0)
                    apply_keyboard(state, up.data(), SDLMod(hold.modifiers), *surface);
            }
        }
    }
};

// The key table and its edge cases, each a script run from the start state.
TEST_F(Keyboard, ScriptsEndInTheKeyTablesValues) {
    const Hold to_40{{SDLK_UP}, CTRL, 1, 3}, to_45{{SDLK_RIGHT}, CTRL, 1, 5}, slot_5{{SDLK_KP5}};
    const std::vector<SDLKey> toggles{SDLK_c, SDLK_d, SDLK_l, SDLK_y}, enter{SDLK_KP_ENTER};
    const struct {
        Script script;
        Field field;
        int slot;
        double want;
    } cases[] = {
        {{{toggles, CTRL | SHIFT | IGNORED, 1, 1}}, TOGGLES, 0, 111},
        {{{toggles, NONE, 3}}, TOGGLES, 0, 111},
        {{{enter, NONE, 1, 1}}, SCALE, 0, 0.0},
        {{{enter, NONE, 1, 3}}, SCALE, 0, 1.0},
        {{{{SDLK_KP_MINUS}, NONE, 100}, {enter}}, SCALE, 0, 1.0},
        {{{{SDLK_KP_MINUS}, SHIFT, 10}, {enter}}, SCALE, 0, 0.0},
        {{{{SDLK_KP_PLUS}, SHIFT | IGNORED, 2}}, SCALE, 0, (1.0 + 0.1) + 0.1},
        {{{{SDLK_KP7, SDLK_KP2}, SHIFT | CTRL}}, SELECTED, 0, 17},
        {{slot_5, {{SDLK_RIGHT, SDLK_KP_PLUS}}}, SCALE, 5, 1.01}, // plus before the move
        {{slot_5, {{SDLK_RIGHT}, NONE, 1, 1}, {{SDLK_DOWN}}}, SCALE, 6, 0.0},
        {{{{SDLK_DOWN}}, {{SDLK_UP}}}, SCALE, 0, 1.0},
        {{{{SDLK_PAGEUP}, NONE, 2}}, Y_SCALE, 0, (1.0 + 0.01) + 0.01},
        {{{{SDLK_PAGEUP}, CTRL | SHIFT, 2}}, ZOOM, 0, 170},
        {{{{SDLK_PAGEDOWN}, KMOD_RCTRL | KMOD_RSHIFT, 16}}, ZOOM, 0, -10},
        {{{{SDLK_KP2}}, {{SDLK_KP_MINUS}, CTRL | SHIFT, 2}}, SPEED, 2, -0.1 - 0.1},
        {{{{SDLK_KP2}}, {{SDLK_KP_PLUS}, CTRL, 5}, {enter, CTRL}}, SPEED, 2, 0.0},
        {{{{SDLK_KP2}}, {{SDLK_KP_PLUS}, CTRL}, {enter}, {enter, CTRL}}, SPEED, 2, 0.01},
        {{{{SDLK_UP}, CTRL, 1, 4}}, COUNT, 0, 50},
        {{to_40, to_45, {{SDLK_UP}, CTRL}}, COUNT, 0, 45},
        {{{{SDLK_DOWN}, CTRL}}, COUNT, 0, 0},
        {{{{SDLK_LEFT}, CTRL, 1, 5}, {{SDLK_DOWN}, CTRL}}, COUNT, 0, 5},
        {{{{SDLK_LEFT}, CTRL, 1, 11}}, COUNT, 0, 0}, // the last slot goes, then nothing
        {{to_40, to_45, {{SDLK_LEFT, SDLK_UP}, KMOD_RCTRL}}, COUNT, 0, 44},
        {{{{SDLK_LEFT}}, {{SDLK_LEFT}, CTRL}}, COUNT, 0, 9}, // Ctrl on a held cursor left
        {{slot_5, {{SDLK_LEFT}}, {{SDLK_LEFT}, CTRL}, {{SDLK_LEFT}}}, SELECTED, 0, 4},
        {{{{SDLK_KP3}}, {{SDLK_LEFT}, NONE, 1, 3}}, SELECTED, 0, 0},
        {{{{SDLK_PAGEUP}, CTRL}, {{SDLK_r}}}, ZOOM, 0, 150},
        {{{{SDLK_KP_PLUS}, CTRL}, {{SDLK_r}}}, SPEED, 0, 0.0},
        {{{{SDLK_KP_PLUS}, CTRL, 3}, {{SDLK_r}}}, PHASE, 0, 0.0},               // a moving curve
        {{{{SDLK_r, SDLK_PAGEUP}, NONE, 3}}, Y_SCALE, 0, (1.01 + 0.01) + 0.01}, // resets once
        {{{enter}, {{SDLK_KP_ENTER, SDLK_r}}}, SCALE, 0, 1.0}, // r keeps Enter's latch
        {{to_40, to_45, {{SDLK_RIGHT}, NONE, 1, 3}, {{SDLK_r}}}, COUNT, 0, 10},
        {{to_40, to_45, {{SDLK_RIGHT}, NONE, 1, 60}, {{SDLK_r}}}, SELECTED, 0, 49},
    };
    for (const auto &c : cases) {
        state = init_synthesis_state(*surface->format, HarmonicNumbers{});
        run(c.script);
        EXPECT_EQ(value(state, c.field, c.slot), c.want) << "case " << &c - cases;
    }
}

enum Locking { UNLOCKED, ASYNC_BLIT_FLAG, OFFSET };

[[gnu::noinline]] void scribble_stack(Uint8 byte) {
    volatile Uint8 junk[1 << 15];
    for (volatile Uint8 &b : junk)
        b = byte;
}

struct Frame : ::testing::Test {
    HarmonicNumbers harmonic{1, 3, 5, 7, 9, 11, 13, 15, 17, 19};
    SurfacePtr surface = make_surface(64, 48);
    SynthesisState state = init_synthesis_state(*surface->format, harmonic);
    std::unique_ptr<FrameCache> cache = std::make_unique<FrameCache>();
    int frames = 0;

    void SetUp() override { // SDL's own fills lock a flagged surface through the video driver
        ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0);
    }
    void TearDown() override {
        SDL_Quit();
    }
    // Noise that nothing draws, on a surface locked as asked; the counts start afresh.
    void lock(Locking locking) {
        for (int i = 0; i < 64 * 48; i++)
            static_cast<Uint32 *>(surface->pixels)[i] = 0x9E3779B9u * (i + 1);
        surface->flags = locking == ASYNC_BLIT_FLAG ? SDL_ASYNCBLIT : SDL_SWSURFACE;
        surface->offset = locking == OFFSET ? 4 : 0;
        locks = unlocks = shows = lock_result = 0;
    }
    // Before each frame other bytes on the stack, as the program's event polling leaves there:
    // the frame must not take them for a change of its inputs.
    FrameEnd frame(std::initializer_list<SDLKey> down = {}, StillFrame still = StillFrame::show) {
        scribble_stack(static_cast<Uint8>(++frames));
        KeyState keys{};
        for (SDLKey key : down)
            keys[key] = 1;
        return run_frame(*surface, state, *cache, keys.data(), KMOD_NONE, still);
    }
};

TEST_F(Frame, DrawsInsideALockOnlyWhenTheSurfaceNeedsItShowsTheWholeSurfaceAndEndsAtEscape) {
    for (Locking locking : {UNLOCKED, ASYNC_BLIT_FLAG, OFFSET}) {
        lock(locking);
        const std::uint64_t before = digest(*surface);
        for (int i = 0; i < 3; i++)
            EXPECT_EQ(frame(), FrameEnd::shown);
        EXPECT_NE(digest(*surface), before);
        EXPECT_EQ(locks, locking == UNLOCKED ? 0 : 3) << locking;
        EXPECT_EQ(unlocks, locks) << locking;
        EXPECT_EQ(shows, 3);
        frame({}, StillFrame::skip); // still: as the page runs it, neither locked nor shown
        EXPECT_EQ(locks + shows, locking == UNLOCKED ? 3 : 6);
        const std::uint64_t shown = digest(*surface);
        const SynthesisState untouched = state; // Escape: no key acts, nothing is drawn or shown
        EXPECT_EQ(frame({SDLK_ESCAPE, SDLK_c, SDLK_r, SDLK_KP_PLUS}), FrameEnd::escape);
        EXPECT_EQ(locks + shows, locking == UNLOCKED ? 3 : 6);
        EXPECT_EQ(digest(*surface), shown);
        EXPECT_EQ(std::memcmp(&state, &untouched, sizeof state), 0);
        frame({SDLK_r}); // the reset's clear, in a lock of its own; nothing draws (0, 0)
        EXPECT_EQ(pixel_at(*surface, 0, 0), 0u);
        EXPECT_EQ(unlocks, locking == UNLOCKED ? 0 : 5);
    }
    const std::uint64_t shown = digest(*surface);
    lock_result = -1; // a refused lock: the message, status 1, and nothing drawn or shown
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(run_frame_loop(*surface, harmonic), 1);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "Can't lock screen: refused by the test\n");
    EXPECT_EQ(unlocks + shows, 9);
    EXPECT_EQ(digest(*surface), shown);
}

// Sound on in frame 13: silence until the refresh of frame 20. Off in 25, on in 37: 40. Each
// frame every shift moves by its speed, the slot in use or not.
TEST_F(Frame, SoundRefreshesOnEveryTenthFrameSinceTheStartAndShiftsMoveEveryFrame) {
    state.shift_speed[3] = 0.25, state.shift_speed[40] = -0.5;
    for (int n = 1; n <= 42; n++) {
        const bool press = n == 13 || n == 25 || n == 37 || n == 42;
        frame(press ? std::initializer_list<SDLKey>{SDLK_s} : std::initializer_list<SDLKey>{});
        if (state.sound_on == 1) {
            SDL_LockAudio();
            const bool silent = std::count(sound_loop.data, sound_loop.data + SOUND_LOOP_BYTES,
                                           0) == SOUND_LOOP_BYTES;
            SDL_UnlockAudio();
            EXPECT_EQ(silent, n < 20 || (n >= 37 && n < 40)) << "frame " << n;
        }
    }
    EXPECT_TRUE(state.shift[3] == 42 * 0.25 && state.shift[40] == 42 * -0.5);
}

constexpr SDLKey SOAK_KEYS[] = {
    SDLK_c,        SDLK_d,    SDLK_l,     SDLK_r,      SDLK_s,        SDLK_y,       SDLK_KP0,
    SDLK_KP3,      SDLK_KP7,  SDLK_KP9,   SDLK_PAGEUP, SDLK_PAGEDOWN, SDLK_KP_PLUS, SDLK_KP_MINUS,
    SDLK_KP_ENTER, SDLK_LEFT, SDLK_RIGHT, SDLK_UP,     SDLK_DOWN,     SDLK_a,       SDLK_ESCAPE};
constexpr int GUARD = 256, ROW_PADDING = 8; // bytes around the pixels and after each row
constexpr Uint8 MARK = 0xA5;

// Random keys and modifiers, frame after frame, with guard bytes around the pixels and after
// every row; slots 20..49 have k = 0, as after twenty typed values.
void soak(int w, int h, int bits, long frames, unsigned seed) {
    const int pitch = w * bits / 8 + ROW_PADDING;
    std::vector<Uint8> memory(2 * GUARD + pitch * h, MARK);
    SurfacePtr surface(
        SDL_CreateRGBSurfaceFrom(memory.data() + GUARD, w, h, bits, pitch, 0, 0, 0, 0),
        SDL_FreeSurface);
    HarmonicNumbers harmonic{};
    for (int i = 0; i < 20; i++)
        harmonic[i] = 1 + (i * 37) % 100;
    SynthesisState s = init_synthesis_state(*surface->format, harmonic);
    const auto cache = std::make_unique<FrameCache>();
    std::mt19937 random(seed);
    KeyState keys{};
    for (long frame = 0; frame < frames; frame++) {
        // Keys stay down or up for a while; the sound key flips rarely, as it opens a device.
        for (SDLKey key : SOAK_KEYS)
            keys[key] ^= random() % 1000 < (key == SDLK_s ? 2u : 120u);
        run_frame(*surface, s, *cache, keys.data(), SDLMod(random() & 0xFFFF), StillFrame::show);
        const unsigned toggles =
            s.show_numbers | s.clear_screen | s.thick_curve | s.line_mode | s.sound_on;
        ASSERT_TRUE(unsigned(s.active_count) <= HARMONIC_SLOTS &&
                    unsigned(s.selected) < HARMONIC_SLOTS && toggles <= 1 &&
                    (SDL_GetAudioStatus() != SDL_AUDIO_STOPPED) == (s.sound_on == 1) &&
                    (sound_loop.data != nullptr) == (s.sound_on == 1))
            << "frame " << frame;
    }
    if (s.sound_on == 1)
        close_sound_output();
    for (int i = 0; i < int(memory.size()); i++) {
        const int at = i - GUARD;
        const bool inside = at >= 0 && at < pitch * h && at % pitch < w * bits / 8;
        ASSERT_TRUE(inside || memory[i] == MARK) << bits << " bits, byte " << at;
    }
}

TEST(Soak, RandomKeysKeepTheStateValidAndThePixelsInside) { // one column: nothing is plotted
    soak(1, 30, 32, 200'000, 12345);
    for (int bits : {8, 16, 24, 32})
        soak(37, 23, bits, 2'500, bits);
}

} // namespace
