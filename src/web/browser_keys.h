// Browser key events and the page's on-screen buttons turned into SDL's key-state array and
// modifier mask, so that the page runs the program's own key map.
#pragma once

#include <SDL.h>

#include <array>

// The keyboard and the on-screen buttons as the page's events have left them.
struct BrowserKeys {
    std::array<Uint8, SDLK_LAST> down;    // 1 while held, by SDL key symbol, as SDL_GetKeyState
    std::array<Uint8, SDLK_LAST> holders; // bits: 1 the keyboard, 2 a button
    SDLMod typed;   // KMOD_LSHIFT and KMOD_LCTRL as the last key event had them
    SDLMod latched; // KMOD_LSHIFT and KMOD_LCTRL of the page's Shift and Ctrl buttons
};

// Returns the SDL key symbol of a KeyboardEvent's code and key, SDLK_UNKNOWN for none.
SDLKey browser_key_symbol(const char *code, const char *key);

// Records one key event; returns whether the key has a symbol, which the page then keeps
// from the browser's own use.
bool note_browser_key(BrowserKeys &keys, const char *code, const char *key, bool down, bool shift,
                      bool ctrl);

// Records the button of a key symbol going down or up.
void note_button_key(BrowserKeys &keys, SDLKey symbol, bool down);

// Turns the page's Shift or Ctrl latch (KMOD_LSHIFT, KMOD_LCTRL) on when off, off when on.
void toggle_latch(BrowserKeys &keys, SDLMod latch);

// Lets go of every key and button, where the page cannot see them released; latches stay.
void release_all(BrowserKeys &keys);

// Returns the modifier mask a frame reads: the typed and the latched ones together.
SDLMod frame_modifiers(const BrowserKeys &keys);
