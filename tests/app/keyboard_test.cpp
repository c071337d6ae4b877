#include "app/keyboard.h"
#include "support/test_surface.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

constexpr int CTRL = KMOD_LCTRL, SHIFT = KMOD_RSHIFT, NONE = KMOD_NONE;
constexpr int IGNORED = KMOD_LALT | KMOD_RMETA | KMOD_NUM | KMOD_CAPS | KMOD_MODE;

// Keys down for some frames; with presses, that many presses, each followed by a frame up.
struct Hold {
    std::vector<SDLKey> keys;
    int modifiers = NONE, frames = 1, presses = 0;
};
using Script = std::vector<Hold>;

enum Field { SCALE, SPEED, Y_SCALE, ZOOM, SELECTED, COUNT, TOGGLES };

double value(const SynthesisState &s, Field field, int slot) {
    const double toggles =
        s.show_numbers * 1000.0 + s.clear_screen * 100 + s.thick_curve * 10 + s.line_mode;
    const double all[] = {s.scale[slot],      s.shift_speed[slot],    s.y_scale, s.zoom,
                          double(s.selected), double(s.active_count), toggles};
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
                while (frame++ < hold.frames)
                    apply_keyboard(state, keys.data(), SDLMod(hold.modifiers), *surface);
                if (hold.presses > 0)
                    apply_keyboard(state, up.data(), SDLMod(hold.modifiers), *surface);
            }
        }
    }
};

// The document's key table and its edge cases, each a script run from the start state.
TEST_F(Keyboard, ScriptsEndInTheDocumentsValues) {
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
        {{{toggles, NONE, 1, 2}}, TOGGLES, 0, 1000},
        {{{enter, NONE, 1, 1}}, SCALE, 0, 0.0},
        {{{enter, NONE, 1, 3}}, SCALE, 0, 1.0},
        {{{{SDLK_KP_MINUS}, NONE, 50}, {enter}}, SCALE, 0, 0.0},  // from 0.5
        {{{{SDLK_KP_MINUS}, NONE, 130}, {enter}}, SCALE, 0, 1.0}, // from -0.3
        {{{{SDLK_KP_MINUS}, NONE, 100}, {enter}}, SCALE, 0, 1.0},
        {{{{SDLK_KP_MINUS}, SHIFT, 10}, {enter}}, SCALE, 0, 0.0},
        {{{{SDLK_KP_PLUS}, SHIFT | IGNORED, 2}}, SCALE, 0, (1.0 + 0.1) + 0.1},
        {{{{SDLK_KP3}}}, SELECTED, 0, 3},
        {{{{SDLK_KP0}, KMOD_LSHIFT}}, SELECTED, 0, 10},
        {{{{SDLK_KP7, SDLK_KP2}, SHIFT | CTRL}}, SELECTED, 0, 17},
        {{{{SDLK_LEFT}, NONE, 1, 1}}, SELECTED, 0, 0},
        {{{{SDLK_RIGHT}, NONE, 1, 60}}, SELECTED, 0, 49},
        {{slot_5, {{SDLK_RIGHT, SDLK_KP_PLUS}}}, SCALE, 5, 1.01}, // plus before the move
        {{slot_5, {{SDLK_RIGHT, SDLK_KP_PLUS}}}, SCALE, 6, 1.0},
        {{slot_5, {{SDLK_RIGHT}, NONE, 1, 1}, {{SDLK_DOWN}}}, SCALE, 6, 0.0},
        {{{{SDLK_DOWN}}, {{SDLK_UP}}}, SCALE, 0, 1.0},
        {{{{SDLK_PAGEUP}, NONE, 2}}, Y_SCALE, 0, (1.0 + 0.01) + 0.01},
        {{{{SDLK_PAGEDOWN}, SHIFT, 2}}, Y_SCALE, 0, (1.0 - 0.1) - 0.1},
        {{{{SDLK_PAGEUP}, CTRL | SHIFT, 2}}, ZOOM, 0, 170},
        {{{{SDLK_PAGEDOWN}, KMOD_RCTRL | KMOD_RSHIFT, 16}}, ZOOM, 0, -10},
        {{{{SDLK_KP2}}, {{SDLK_KP_PLUS}, KMOD_RCTRL, 2}, {{SDLK_KP_MINUS}, CTRL | SHIFT}},
         SPEED,
         2,
         (0.01 + 0.01) - 0.1},
        {{{{SDLK_KP2}}, {{SDLK_KP_PLUS}, CTRL, 5}, {enter, CTRL}}, SPEED, 2, 0.0},
        {{{{SDLK_KP2}}, {{SDLK_KP_PLUS}, CTRL}, {enter}, {enter, CTRL}}, SPEED, 2, 0.01},
        {{{{SDLK_LEFT}, CTRL, 1, 12}}, COUNT, 0, 0},
        {{{{SDLK_UP}, CTRL, 1, 4}}, COUNT, 0, 50},
        {{to_40, to_45, {{SDLK_UP}, CTRL}}, COUNT, 0, 45},
        {{{{SDLK_DOWN}, CTRL}}, COUNT, 0, 0},
        {{{{SDLK_LEFT}, CTRL, 1, 5}, {{SDLK_DOWN}, CTRL}}, COUNT, 0, 5},
        {{to_40, to_45, {{SDLK_LEFT, SDLK_UP}, KMOD_RCTRL}}, COUNT, 0, 44},
        {{{{SDLK_LEFT}}, {{SDLK_LEFT}, CTRL}}, COUNT, 0, 9}, // Ctrl on a held cursor left
        {{slot_5, {{SDLK_LEFT}}, {{SDLK_LEFT}, CTRL}, {{SDLK_LEFT}}}, SELECTED, 0, 4},
        {{{{SDLK_PAGEUP}, CTRL}, {{SDLK_r}}}, ZOOM, 0, 150},
        {{{{SDLK_KP_PLUS}, CTRL}, {{SDLK_r}}}, SPEED, 0, 0.0},
        {{{{SDLK_r, SDLK_PAGEUP}, NONE, 3}}, Y_SCALE, 0, (1.01 + 0.01) + 0.01}, // resets once
        {{{enter}, {{SDLK_KP_ENTER, SDLK_r}}}, SCALE, 0, 1.0}, // r keeps Enter's latch
        {{to_40, to_45, {{SDLK_RIGHT}, NONE, 1, 3}, {{SDLK_r}}}, COUNT, 0, 10},
        {{to_40, to_45, {{SDLK_RIGHT}, NONE, 1, 3}, {{SDLK_r}}}, SELECTED, 0, 3},
    };
    for (const auto &c : cases) {
        state = init_synthesis_state(*surface->format, HarmonicNumbers{});
        run(c.script);
        EXPECT_EQ(value(state, c.field, c.slot), c.want) << "case " << &c - cases;
    }
}

} // namespace
