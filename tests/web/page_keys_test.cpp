// The page's on-screen buttons, the keyboard beside them and the readout as the program keeps
// them, where the browser tests do not reach: pointers, touches that turn out to scroll,
// latches, and when the values are spoken.
#include "support/test_surface.h"
#include "web/page_buttons.h"
#include "web/page_readout.h"

#include <gtest/gtest.h>

namespace {

struct Page {
    BrowserKeys keys{};
    PageButtons buttons{};
};

// One frame as the page runs it; returns whether the frame saw the key down.
bool frame(Page &page, SDLKey key, double now_ms = 0) {
    press_stayed_touches(page.buttons, page.keys, now_ms);
    const bool seen = page.keys.down[key] == 1;
    finish_frame(page.buttons, page.keys);
    return seen;
}

constexpr bool MOUSE = false, TOUCH = true;

TEST(PageButtons, HeldWhileAnyPointerHoldsAndATapForOneFrame) {
    Page page;
    const int changes = page.buttons.changes;
    pointer_down(page.buttons, page.keys, 1, SDLK_KP_PLUS, MOUSE, 0);
    EXPECT_TRUE(button_held(page.buttons, SDLK_KP_PLUS));
    EXPECT_NE(page.buttons.changes, changes) << "a press must restyle";
    pointer_up(page.buttons, page.keys, 1); // before any frame: still held for one
    EXPECT_FALSE(button_held(page.buttons, SDLK_KP_PLUS));
    EXPECT_TRUE(frame(page, SDLK_KP_PLUS));
    EXPECT_FALSE(frame(page, SDLK_KP_PLUS));

    // Two fingers on one button: down until both lift; a third pointer id is another finger.
    pointer_down(page.buttons, page.keys, 2, SDLK_KP_MINUS, MOUSE, 0);
    pointer_down(page.buttons, page.keys, 3, SDLK_KP_MINUS, MOUSE, 0);
    pointer_down(page.buttons, page.keys, 2, SDLK_KP_MINUS, MOUSE, 0); // the same pointer again
    EXPECT_TRUE(frame(page, SDLK_KP_MINUS));
    pointer_up(page.buttons, page.keys, 2);
    EXPECT_TRUE(frame(page, SDLK_KP_MINUS));
    const int before_lift = page.buttons.changes;
    pointer_up(page.buttons, page.keys, 3);
    EXPECT_NE(page.buttons.changes, before_lift) << "the last lift must restyle";
    EXPECT_FALSE(frame(page, SDLK_KP_MINUS));
    pointer_up(page.buttons, page.keys, 3); // lifted twice: nothing more to let go
    EXPECT_FALSE(frame(page, SDLK_KP_MINUS));

    // The "+" button and the key in the keyboard's = + place both hold keypad plus: either let
    // go first, the key stays down until the other is let go too.
    note_browser_key(page.keys, "Equal", "=", true, false, false);
    pointer_down(page.buttons, page.keys, 4, SDLK_KP_PLUS, MOUSE, 0);
    frame(page, SDLK_KP_PLUS);
    pointer_up(page.buttons, page.keys, 4);
    let_go_of_buttons(page.buttons, page.keys);
    EXPECT_TRUE(frame(page, SDLK_KP_PLUS)) << "still down on the keyboard";
    pointer_down(page.buttons, page.keys, 5, SDLK_KP_PLUS, MOUSE, 0);
    note_browser_key(page.keys, "Equal", "=", false, false, false);
    EXPECT_TRUE(frame(page, SDLK_KP_PLUS)) << "still held by its button";
    pointer_up(page.buttons, page.keys, 5);
    EXPECT_FALSE(frame(page, SDLK_KP_PLUS));
}

TEST(PageButtons, ATouchPressesOnceItStayedOrAtItsLiftNeverWhenItScrolls) {
    Page page;
    pointer_down(page.buttons, page.keys, 5, SDLK_c, TOUCH, 1000);
    EXPECT_FALSE(frame(page, SDLK_c, 1000 + TOUCH_PRESS_MS - 1));
    pointer_cancel(page.buttons, page.keys, 5); // the panel scrolled
    EXPECT_FALSE(frame(page, SDLK_c, 2000));
    EXPECT_FALSE(button_held(page.buttons, SDLK_c));

    pointer_down(page.buttons, page.keys, 7, SDLK_d, TOUCH, 4000);
    EXPECT_TRUE(frame(page, SDLK_d, 4000 + TOUCH_PRESS_MS));
    pointer_over(page.buttons, page.keys, 7, SDLK_d); // still on its button
    EXPECT_TRUE(frame(page, SDLK_d, 4200));
    pointer_over(page.buttons, page.keys, 7, SDLK_l); // slid onto another
    EXPECT_FALSE(frame(page, SDLK_d, 4300));
    EXPECT_FALSE(frame(page, SDLK_l, 4300));

    pointer_down(page.buttons, page.keys, 8, SDLK_l, MOUSE, 4400); // one finger presses,
    EXPECT_TRUE(frame(page, SDLK_l, 4400));
    pointer_down(page.buttons, page.keys, 9, SDLK_l, TOUCH, 4400); // another scrolls
    pointer_cancel(page.buttons, page.keys, 9);
    EXPECT_TRUE(frame(page, SDLK_l, 4500));
    pointer_up(page.buttons, page.keys, 8);

    pointer_down(page.buttons, page.keys, 8, SDLK_r, TOUCH, 5000);
    let_go_of_buttons(page.buttons, page.keys); // the phone turned before it pressed
    EXPECT_FALSE(frame(page, SDLK_r, 6000));

    const int changes = page.buttons.changes; // no button has these: nothing pressed or kept
    for (SDLKey none : {SDLK_UNKNOWN, SDLK_LAST}) {
        pointer_down(page.buttons, page.keys, 10, none, MOUSE, 7000);
        tap_button(page.buttons, page.keys, none);
    }
    EXPECT_EQ(page.buttons.changes, changes);
}

TEST(PageButtons, LatchesShowWhetherTheyAreOnAndOutlastABlur) {
    Page page;
    SynthesisState state{};
    pointer_down(page.buttons, page.keys, 1, SDLK_LCTRL, MOUSE, 0);
    pointer_up(page.buttons, page.keys, 1);
    EXPECT_EQ(frame_modifiers(page.keys), KMOD_LCTRL);
    tap_button(page.buttons, page.keys, SDLK_LSHIFT);
    EXPECT_EQ(button_on(page.keys, state, SDLK_LSHIFT), 1);
    const int changes = page.buttons.changes;
    pointer_down(page.buttons, page.keys, 2, SDLK_LCTRL, TOUCH, 0);
    EXPECT_EQ(button_on(page.keys, state, SDLK_LCTRL), 1) << "a touch waits";
    pointer_up(page.buttons, page.keys, 2);
    EXPECT_EQ(button_on(page.keys, state, SDLK_LCTRL), 0);
    EXPECT_NE(page.buttons.changes, changes);
    release_all(page.keys);
    let_go_of_buttons(page.buttons, page.keys);
    EXPECT_EQ(frame_modifiers(page.keys), KMOD_LSHIFT) << "latches outlast a blur";
    EXPECT_FALSE(frame(page, SDLK_LSHIFT));
    // What the toggles' buttons show is checked against the keys pressed in the page's tests.
    EXPECT_EQ(button_symbol("ShiftLeft", ""), SDLK_LSHIFT);
    EXPECT_EQ(button_symbol("ControlLeft", ""), SDLK_LCTRL);
    EXPECT_EQ(button_symbol("", "y"), SDLK_y);
}

// The readout's texts are checked against the native program's in the page's tests; here,
// what is said of them and when.
TEST(PageReadout, TheSelectedSlotsAndTheViewsValuesSpokenOnceSettled) {
    SurfacePtr surface = make_surface(8, 8);
    HarmonicNumbers harmonic{};
    for (int i = 0; i < HARMONIC_SLOTS; i++)
        harmonic[i] = 2 * i + 1;
    SynthesisState state = init_synthesis_state(*surface->format, harmonic);
    state.selected = 3;
    state.scale[3] = -0.25;
    state.shift_speed[3] = 0.01;
    state.active_count = 7;
    ReadoutShown page{};
    start_readout(page, state, 1000);
    EXPECT_FALSE(update_readout(page, state));
    EXPECT_FALSE(due_speech(page, false, 1000)) << "nothing changed yet";
    state.shift_speed[4] = 5.0; // another slot's
    EXPECT_FALSE(update_readout(page, state));
    state.shift_speed[3] = -0.0; // only its bits differ
    EXPECT_TRUE(update_readout(page, state));
    state.shift_speed[3] = 0.01;
    state.scale[3] = 1.0;
    ASSERT_TRUE(update_readout(page, state));
    EXPECT_FALSE(update_readout(page, state));
    EXPECT_FALSE(due_speech(page, true, 1999)) << "held: at most once a second";
    ASSERT_TRUE(due_speech(page, true, 2000));
    EXPECT_STREQ(page.speech.data(), "Skalierung 1.0000");
    state.scale[3] = 1.5;
    state.zoom = -1.5;
    state.y_scale = 0.5;
    update_readout(page, state);
    EXPECT_FALSE(due_speech(page, true, 2500));
    ASSERT_TRUE(due_speech(page, false, 2600)) << "let go: at once";
    EXPECT_STREQ(page.speech.data(), "Skalierung 1.5000, Zoom -1.0000 %, y-Achse .50000");
    EXPECT_FALSE(due_speech(page, false, 2700)) << "said once";
    state.selected = 4; // a new slot brings all of its own, even where the text is the same
    state.scale[4] = 1.5;
    update_readout(page, state);
    ASSERT_TRUE(due_speech(page, false, 2800));
    EXPECT_STREQ(page.speech.data(),
                 "Koeffizient 5 / 7 K, Harmonische 9, Skalierung 1.5000, Tempo 5.0000");
}

} // namespace
