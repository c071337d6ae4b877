// Browser key events turned into SDL's key-state array and modifier mask, so that the page
// runs the program's own key map.
#pragma once

#include <SDL.h>

#include <array>

// The keyboard as the page's key events have left it.
struct BrowserKeys {
    std::array<Uint8, SDLK_LAST> down; // 1 while held, by SDL key symbol, as SDL_GetKeyState
    SDLMod modifiers;                  // KMOD_LSHIFT and KMOD_LCTRL as the last event had them
};

// Returns the SDL key symbol of a KeyboardEvent's code and key, SDLK_UNKNOWN for none.
SDLKey browser_key_symbol(const char *code, const char *key);

// Records one key event; returns whether the key has a symbol, which the page then keeps
// from the browser's own use.
bool note_browser_key(BrowserKeys &keys, const char *code, const char *key, bool down, bool shift,
                      bool ctrl);
