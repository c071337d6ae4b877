#include "app/frame.h"

#include "app/keyboard.h"
#include "draw/draw.h"
#include "sound/sound.h"

#include <cstdio>

namespace {

void draw_frame(SDL_Surface &surface, SynthesisState &state) {
    draw_plot(surface, state);
    if (state.show_numbers == 1) {
        draw_value_overlay(surface, state.y_scale, state.zoom, state.active_count, state.selected,
                           state.scale, state.shift_speed);
    }
}

void count_frame_and_refresh_sound(SynthesisState &state) {
    state.frame_counter += 1;
    if (state.sound_on == 1 && state.frame_counter % SOUND_REFRESH_INTERVAL == 0) {
        synthesize_sound_loop(state);
    }
}

} // namespace

FrameEnd run_frame(SDL_Surface &surface, SynthesisState &state, const Uint8 *keys,
                   SDLMod modifiers) {
    if (keys[SDLK_ESCAPE] == 1) {
        return FrameEnd::escape;
    }
    apply_keyboard(state, keys, modifiers, surface);
    advance_shifts(state);

    if (surface_must_lock(surface) && SDL_LockSurface(&surface) < 0) {
        std::fprintf(stderr, "Can't lock screen: %s\n", SDL_GetError());
        return FrameEnd::lock_failed;
    }
    draw_frame(surface, state);
    count_frame_and_refresh_sound(state);
    if (surface_must_lock(surface)) {
        SDL_UnlockSurface(&surface);
    }
    SDL_UpdateRect(&surface, 0, 0, 0, 0);
    return FrameEnd::shown;
}
