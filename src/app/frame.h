// One frame of the viewer, the same for every platform: keys, shifts, drawing, sound, show.
#pragma once

#include "app/frame_cache.h"
#include "app/synthesis_state.h"

#include <SDL.h>

// How a frame ended.
enum class FrameEnd {
    shown,       // drawn and shown; the next frame may follow
    escape,      // Escape was down: nothing applied, drawn or shown
    lock_failed, // the surface could not be locked: message printed, nothing drawn
};

// What a frame does when the surface already shows its picture.
enum class StillFrame {
    show, // locks and shows the surface all the same, as every frame of the program does
    skip, // neither locks nor shows it: the page, where showing copies the whole surface
};

// Runs one frame on this frame's key state and modifier mask, as SDL_GetKeyState and
// SDL_GetModState give them: Escape, keyboard, shifts, lock, plot, overlay, frame count and
// sound refresh, unlock, show. Reuses what cache kept of earlier frames and keeps this one's;
// a frame whose picture the surface already shows draws nothing.
FrameEnd run_frame(SDL_Surface &surface, SynthesisState &state, FrameCache &cache,
                   const Uint8 *keys, SDLMod modifiers, StillFrame still);
