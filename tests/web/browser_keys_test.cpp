// The page's keys: the keyboard and the on-screen buttons as one key-state array.
#include "web/browser_keys.h"

#include <gtest/gtest.h>

namespace {

// The "+" button and the key in the keyboard's = + place both stand for keypad plus; either
// let go first, the key stays down until the other is let go too.
TEST(BrowserKeys, AKeyHeldOnTheKeyboardAndByItsButtonStaysDownUntilBothAreLetGo) {
    for (bool keyboard_first : {true, false}) {
        BrowserKeys keys{};
        note_browser_key(keys, "Equal", "=", true, false, false);
        note_button(keys, "NumpadAdd", "+", true);
        for (bool keyboard : {keyboard_first, !keyboard_first}) { // let go one, then the other
            EXPECT_EQ(keys.down[SDLK_KP_PLUS], 1) << keyboard_first;
            if (keyboard)
                note_browser_key(keys, "Equal", "=", false, false, false);
            else
                note_button(keys, "NumpadAdd", "+", false);
        }
        EXPECT_EQ(keys.down[SDLK_KP_PLUS], 0) << keyboard_first;
    }
}

} // namespace
