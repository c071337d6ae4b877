#include "web/page_buttons.h"

#include <cstring>

namespace {

// The buttons that show a toggle of the state, with their key.
struct ToggleButton {
    SDLKey symbol;
    int SynthesisState::*toggle;
};

constexpr ToggleButton TOGGLE_BUTTONS[] = {
    {SDLK_c, &SynthesisState::clear_screen}, {SDLK_d, &SynthesisState::thick_curve},
    {SDLK_l, &SynthesisState::line_mode},    {SDLK_s, &SynthesisState::sound_on},
    {SDLK_y, &SynthesisState::show_numbers},
};
static_assert(std::size(TOGGLE_BUTTONS) == std::tuple_size_v<ShownToggles>);

SDLMod latch_of(SDLKey symbol) {
    return symbol == SDLK_LSHIFT ? KMOD_LSHIFT : symbol == SDLK_LCTRL ? KMOD_LCTRL : KMOD_NONE;
}

PointerHold *find_pointer(PageButtons &buttons, int pointer) {
    for (PointerHold &hold : buttons.pointers) {
        if (hold.symbol != SDLK_UNKNOWN && hold.pointer == pointer) {
            return &hold;
        }
    }
    return nullptr;
}

void press(PageButtons &buttons, BrowserKeys &keys, SDLKey symbol) {
    buttons.changes += 1;
    const SDLMod latch = latch_of(symbol);
    if (latch != KMOD_NONE) {
        toggle_latch(keys, latch);
        return;
    }
    if (buttons.holders[symbol]++ > 0) {
        return;
    }
    buttons.letting_go[symbol] = 0; // held again before its frame: simply stays down
    buttons.unseen[symbol] = 1;
    buttons.waiting = 1;
    note_button_key(keys, symbol, true);
}

void release(PageButtons &buttons, BrowserKeys &keys, SDLKey symbol) {
    if (latch_of(symbol) != KMOD_NONE || buttons.holders[symbol] == 0 ||
        --buttons.holders[symbol] > 0) {
        return;
    }
    buttons.changes += 1;
    if (buttons.unseen[symbol] != 0) {
        buttons.letting_go[symbol] = 1; // a tap is held for at least one frame
        return;
    }
    note_button_key(keys, symbol, false);
}

} // namespace

SDLKey button_symbol(const char *code, const char *key) {
    if (std::strcmp(code, "ShiftLeft") == 0) {
        return SDLK_LSHIFT;
    }
    if (std::strcmp(code, "ControlLeft") == 0) {
        return SDLK_LCTRL;
    }
    return browser_key_symbol(code, key);
}

void pointer_down(PageButtons &buttons, BrowserKeys &keys, int pointer, SDLKey symbol, bool delayed,
                  double now_ms) {
    if (symbol <= SDLK_UNKNOWN || symbol >= SDLK_LAST || find_pointer(buttons, pointer)) {
        return;
    }
    for (PointerHold &hold : buttons.pointers) {
        if (hold.symbol == SDLK_UNKNOWN) {
            hold = PointerHold{pointer, symbol, now_ms, !delayed};
            if (!delayed) {
                press(buttons, keys, symbol);
            }
            return;
        }
    }
}

void pointer_up(PageButtons &buttons, BrowserKeys &keys, int pointer) {
    PointerHold *hold = find_pointer(buttons, pointer);
    if (hold == nullptr) {
        return;
    }
    if (!hold->pressing) {
        press(buttons, keys, hold->symbol); // a tap
    }
    release(buttons, keys, hold->symbol);
    hold->symbol = SDLK_UNKNOWN;
}

void pointer_cancel(PageButtons &buttons, BrowserKeys &keys, int pointer) {
    PointerHold *hold = find_pointer(buttons, pointer);
    if (hold == nullptr) {
        return;
    }
    if (hold->pressing) {
        release(buttons, keys, hold->symbol);
    }
    hold->symbol = SDLK_UNKNOWN;
}

void pointer_over(PageButtons &buttons, BrowserKeys &keys, int pointer, SDLKey symbol) {
    const PointerHold *hold = find_pointer(buttons, pointer);
    if (hold != nullptr && hold->symbol != symbol) {
        pointer_cancel(buttons, keys, pointer);
    }
}

void tap_button(PageButtons &buttons, BrowserKeys &keys, SDLKey symbol) {
    if (symbol <= SDLK_UNKNOWN || symbol >= SDLK_LAST) {
        return;
    }
    press(buttons, keys, symbol);
    release(buttons, keys, symbol);
}

void press_stayed_touches(PageButtons &buttons, BrowserKeys &keys, double now_ms) {
    for (PointerHold &hold : buttons.pointers) {
        if (hold.symbol != SDLK_UNKNOWN && !hold.pressing &&
            now_ms - hold.down_ms >= TOUCH_PRESS_MS) {
            hold.pressing = true;
            press(buttons, keys, hold.symbol);
        }
    }
}

void finish_frame(PageButtons &buttons, BrowserKeys &keys) {
    if (buttons.waiting == 0) {
        return;
    }
    for (int symbol = 0; symbol < SDLK_LAST; symbol++) {
        if (buttons.letting_go[symbol] != 0) {
            note_button_key(keys, static_cast<SDLKey>(symbol), false);
        }
    }
    buttons.unseen = {};
    buttons.letting_go = {};
    buttons.waiting = 0;
}

void let_go_of_buttons(PageButtons &buttons, BrowserKeys &keys) {
    for (int symbol = 0; symbol < SDLK_LAST; symbol++) {
        if (buttons.holders[symbol] != 0 || buttons.letting_go[symbol] != 0) {
            note_button_key(keys, static_cast<SDLKey>(symbol), false);
        }
    }
    const int changes = buttons.changes;
    buttons = PageButtons{};
    buttons.changes = changes + 1;
}

bool button_held(const PageButtons &buttons, SDLKey symbol) {
    return symbol > SDLK_UNKNOWN && symbol < SDLK_LAST && buttons.holders[symbol] != 0;
}

int button_on(const BrowserKeys &keys, const SynthesisState &state, SDLKey symbol) {
    const SDLMod latch = latch_of(symbol);
    if (latch != KMOD_NONE) {
        return (keys.latched & latch) != 0 ? 1 : 0;
    }
    for (const ToggleButton &button : TOGGLE_BUTTONS) {
        if (button.symbol == symbol) {
            return state.*button.toggle;
        }
    }
    return -1;
}

ShownToggles shown_toggles(const SynthesisState &state) {
    ShownToggles toggles{};
    for (std::size_t i = 0; i < toggles.size(); i++) {
        toggles[i] = state.*TOGGLE_BUTTONS[i].toggle;
    }
    return toggles;
}
