#include "app/synthesis_state.h"

#include "draw/pixel.h"

namespace {

constexpr double START_ZOOM = 150.0;
constexpr double START_Y_SCALE = 1.0;
constexpr int START_ACTIVE_COUNT = 10;

void reset_slots(SynthesisState &state) {
    state.shift.fill(0.0);
    state.shift_speed.fill(0.0);
    state.scale.fill(1.0);
}

struct Rgb {
    Uint8 red, green, blue; // 0..255 each
};

// Slot i's colour: red to yellow, green, cyan, blue and magenta, ten steps a stretch.
Rgb ramp_color(int i) {
    const int f = i % 10;
    const auto up = static_cast<Uint8>(static_cast<int>(f * 25.5));
    const auto down = static_cast<Uint8>(static_cast<int>(255.0 - f * 25.5));
    switch (i / 10) {
    case 0:
        return {255, up, 0};
    case 1:
        return {down, 255, 0};
    case 2:
        return {0, 255, up};
    case 3:
        return {0, down, 255};
    default:
        return {up, 0, 255};
    }
}

} // namespace

SynthesisState init_synthesis_state(const SDL_PixelFormat &format,
                                    const HarmonicNumbers &harmonic) {
    SynthesisState state{};
    state.harmonic = harmonic;
    state.latches = KeyLatches{};
    state.frame_counter = 0;
    reset_slots(state);

    state.y_scale = START_Y_SCALE;
    state.zoom = START_ZOOM;
    state.active_count = START_ACTIVE_COUNT;
    state.selected = 0;
    state.show_numbers = 1;
    state.clear_screen = 0;
    state.thick_curve = 0;
    state.sound_on = 0;
    state.line_mode = 0;

    state.axis_color = SDL_MapRGB(&format, 128, 128, 128);
    state.sum_color = SDL_MapRGB(&format, 255, 255, 255);
    build_harmonic_colors(state, format);
    return state;
}

void build_harmonic_colors(SynthesisState &state, const SDL_PixelFormat &format) {
    for (int i = 0; i < HARMONIC_SLOTS; i++) {
        const Rgb c = ramp_color(i);
        state.harmonic_color[i] = SDL_MapRGB(&format, c.red, c.green, c.blue);
    }
}

void reset_synthesis_state(SynthesisState &state, SDL_Surface &surface) {
    reset_slots(state);
    state.y_scale = START_Y_SCALE;
    state.zoom = START_ZOOM;
    clear_surface(surface); // before the frame's lock, so it locks for itself
    state.active_count = START_ACTIVE_COUNT;
}

void advance_shifts(SynthesisState &state) {
    for (int i = 0; i < HARMONIC_SLOTS; i++) {
        state.shift[i] = state.shift[i] + state.shift_speed[i];
    }
}
