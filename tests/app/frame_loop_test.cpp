// Linked with --wrap for SDL_LockSurface, SDL_UnlockSurface and SDL_UpdateRect, so the
// loop's use of them can be counted and a lock can be refused.
#include "app/frame_loop.h"
#include "support/test_surface.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

int lock_calls, unlock_calls, update_calls;
int partial_updates;  // shows of anything but the whole surface
int lock_result;      // what the wrapped lock returns
int escape_at_update; // Escape goes down at this show; 0 for never

} // namespace

extern "C" {
int __wrap_SDL_LockSurface(SDL_Surface *) {
    lock_calls++;
    if (lock_result < 0) {
        SDL_SetError("refused by the test");
    }
    return lock_result;
}

void __wrap_SDL_UnlockSurface(SDL_Surface *) {
    unlock_calls++;
}

void __wrap_SDL_UpdateRect(SDL_Surface *, Sint32 x, Sint32 y, Uint32 w, Uint32 h) {
    update_calls++;
    partial_updates += x != 0 || y != 0 || w != 0 || h != 0;
    if (update_calls == escape_at_update) {
        SDL_GetKeyState(nullptr)[SDLK_ESCAPE] = 1;
    }
}
}

namespace {

enum class Locking { none, async_blit_flag, offset };

class FrameLoop : public ::testing::Test {
  protected:
    // A video driver is there because SDL's own fills lock a flagged surface through it.
    void SetUp() override {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0);
        surface = make_surface(1024, 768);
        for (Uint32 i = 0; i < 1024 * 768; i++) {
            first_pixel()[i] = 0x9E3779B9u * (i + 1); // nothing draws this pattern
        }
        start_afresh(Locking::none);
    }

    void TearDown() override {
        surface.reset();
        SDL_Quit();
    }

    void start_afresh(Locking locking) {
        lock_calls = unlock_calls = update_calls = partial_updates = 0;
        lock_result = escape_at_update = 0;
        std::memset(keys, 0, SDLK_LAST);
        surface->flags = locking == Locking::async_blit_flag ? SDL_ASYNCBLIT : SDL_SWSURFACE;
        surface->offset = locking == Locking::offset ? 4 : 0;
    }

    std::vector<Uint32> pixels() const {
        return std::vector<Uint32>(first_pixel(), first_pixel() + 1024 * 768);
    }
    Uint32 *first_pixel() const {
        return static_cast<Uint32 *>(surface->pixels);
    }

    HarmonicNumbers harmonic{1, 3, 5, 7, 9, 11, 13, 15, 17, 19};
    SurfacePtr surface;
    Uint8 *keys = SDL_GetKeyState(nullptr);
};

TEST_F(FrameLoop, EscapeDownAtStartReturnsBeforeAnyKeyActsOrAnythingIsDrawnOrShown) {
    start_afresh(Locking::async_blit_flag);
    const std::vector<Uint32> before = pixels();
    keys[SDLK_ESCAPE] = keys[SDLK_c] = 1;
    keys[SDLK_r] = 1; // would clear the surface
    EXPECT_EQ(run_frame_loop(*surface, harmonic), 0);
    EXPECT_EQ(lock_calls + update_calls, 0);
    EXPECT_TRUE(pixels() == before);
}

TEST_F(FrameLoop, LocksAndUnlocksEachFrameOnlyWhenTheSurfaceNeedsIt) {
    for (Locking locking : {Locking::none, Locking::async_blit_flag, Locking::offset}) {
        start_afresh(locking);
        escape_at_update = 7;
        EXPECT_EQ(run_frame_loop(*surface, harmonic), 0);
        const int expected_locks = locking == Locking::none ? 0 : 7;
        EXPECT_EQ(lock_calls, expected_locks) << int(locking);
        EXPECT_EQ(unlock_calls, expected_locks) << int(locking);
        EXPECT_EQ(update_calls, 7);
        EXPECT_EQ(partial_updates, 0);
    }
}

TEST_F(FrameLoop, LockFailurePrintsTheMessageAndEndsTheLoopWithoutDrawing) {
    start_afresh(Locking::offset);
    lock_result = -1;
    const std::vector<Uint32> before = pixels();
    ::testing::internal::CaptureStderr();
    const int status = run_frame_loop(*surface, harmonic);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "Can't lock screen: refused by the test\n");
    EXPECT_EQ(status, 1);
    EXPECT_EQ(lock_calls, 1);
    EXPECT_EQ(unlock_calls + update_calls, 0);
    EXPECT_TRUE(pixels() == before);
}

// Escape is down too: a loop that read the keys before the queue was empty would return.
void run_with_quit_behind_other_events(SDL_Surface &surface, const HarmonicNumbers &harmonic) {
    SDL_Event event{};
    event.type = SDL_USEREVENT;
    SDL_PushEvent(&event);
    event.type = SDL_QUIT;
    SDL_PushEvent(&event);
    SDL_PushEvent(&event);
    SDL_GetKeyState(nullptr)[SDLK_ESCAPE] = 1;
    run_frame_loop(surface, harmonic);
    std::exit(3);
}

TEST_F(FrameLoop, QuitEventBehindOthersEndsTheProcessWithZeroBeforeKeysAreRead) {
    EXPECT_EXIT(run_with_quit_behind_other_events(*surface, harmonic), ::testing::ExitedWithCode(0),
                "");
}

} // namespace
