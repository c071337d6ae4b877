#include "app/frame.h"

#include "app/keyboard.h"
#include "draw/draw.h"
#include "sound/sound.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

// Everything the plot and the overlay read, and the surface they draw into, as it is before
// the lock.
PictureInputs picture_inputs(const SDL_Surface &surface, const SynthesisState &state) {
    PictureInputs in;
    std::memset(&in, 0, sizeof in); // padding too, for the byte comparison
    const int count = std::clamp(state.active_count, 0, HARMONIC_SLOTS);
    for (int i = 0; i < count; i++) {
        in.scale[i] = state.scale[i];
        in.shift[i] = state.shift[i];
        in.shift_speed[i] = state.shift_speed[i];
        in.harmonic_color[i] = state.harmonic_color[i];
        in.harmonic[i] = state.harmonic[i];
    }
    in.zoom = state.zoom;
    in.y_scale = state.y_scale;
    in.surface = &surface;
    in.pixels = surface.pixels;
    in.format = surface.format;
    in.flags = surface.flags;
    in.axis_color = state.axis_color;
    in.sum_color = state.sum_color;
    in.w = surface.w;
    in.h = surface.h;
    in.pitch = surface.pitch;
    in.bytes_per_pixel = surface.format->BytesPerPixel;
    in.active_count = state.active_count;
    in.selected = state.selected;
    in.show_numbers = state.show_numbers;
    in.clear_screen = state.clear_screen;
    in.thick_curve = state.thick_curve;
    in.line_mode = state.line_mode;
    return in;
}

// Whether the surface may no longer show the picture of these inputs.
bool picture_changed(const SynthesisState &state, const PictureInputs &picture) {
    const FrameCache &cache = state.cache;
    return cache.recompute_all != 0 || cache.picture_drawn == 0 ||
           std::memcmp(&picture, &cache.picture, sizeof picture) != 0;
}

void draw_frame(SDL_Surface &surface, SynthesisState &state, const PictureInputs &picture) {
    draw_plot(surface, state);
    if (state.show_numbers == 1) {
        draw_value_overlay(surface, state.y_scale, state.zoom, state.active_count, state.selected,
                           state.scale, state.shift_speed);
    }
    state.cache.picture = picture;
    state.cache.picture_drawn = 1;
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

    // Drawing the same inputs over their own picture would change no pixel.
    const PictureInputs picture = picture_inputs(surface, state);
    const bool changed = picture_changed(state, picture);
    if (!changed && state.cache.skip_unchanged_show != 0) {
        count_frame_and_refresh_sound(state);
        return FrameEnd::shown;
    }
    if (surface_must_lock(surface) && SDL_LockSurface(&surface) < 0) {
        std::fprintf(stderr, "Can't lock screen: %s\n", SDL_GetError());
        return FrameEnd::lock_failed;
    }
    if (changed) {
        draw_frame(surface, state, picture);
    }
    count_frame_and_refresh_sound(state);
    if (surface_must_lock(surface)) {
        SDL_UnlockSurface(&surface);
    }
    SDL_UpdateRect(&surface, 0, 0, 0, 0);
    return FrameEnd::shown;
}
