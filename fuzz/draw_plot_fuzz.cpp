// Arbitrary state values through the plot and the overlay on surfaces of every depth.
#include "app/synthesis_state.h"
#include "draw/draw.h"
#include "fuzz_input.h"
#include "surface_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    FuzzInput in{data, size};
    SDL_Surface *surface = take_surface(in, true);
    if (surface == nullptr) {
        return 0;
    }
    HarmonicNumbers harmonic{};
    for (int &k : harmonic) {
        k = take_int(in, 0, 100);
    }
    SynthesisState state = init_synthesis_state(*surface->format, harmonic);
    state.zoom = take_double(in);
    state.y_scale = take_double(in);
    state.active_count = take_int(in, 0, HARMONIC_SLOTS);
    state.selected = take_int(in, 0, HARMONIC_SLOTS - 1);
    state.clear_screen = take_int(in, 0, 1);
    state.thick_curve = take_int(in, 0, 1);
    state.line_mode = take_int(in, 0, 1);
    for (int i = 0; i < HARMONIC_SLOTS && in.size > 0; i++) {
        state.scale[i] = take_double(in);
        state.shift[i] = take_double(in);
        state.shift_speed[i] = take_double(in);
    }
    draw_plot(*surface, state);
    draw_value_overlay(*surface, state.y_scale, state.zoom, state.active_count, state.selected,
                       state.scale, state.shift_speed);
    SDL_FreeSurface(surface);
    return 0;
}
