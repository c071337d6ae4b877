// Linked with --wrap for SDL_LockSurface, SDL_UnlockSurface and SDL_UpdateRect, so their use
// can be counted and a lock refused.
#include "app/frame.h"
#include "sound/sound.h"
#include "support/test_surface.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

namespace {
int locks, unlocks, shows, partial_shows; // calls seen
int lock_result;                          // what the wrapped lock returns
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
    shows++;
    partial_shows += x != 0 || y != 0 || w != 0 || h != 0;
}
}

namespace {

enum class Locking { none, async_blit_flag, offset };

class Frame : public ::testing::Test {
  protected:
    // SDL's own fills lock a flagged surface through the video driver.
    void SetUp() override {
        ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0);
    }
    void TearDown() override {
        surface.reset();
        SDL_Quit();
    }

    // A surface of noise that nothing draws, locked as asked; the counts start afresh.
    void start(Locking locking) {
        surface = make_surface(64, 48);
        for (int i = 0; i < 64 * 48; i++)
            static_cast<Uint32 *>(surface->pixels)[i] = 0x9E3779B9u * (i + 1);
        surface->flags = locking == Locking::async_blit_flag ? SDL_ASYNCBLIT : SDL_SWSURFACE;
        surface->offset = locking == Locking::offset ? 4 : 0;
        state = init_synthesis_state(*surface->format, harmonic);
        locks = unlocks = shows = partial_shows = lock_result = 0;
    }

    FrameEnd frame(std::initializer_list<SDLKey> down = {}) {
        const KeyState keys = keys_down(down);
        return run_frame(*surface, state, keys.data(), KMOD_NONE);
    }

    HarmonicNumbers harmonic{1, 3, 5, 7, 9, 11, 13, 15, 17, 19};
    SurfacePtr surface;
    SynthesisState state;
};

TEST_F(Frame, EscapeEndsBeforeAnyKeyActsOrAnythingIsDrawnOrShown) {
    start(Locking::async_blit_flag);
    const std::uint64_t before = digest(*surface);
    const SynthesisState untouched = state;
    EXPECT_EQ(frame({SDLK_ESCAPE, SDLK_c, SDLK_r, SDLK_KP_PLUS}), FrameEnd::escape);
    EXPECT_EQ(locks + shows, 0);
    EXPECT_EQ(digest(*surface), before);
    EXPECT_EQ(std::memcmp(&state, &untouched, sizeof state), 0);
}

TEST_F(Frame, LocksOnlyWhenTheSurfaceNeedsItAndShowsTheWholeSurface) {
    for (Locking locking : {Locking::none, Locking::async_blit_flag, Locking::offset}) {
        start(locking);
        for (int i = 0; i < 3; i++)
            EXPECT_EQ(frame(), FrameEnd::shown);
        EXPECT_EQ(locks, locking == Locking::none ? 0 : 3) << int(locking);
        EXPECT_EQ(unlocks, locks) << int(locking);
        EXPECT_EQ(shows - partial_shows, 3);
    }
}

TEST_F(Frame, LockFailurePrintsTheMessageAndDrawsNothing) {
    start(Locking::offset);
    lock_result = -1;
    const std::uint64_t before = digest(*surface);
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(frame({SDLK_c}), FrameEnd::lock_failed);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "Can't lock screen: refused by the test\n");
    EXPECT_EQ(unlocks + shows, 0);
    EXPECT_EQ(digest(*surface), before);
}

// Sound on in frame 13: silence until the refresh of frame 20. Off in 25, on in 37: 40.
TEST_F(Frame, SoundRefreshesOnEveryTenthFrameSinceTheStart) {
    start(Locking::none);
    for (int n = 1; n <= 42; n++) {
        const bool press = n == 13 || n == 25 || n == 37 || n == 42;
        frame(press ? std::initializer_list<SDLKey>{SDLK_s} : std::initializer_list<SDLKey>{});
        if (state.sound_on == 1) {
            SDL_LockAudio();
            const bool silent = std::all_of(sound_loop.data, sound_loop.data + SOUND_LOOP_BYTES,
                                            [](Uint8 b) { return b == 0; });
            SDL_UnlockAudio();
            EXPECT_EQ(silent, n < 20 || (n >= 37 && n < 40)) << "frame " << n;
        }
    }
}

// Every slot's shift moves by its speed once a frame, used or not; nothing else changes.
TEST_F(Frame, ShiftsAdvanceInEverySlot) {
    start(Locking::none);
    state.shift_speed[2] = 0.1, state.shift_speed[49] = -0.25, state.shift[49] = 1.0;
    SynthesisState want = state;
    want.shift[2] = (0.1 + 0.1) + 0.1, want.shift[49] = 0.25;
    for (int n = 0; n < 3; n++)
        advance_shifts(state);
    EXPECT_EQ(std::memcmp(&state, &want, sizeof state), 0);
}

} // namespace
