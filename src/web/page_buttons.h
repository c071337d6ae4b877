// The page's on-screen buttons as keys: which pointer holds which button, a touch that may
// yet become a scroll of the buttons, a tap held for a frame, the Shift and Ctrl latches, and
// what each button shows.
#pragma once

#include "app/synthesis_state.h"
#include "web/browser_keys.h"

#include <SDL.h>

#include <array>

constexpr int MAX_POINTERS = 10; // fingers, pens and a mouse on the buttons at once
// A touch presses its button once it stayed this long, or at its lift: one that moves off
// sooner was the start of a scroll of the buttons and presses nothing.
constexpr double TOUCH_PRESS_MS = 100;

// A pointer that went down on a button.
struct PointerHold {
    int pointer;    // PointerEvent.pointerId
    SDLKey symbol;  // the button's key; SDLK_UNKNOWN while the record is free
    double down_ms; // when it went down, in ms of the page's clock
    bool pressing;  // its button is pressed (a touch only from TOUCH_PRESS_MS on)
};

struct PageButtons {
    std::array<PointerHold, MAX_POINTERS> pointers; // the pointers down on buttons
    std::array<Uint8, SDLK_LAST> holders;           // pointers and taps holding a key's button
    std::array<Uint8, SDLK_LAST> unseen;     // 1 from a button's press until a frame has seen it
    std::array<Uint8, SDLK_LAST> letting_go; // 1: let go before a frame saw it; up after one
    int waiting;                             // buttons marked unseen or letting_go
    int changes; // counts the changes of what the buttons show: held, latched
};

// Returns the key a button stands for, by its KeyboardEvent code and key; the latches are
// SDLK_LSHIFT and SDLK_LCTRL. SDLK_UNKNOWN for none.
SDLKey button_symbol(const char *code, const char *key);

// A pointer goes down on a button: a mouse presses it at once, a touch (delayed) later.
void pointer_down(PageButtons &buttons, BrowserKeys &keys, int pointer, SDLKey symbol, bool delayed,
                  double now_ms);

// A pointer is lifted: a touch not yet pressing is a tap then; a pressed button is let go.
void pointer_up(PageButtons &buttons, BrowserKeys &keys, int pointer);

// A pointer is cancelled, or slid off its button: lets go, and a touch not yet pressing
// presses nothing.
void pointer_cancel(PageButtons &buttons, BrowserKeys &keys, int pointer);

// A pointer is over the button of symbol (SDLK_UNKNOWN: none): off its own, it is cancelled.
void pointer_over(PageButtons &buttons, BrowserKeys &keys, int pointer, SDLKey symbol);

// Presses a button and lets it go after a frame; a latch turns on or off.
void tap_button(PageButtons &buttons, BrowserKeys &keys, SDLKey symbol);

// Before a frame: presses the buttons of touches that stayed TOUCH_PRESS_MS.
void press_stayed_touches(PageButtons &buttons, BrowserKeys &keys, double now_ms);

// After a frame: every button pressed so far has been seen; those let go are up now.
void finish_frame(PageButtons &buttons, BrowserKeys &keys);

// Lets go of every button and forgets the pointers; keys on the keyboard and latches stay.
void let_go_of_buttons(PageButtons &buttons, BrowserKeys &keys);

// Whether a pointer or tap holds the button of symbol.
bool button_held(const PageButtons &buttons, SDLKey symbol);

// Returns 1 when the button of symbol shows on (a latch or a toggle that is on), 0 when off,
// -1 for a button without an on and off.
int button_on(const BrowserKeys &keys, const SynthesisState &state, SDLKey symbol);

// The toggles that buttons show, for telling when they changed.
using ShownToggles = std::array<int, 5>;

// Returns the toggles of the state that buttons show.
ShownToggles shown_toggles(const SynthesisState &state);
