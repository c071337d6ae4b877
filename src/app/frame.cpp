#include "app/frame.h"

#include "app/keyboard.h"
#include "draw/draw.h"
#include "sound/sound.h"

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cstring>

namespace {

// The inputs of the picture this state draws on this surface, as it is before the lock. A
// field cleared here must be one no pixel depends on: a test changes every other one.
void picture_inputs(const SDL_Surface &surface, const SynthesisState &state, PictureInputs &in) {
    static_assert(offsetof(PictureInputs, surface) == sizeof in.state); // no padding between
    std::memcpy(&in.state, &state, sizeof state);   // the state's padding as the state has it
    std::memset(&in.surface, 0, sizeof in.surface); // its padding, for the byte comparison
    SynthesisState &s = in.state;
    s.term = {}; // scratch: every frame writes these before it reads them
    s.last_y = {};
    s.last_sum_y = s.last_upper_y = s.last_lower_y = 0;
    s.frame_counter = 0; // counted, never shown
    s.sound_on = 0;      // plays the loop, never shown
    s.latches = {};      // read by the keys alone, which act through the other fields
    for (int i = std::clamp(state.active_count, 0, HARMONIC_SLOTS); i < HARMONIC_SLOTS; i++) {
        s.harmonic[i] = 0; // slots not in use are neither drawn nor shown
        s.scale[i] = s.shift[i] = s.shift_speed[i] = 0.0;
        s.harmonic_color[i] = 0;
    }
    in.surface.surface = &surface;
    in.surface.pixels = surface.pixels;
    in.surface.format = surface.format;
    in.surface.flags = surface.flags;
    in.surface.w = surface.w;
    in.surface.h = surface.h;
    in.surface.pitch = surface.pitch;
    in.surface.bytes_per_pixel = surface.format->BytesPerPixel;
}

void draw_frame(SDL_Surface &surface, SynthesisState &state, FrameCache &cache,
                const PictureInputs &picture) {
    draw_plot(surface, state, cache.plot);
    if (state.show_numbers == 1) {
        draw_value_overlay(surface, state.y_scale, state.zoom, state.active_count, state.selected,
                           state.scale, state.shift_speed);
    }
    std::memcpy(&cache.picture, &picture, sizeof picture); // padding too
    cache.picture_drawn = 1;
}

void count_frame_and_refresh_sound(SynthesisState &state, LoopCache &kept) {
    state.frame_counter += 1;
    if (state.sound_on == 1 && state.frame_counter % SOUND_REFRESH_INTERVAL == 0) {
        synthesize_sound_loop(state, kept);
    }
}

} // namespace

void forget_kept_work(FrameCache &cache) {
    std::memset(&cache, 0, sizeof cache);
}

FrameEnd run_frame(SDL_Surface &surface, SynthesisState &state, FrameCache &cache,
                   const Uint8 *keys, SDLMod modifiers, StillFrame still) {
    if (keys[SDLK_ESCAPE] == 1) {
        return FrameEnd::escape;
    }
    const int reset_latch = state.latches.reset_latch;
    apply_keyboard(state, keys, modifiers, surface);
    if (state.latches.reset_latch > reset_latch) {
        cache.picture_drawn = 0; // r's latch rose: the reset acted and cleared the surface
    }
    advance_shifts(state);

    // Drawing the same inputs over their own picture would change no pixel.
    PictureInputs picture;
    picture_inputs(surface, state, picture);
    const bool changed =
        cache.picture_drawn == 0 || std::memcmp(&picture, &cache.picture, sizeof picture) != 0;
    if (!changed && still == StillFrame::skip) {
        count_frame_and_refresh_sound(state, cache.loop);
        return FrameEnd::shown;
    }
    if (surface_must_lock(surface) && SDL_LockSurface(&surface) < 0) {
        std::fprintf(stderr, "Can't lock screen: %s\n", SDL_GetError());
        return FrameEnd::lock_failed;
    }
    if (changed) {
        draw_frame(surface, state, cache, picture);
    }
    count_frame_and_refresh_sound(state, cache.loop);
    if (surface_must_lock(surface)) {
        SDL_UnlockSurface(&surface);
    }
    SDL_UpdateRect(&surface, 0, 0, 0, 0);
    return FrameEnd::shown;
}
