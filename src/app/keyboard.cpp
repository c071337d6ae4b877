#include "app/keyboard.h"

#include "sound/sound.h"

namespace {

constexpr int SHIFT_MASK = KMOD_LSHIFT | KMOD_RSHIFT; // 0x0003
constexpr int CTRL_MASK = KMOD_LCTRL | KMOD_RCTRL;    // 0x00C0
constexpr double FINE_STEP = 0.01;
constexpr int LAST_SLOT = HARMONIC_SLOTS - 1;

// By name: some SDLs do not number the keypad digits consecutively.
constexpr SDLKey KEYPAD_DIGITS[] = {SDLK_KP0, SDLK_KP1, SDLK_KP2, SDLK_KP3, SDLK_KP4,
                                    SDLK_KP5, SDLK_KP6, SDLK_KP7, SDLK_KP8, SDLK_KP9};

bool key_down(const Uint8 *keys, SDLKey key) {
    return keys[key] == 1;
}

// True once per press: the latch remembers the key was already seen down.
bool pressed(const Uint8 *keys, SDLKey key, int &latch) {
    if (!key_down(keys, key)) {
        latch = 0;
        return false;
    }
    if (latch == 1) {
        return false;
    }
    latch = 1;
    return true;
}

int toggled(int value) {
    return value == 0 ? 1 : 0;
}

// Greater than 0 -> off, exactly 0 -> inverted, below 0 -> back on.
double cycled_scale(double scale) {
    if (scale > 0.0) {
        return 0.0;
    }
    if (scale == 0.0) {
        return -1.0;
    }
    return 1.0;
}

void apply_toggle_keys(SynthesisState &state, const Uint8 *keys, SDL_Surface &surface) {
    KeyLatches &latch = state.latches;
    if (pressed(keys, SDLK_c, latch.clear_latch)) {
        state.clear_screen = toggled(state.clear_screen);
    }
    if (pressed(keys, SDLK_d, latch.thick_latch)) {
        state.thick_curve = toggled(state.thick_curve);
    }
    if (pressed(keys, SDLK_l, latch.line_latch)) {
        state.line_mode = toggled(state.line_mode);
    }
    if (pressed(keys, SDLK_r, latch.reset_latch)) {
        reset_synthesis_state(state, surface);
    }
    if (pressed(keys, SDLK_s, latch.sound_latch)) {
        state.sound_on = toggled(state.sound_on);
        if (state.sound_on == 1) {
            open_sound_output();
        } else {
            close_sound_output();
        }
    }
    if (pressed(keys, SDLK_y, latch.numbers_latch)) {
        state.show_numbers = toggled(state.show_numbers);
    }
}

// Ascending scan, so the highest digit held wins.
void apply_slot_digits(SynthesisState &state, const Uint8 *keys, bool shift) {
    const int base = shift ? 10 : 0;
    for (int digit = 0; digit <= 9; digit++) {
        if (key_down(keys, KEYPAD_DIGITS[digit])) {
            state.selected = base + digit;
        }
    }
}

void apply_scale_edits(SynthesisState &state, const Uint8 *keys, double edit_step) {
    const double fine = edit_step * FINE_STEP;
    if (key_down(keys, SDLK_PAGEUP)) {
        state.y_scale += fine;
    }
    if (key_down(keys, SDLK_PAGEDOWN)) {
        state.y_scale -= fine;
    }
    if (key_down(keys, SDLK_KP_PLUS)) {
        state.scale[state.selected] += fine;
    }
    if (key_down(keys, SDLK_KP_MINUS)) {
        state.scale[state.selected] -= fine;
    }
    if (pressed(keys, SDLK_KP_ENTER, state.latches.enter_latch)) {
        state.scale[state.selected] = cycled_scale(state.scale[state.selected]);
    }
}

void apply_speed_edits(SynthesisState &state, const Uint8 *keys, double edit_step) {
    const double fine = edit_step * FINE_STEP;
    if (key_down(keys, SDLK_PAGEUP)) {
        state.zoom += edit_step;
    }
    if (key_down(keys, SDLK_PAGEDOWN)) {
        state.zoom -= edit_step;
    }
    if (key_down(keys, SDLK_KP_PLUS)) {
        state.shift_speed[state.selected] += fine;
    }
    if (key_down(keys, SDLK_KP_MINUS)) {
        state.shift_speed[state.selected] -= fine;
    }
    // Shares enter_latch with the plain meaning: pressing Ctrl on a held Enter does nothing.
    if (pressed(keys, SDLK_KP_ENTER, state.latches.enter_latch)) {
        state.shift_speed[state.selected] = 0.0;
    }
}

void apply_selection_cursor(SynthesisState &state, const Uint8 *keys) {
    KeyLatches &latch = state.latches;
    if (pressed(keys, SDLK_LEFT, latch.select_down_latch) && state.selected > 0) {
        state.selected -= 1;
    }
    if (pressed(keys, SDLK_RIGHT, latch.select_up_latch) && state.selected < LAST_SLOT) {
        state.selected += 1;
    }
    if (key_down(keys, SDLK_UP)) {
        state.scale[state.selected] = 1.0;
    }
    if (key_down(keys, SDLK_DOWN)) {
        state.scale[state.selected] = 0.0;
    }
}

void apply_count_cursor(SynthesisState &state, const Uint8 *keys) {
    KeyLatches &latch = state.latches;
    if (pressed(keys, SDLK_LEFT, latch.count_down_latch) && state.active_count > 0) {
        state.active_count -= 1;
    }
    if (pressed(keys, SDLK_RIGHT, latch.count_up_latch) && state.active_count < HARMONIC_SLOTS) {
        state.active_count += 1;
    }
    if (pressed(keys, SDLK_UP, latch.count_up10_latch) &&
        state.active_count <= HARMONIC_SLOTS - 10) {
        state.active_count += 10;
    }
    if (pressed(keys, SDLK_DOWN, latch.count_down10_latch) && state.active_count >= 10) {
        state.active_count -= 10;
    }
}

} // namespace

void apply_keyboard(SynthesisState &state, const Uint8 *keys, SDLMod modifiers,
                    SDL_Surface &surface) {
    const bool shift = (modifiers & SHIFT_MASK) != 0;
    const bool ctrl = (modifiers & CTRL_MASK) != 0;
    const double edit_step = shift ? 10.0 : 1.0;

    apply_toggle_keys(state, keys, surface);
    apply_slot_digits(state, keys, shift);
    if (ctrl) {
        apply_speed_edits(state, keys, edit_step);
        apply_count_cursor(state, keys);
    } else {
        apply_scale_edits(state, keys, edit_step);
        apply_selection_cursor(state, keys);
    }
}
