#include "web/browser_keys.h"

#include <cstring>

namespace {

struct NamedKey {
    const char *code; // KeyboardEvent.code: the key's place, whatever Num Lock says
    SDLKey symbol;
};

// Home and End stand in for PageUp and PageDown: Chromium keeps Ctrl with those for its tabs.
constexpr NamedKey NAMED_KEYS[] = {
    {"Escape", SDLK_ESCAPE}, {"Enter", SDLK_RETURN},      {"NumpadEnter", SDLK_KP_ENTER},
    {"Numpad0", SDLK_KP0},   {"Numpad1", SDLK_KP1},       {"Numpad2", SDLK_KP2},
    {"Numpad3", SDLK_KP3},   {"Numpad4", SDLK_KP4},       {"Numpad5", SDLK_KP5},
    {"Numpad6", SDLK_KP6},   {"Numpad7", SDLK_KP7},       {"Numpad8", SDLK_KP8},
    {"Numpad9", SDLK_KP9},   {"NumpadAdd", SDLK_KP_PLUS}, {"NumpadSubtract", SDLK_KP_MINUS},
    {"PageUp", SDLK_PAGEUP}, {"PageDown", SDLK_PAGEDOWN}, {"Home", SDLK_PAGEUP},
    {"End", SDLK_PAGEDOWN},  {"ArrowLeft", SDLK_LEFT},    {"ArrowRight", SDLK_RIGHT},
    {"ArrowUp", SDLK_UP},    {"ArrowDown", SDLK_DOWN},
};

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
    keys.modifiers = static_cast<SDLMod>((shift ? KMOD_LSHIFT : 0) | (ctrl ? KMOD_LCTRL : 0));
    const SDLKey symbol = browser_key_symbol(code, key);
    if (symbol == SDLK_UNKNOWN) {
        return false;
    }
    keys.down[symbol] = down ? 1 : 0;
    return true;
}
