#include "frame_loop.h"

#include "../draw/draw.h"
#include "../sound/sound.h"
#include "keyboard.h"

#include <cstdio>
#include <cstdlib>

namespace {

constexpr Uint32 MUST_LOCK_FLAGS = SDL_HWSURFACE | SDL_ASYNCBLIT | SDL_RLEACCEL;

// Drains the queue; a quit request ends the process at once.
void poll_events() {
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        if (event.type == SDL_QUIT) {
            std::exit(0);
        }
    }
}

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

bool surface_must_lock(const SDL_Surface &surface) {
    return surface.offset != 0 || (surface.flags & MUST_LOCK_FLAGS) != 0;
}

int run_frame_loop(SDL_Surface &surface, const HarmonicNumbers &harmonic) {
    SynthesisState state = init_synthesis_state(*surface.format, harmonic);
    for (;;) {
        poll_events();
        const Uint8 *keys = SDL_GetKeyState(nullptr);
        const SDLMod modifiers = SDL_GetModState();
        if (keys[SDLK_ESCAPE] == 1) {
            return 0;
        }
        apply_keyboard(state, keys, modifiers, surface);
        advance_shifts(state);

        if (surface_must_lock(surface) && SDL_LockSurface(&surface) < 0) {
            std::fprintf(stderr, "Can't lock screen: %s\n", SDL_GetError());
            return 1;
        }
        draw_frame(surface, state);
        count_frame_and_refresh_sound(state);
        if (surface_must_lock(surface)) {
            SDL_UnlockSurface(&surface);
        }
        SDL_UpdateRect(&surface, 0, 0, 0, 0);
    }
}
