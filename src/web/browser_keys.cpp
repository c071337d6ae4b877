#include "web/browser_keys.h"

#include <cstring>

namespace {

constexpr Uint8 HELD_BY_KEYBOARD = 1; // bits of BrowserKeys::holders
constexpr Uint8 HELD_BY_BUTTON = 2;

struct NamedKey {
    const char *code; // KeyboardEvent.code: the key's place, whatever the layout or Num Lock
    SDLKey symbol;
};

// Keyboards without a keypad: the digit row, Return and the keys beside the digit row stand
// in for the keypad, by place, so that Shift keeps meaning the coarse step and slots 11 to 20
// on every layout. Equal and Minus are US, UK and AZERTY's =/+ and -/_ (AZERTY: )/°),
// BracketRight and Slash German's +/* and -/_.
// Home and End stand in for PageUp and PageDown: Chromium keeps Ctrl with those for its tabs.
constexpr NamedKey NAMED_KEYS[] = {
    {"Escape", SDLK_ESCAPE},        {"Enter", SDLK_KP_ENTER},    {"NumpadEnter", SDLK_KP_ENTER},
    {"Numpad0", SDLK_KP0},          {"Numpad1", SDLK_KP1},       {"Numpad2", SDLK_KP2},
    {"Numpad3", SDLK_KP3},          {"Numpad4", SDLK_KP4},       {"Numpad5", SDLK_KP5},
    {"Numpad6", SDLK_KP6},          {"Numpad7", SDLK_KP7},       {"Numpad8", SDLK_KP8},
    {"Numpad9", SDLK_KP9},          {"NumpadAdd", SDLK_KP_PLUS}, {"NumpadSubtract", SDLK_KP_MINUS},
    {"Digit0", SDLK_KP0},           {"Digit1", SDLK_KP1},        {"Digit2", SDLK_KP2},
    {"Digit3", SDLK_KP3},           {"Digit4", SDLK_KP4},        {"Digit5", SDLK_KP5},
    {"Digit6", SDLK_KP6},           {"Digit7", SDLK_KP7},        {"Digit8", SDLK_KP8},
    {"Digit9", SDLK_KP9},           {"Equal", SDLK_KP_PLUS},     {"Minus", SDLK_KP_MINUS},
    {"BracketRight", SDLK_KP_PLUS}, {"Slash", SDLK_KP_MINUS},    {"PageUp", SDLK_PAGEUP},
    {"PageDown", SDLK_PAGEDOWN},    {"Home", SDLK_PAGEUP},       {"End", SDLK_PAGEDOWN},
    {"ArrowLeft", SDLK_LEFT},       {"ArrowRight", SDLK_RIGHT},  {"ArrowUp", SDLK_UP},
    {"ArrowDown", SDLK_DOWN},
};

SDLMod modifier_mask(bool shift, bool ctrl) {
    return static_cast<SDLMod>((shift ? KMOD_LSHIFT : 0) | (ctrl ? KMOD_LCTRL : 0));
}

void hold(BrowserKeys &keys, SDLKey symbol, Uint8 holder, bool down) {
    keys.holders[symbol] = down ? keys.holders[symbol] | holder : keys.holders[symbol] & ~holder;
    keys.down[symbol] = keys.holders[symbol] != 0 ? 1 : 0;
}

} // namespace

SDLKey browser_key_symbol(const char *code, const char *key) {
    for (const NamedKey &named : NAMED_KEYS) {
        if (std::strcmp(code, named.code) == 0) {
            return named.symbol;
        }
    }
    // Letters by what the layout prints on them, as SDL's key symbols have it.
    const char letter = static_cast<char>(key[0] | 0x20);
    if (key[0] != '\0' && key[1] == '\0' && letter >= 'a' && letter <= 'z') {
        return static_cast<SDLKey>(SDLK_a + (letter - 'a'));
    }
    return SDLK_UNKNOWN;
}

bool note_browser_key(BrowserKeys &keys, const char *code, const char *key, bool down, bool shift,
                      bool ctrl) {
    // From every event, not from the modifier keys' own: Chromium swallows the Ctrl release
    // after its Ctrl+PageUp.
    keys.typed = modifier_mask(shift, ctrl);
    const SDLKey symbol = browser_key_symbol(code, key);
    if (symbol == SDLK_UNKNOWN) {
        return false;
    }
    hold(keys, symbol, HELD_BY_KEYBOARD, down);
    return true;
}

void note_button_key(BrowserKeys &keys, SDLKey symbol, bool down) {
    if (symbol != SDLK_UNKNOWN) {
        hold(keys, symbol, HELD_BY_BUTTON, down);
    }
}

void toggle_latch(BrowserKeys &keys, SDLMod latch) {
    keys.latched = static_cast<SDLMod>(keys.latched ^ latch);
}

void release_all(BrowserKeys &keys) {
    keys.down = {};
    keys.holders = {};
    keys.typed = KMOD_NONE;
}

SDLMod frame_modifiers(const BrowserKeys &keys) {
    return static_cast<SDLMod>(keys.typed | keys.latched);
}
