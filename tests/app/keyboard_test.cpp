#include "app/keyboard.h"
#include "support/test_surface.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

constexpr int CTRL = KMOD_LCTRL;
constexpr int SHIFT = KMOD_LSHIFT;
constexpr int IGNORED = KMOD_LALT | KMOD_RMETA | KMOD_NUM | KMOD_CAPS | KMOD_MODE;

volatile double hundredth = 0.01; // kept out of constant folding

class Keyboard : public ::testing::Test {
  protected:
    SurfacePtr surface = make_surface(16, 16);
    SynthesisState state = init_synthesis_state(*surface->format, HarmonicNumbers{});

    // One frame with exactly these keys down.
    void frame(const std::vector<SDLKey> &down, int modifiers = KMOD_NONE) {
        const KeyState keys = keys_down(down);
        apply_keyboard(state, keys.data(), static_cast<SDLMod>(modifiers), *surface);
    }
};

TEST_F(Keyboard, ToggleKeysFlipOncePerPressWhateverTheModifiers) {
    const std::pair<SDLKey, int SynthesisState::*> cases[] = {
        {SDLK_c, &SynthesisState::clear_screen},
        {SDLK_d, &SynthesisState::thick_curve},
        {SDLK_l, &SynthesisState::line_mode},
        {SDLK_y, &SynthesisState::show_numbers}};
    for (const auto &[key, toggle] : cases) {
        const int start = state.*toggle;
        for (int held = 0; held < 3; held++) {
            frame({key}, CTRL | SHIFT | IGNORED);
        }
        EXPECT_EQ(state.*toggle, 1 - start) << key;
        frame({});
        frame({key});
        EXPECT_EQ(state.*toggle, start) << key;
    }
}

TEST_F(Keyboard, HeldResetActsOnceAndPageUpInItsFrameEndsAt101) {
    SDL_FillRect(surface.get(), nullptr, 0xFFFFFF);
    state.scale[3] = 2.5;
    state.zoom = state.y_scale = 7.0;
    frame({SDLK_r, SDLK_PAGEUP});
    const auto *pixels = static_cast<const Uint32 *>(surface->pixels);
    EXPECT_EQ(std::count(pixels, pixels + 16 * 16, 0u), 16 * 16);
    EXPECT_EQ(state.y_scale, 1.01);
    EXPECT_EQ(state.zoom, 150.0);
    EXPECT_EQ(state.scale[3], 1.0);

    state.scale[3] = 2.5;
    frame({SDLK_r});
    EXPECT_EQ(state.scale[3], 2.5);

    frame({});
    frame({SDLK_KP_ENTER});
    frame({SDLK_KP_ENTER, SDLK_r}); // the reset keeps the held Enter's latch
    EXPECT_EQ(state.scale[0], 1.0);
}

TEST_F(Keyboard, KeypadDigitsSelectTheHighestHeldSlot) {
    const struct {
        std::vector<SDLKey> down;
        int modifiers;
        int selected;
    } cases[] = {{{SDLK_KP3}, KMOD_NONE, 3},
                 {{SDLK_KP0}, SHIFT, 10},
                 {{SDLK_KP2, SDLK_KP7}, KMOD_NONE, 7},
                 {{SDLK_KP7, SDLK_KP2}, KMOD_RSHIFT, 17},
                 {{SDLK_KP9}, IGNORED, 9},
                 {{SDLK_KP9}, CTRL | SHIFT, 19},
                 {{SDLK_KP0}, KMOD_RCTRL, 0}};
    for (const auto &c : cases) {
        frame(c.down, c.modifiers);
        EXPECT_EQ(state.selected, c.selected);
    }
}

TEST_F(Keyboard, HeldEditKeysStepTheirFieldByCtrlAndShift) {
    enum Field { Y_SCALE, ZOOM, SCALE, SPEED };
    const double fine = 1.0 * hundredth, coarse = 10.0 * hundredth;
    const struct {
        SDLKey key;
        int modifiers;
        Field field;
        double delta; // per frame
    } cases[] = {
        {SDLK_PAGEUP, KMOD_NONE, Y_SCALE, fine},
        {SDLK_PAGEDOWN, SHIFT, Y_SCALE, -coarse},
        {SDLK_KP_PLUS, KMOD_RSHIFT | IGNORED, SCALE, coarse},
        {SDLK_KP_MINUS, KMOD_NONE, SCALE, -fine},
        {SDLK_PAGEUP, CTRL, ZOOM, 1.0},
        {SDLK_PAGEUP, CTRL | SHIFT, ZOOM, 10.0},
        {SDLK_PAGEDOWN, KMOD_RCTRL | KMOD_RSHIFT, ZOOM, -10.0},
        {SDLK_KP_PLUS, KMOD_RCTRL, SPEED, fine},
        {SDLK_KP_MINUS, CTRL | SHIFT, SPEED, -coarse},
    };
    for (const auto &c : cases) {
        state = init_synthesis_state(*surface->format, HarmonicNumbers{});
        state.selected = 4;
        state.zoom = 5.0; // nothing stops it at 0
        std::array<double, 4> expected = {1.0, 5.0, 1.0, 0.0};
        expected[c.field] = (expected[c.field] + c.delta) + c.delta;
        frame({c.key}, c.modifiers);
        frame({c.key}, c.modifiers);
        const std::array<double, 4> got = {state.y_scale, state.zoom, state.scale[4],
                                           state.shift_speed[4]};
        EXPECT_EQ(got, expected) << c.key << " modifiers " << c.modifiers;
    }
}

TEST_F(Keyboard, KeypadEnterCyclesScaleWithAnExactZeroTest) {
    const std::pair<double, double> cases[] = {{1.0, 0.0}, {0.0, -1.0}, {-1.0, 1.0},
                                               {0.5, 0.0}, {-0.3, 1.0}, {-0.0, -1.0}};
    for (const auto &[from, to] : cases) {
        state.scale[0] = from;
        frame({SDLK_KP_ENTER});
        frame({SDLK_KP_ENTER});
        EXPECT_EQ(state.scale[0], to) << from;
        frame({});
    }
    // Steps of 0.01 or 0.1 down from 1.0 miss 0.0 by a residue.
    state.scale[0] = 1.0;
    for (int i = 0; i < 100; i++) {
        frame({SDLK_KP_MINUS});
    }
    EXPECT_EQ(state.scale[0], -7.528699885739343e-16);
    frame({SDLK_KP_ENTER});
    EXPECT_EQ(state.scale[0], 1.0);
    frame({SDLK_KP1});
    for (int i = 0; i < 10; i++) {
        frame({SDLK_KP_MINUS}, SHIFT);
    }
    EXPECT_EQ(state.scale[1], 1.3877787807814457e-16);
    frame({SDLK_KP_ENTER});
    EXPECT_EQ(state.scale[1], 0.0);
}

TEST_F(Keyboard, CtrlEnterStopsTheSlotAndSharesThePlainLatch) {
    frame({SDLK_KP2});
    state.shift_speed[2] = 0.3;
    state.shift[2] = 1.5;
    frame({SDLK_KP_ENTER}, KMOD_RCTRL);
    EXPECT_EQ(state.shift_speed[2], 0.0);
    EXPECT_EQ(state.shift[2], 1.5);
    EXPECT_EQ(state.scale[2], 1.0);

    state.shift_speed[2] = 0.3;
    frame({});
    frame({SDLK_KP_ENTER});
    frame({SDLK_KP_ENTER}, CTRL); // Ctrl pressed on a held Enter
    EXPECT_EQ(state.scale[2], 0.0);
    EXPECT_EQ(state.shift_speed[2], 0.3);
}

TEST_F(Keyboard, PlainCursorKeysSelectWithinLimitsAndSetScale) {
    frame({SDLK_LEFT});
    EXPECT_EQ(state.selected, 0);
    for (int i = 0; i < 60; i++) {
        frame({SDLK_RIGHT});
        frame({SDLK_RIGHT});
        frame({});
    }
    EXPECT_EQ(state.selected, 49);
    state.selected = 5;
    frame({SDLK_RIGHT, SDLK_KP_PLUS}); // plus acts on the slot selected before the move
    EXPECT_EQ(state.selected, 6);
    EXPECT_EQ(state.scale[5], 1.0 + 1.0 * hundredth);
    EXPECT_EQ(state.scale[6], 1.0);
    frame({SDLK_DOWN});
    EXPECT_EQ(state.scale[6], 0.0);
    state.scale[6] = 0.5;
    frame({SDLK_UP});
    EXPECT_EQ(state.scale[6], 1.0);
}

TEST_F(Keyboard, CtrlCursorKeysChangeSlotCountWithinLimitsWithLatchesOfTheirOwn) {
    const struct {
        int from;
        SDLKey key;
        int to;
    } cases[] = {{0, SDLK_LEFT, 0},    {10, SDLK_LEFT, 9}, {49, SDLK_RIGHT, 50},
                 {50, SDLK_RIGHT, 50}, {40, SDLK_UP, 50},  {41, SDLK_UP, 41},
                 {10, SDLK_DOWN, 0},   {9, SDLK_DOWN, 9},  {5, SDLK_DOWN, 5}};
    for (const auto &c : cases) {
        state.active_count = c.from;
        frame({c.key}, CTRL);
        frame({c.key}, CTRL);
        EXPECT_EQ(state.active_count, c.to) << c.from << " key " << c.key;
        frame({}, CTRL);
    }
    state.active_count = 45;
    frame({SDLK_LEFT, SDLK_UP}, KMOD_RCTRL);
    EXPECT_EQ(state.active_count, 44);
    EXPECT_EQ(state.selected, 0);

    // Each Ctrl branch keeps its own cursor latches.
    frame({}, CTRL);
    state.selected = 5;
    frame({SDLK_LEFT});
    frame({SDLK_LEFT}, CTRL); // Ctrl pressed on a held cursor left
    frame({SDLK_LEFT});       // Ctrl let go: cursor left held since the last plain frame
    EXPECT_EQ(state.selected, 4);
    EXPECT_EQ(state.active_count, 43);
}

} // namespace
