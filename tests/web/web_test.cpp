#include "web/browser_keys.h"

#include "app/keyboard.h"
#include "support/test_surface.h"

#include <gtest/gtest.h>

#include <initializer_list>

namespace {

// A KeyboardEvent as Chromium reports it: code, key, down, Shift, Ctrl.
struct Event {
    const char *code;
    const char *key;
    bool down, shift, ctrl;
};

// Events as they come, each frame then run through the native key map.
TEST(BrowserKeys, DriveTheNativeKeyMap) {
    SurfacePtr surface = make_surface(16, 16);
    SynthesisState state = init_synthesis_state(*surface->format, HarmonicNumbers{});
    BrowserKeys keys{};
    const auto frame = [&](std::initializer_list<Event> events) {
        for (const Event &e : events) {
            note_browser_key(keys, e.code, e.key, e.down, e.shift, e.ctrl);
        }
        apply_keyboard(state, keys.down.data(), keys.modifiers, *surface);
    };
    // With Num Lock on, Shift turns keypad 3 into PageDown; its place stays Numpad3.
    frame({{"ShiftLeft", "Shift", true, true, false}, {"Numpad3", "PageDown", true, true, false}});
    EXPECT_EQ(state.selected, 13);
    frame({{"Numpad3", "PageDown", false, true, false},
           {"ShiftLeft", "Shift", false, false, false},
           {"NumpadAdd", "+", true, false, false}});
    frame({{"NumpadAdd", "+", false, false, false}, {"NumpadEnter", "Enter", true, false, false}});
    EXPECT_EQ(state.scale[13], 0.0);
    frame({{"NumpadEnter", "Enter", false, false, false}});
    frame({{"Enter", "Enter", true, false, false}});
    EXPECT_EQ(state.scale[13], 0.0); // Return is no key of the map
    // Letters as the layout prints them (German: y at KeyZ), also with Shift.
    frame({{"KeyZ", "y", true, false, false}, {"KeyL", "L", true, true, false}});
    EXPECT_EQ(state.show_numbers, 0);
    EXPECT_EQ(state.line_mode, 1);
    frame({{"ControlLeft", "Control", true, false, true}, {"Home", "Home", true, false, true}});
    EXPECT_EQ(state.zoom, 151.0);
    // Chromium swallowed the Ctrl release; the next event no longer has Ctrl.
    frame({{"Home", "Home", false, false, true}, {"End", "End", true, false, false}});
    EXPECT_EQ(state.zoom, 151.0);
    EXPECT_EQ(state.y_scale, 0.99);
}

TEST(BrowserKeys, OnlyKeysWithASymbolAreNotedAndKeptFromTheBrowser) {
    BrowserKeys keys{};
    for (const auto &[code, key] : {std::pair{"Digit3", "3"},
                                    {"ShiftLeft", "Shift"},
                                    {"Quote", "\xC3\xA4"},
                                    {"Backquote", "`"},
                                    {"F5", "F5"}}) {
        EXPECT_FALSE(note_browser_key(keys, code, key, true, false, false)) << code;
    }
    EXPECT_EQ(keys.down, BrowserKeys{}.down);
    EXPECT_TRUE(note_browser_key(keys, "KeyA", "a", true, false, false));
    EXPECT_EQ(keys.down[SDLK_a], 1);
    EXPECT_EQ(browser_key_symbol("KeyZ", "Z"), SDLK_z);
}

} // namespace
