// One frame of the viewer, the same for every platform: keys, shifts, drawing, sound, show.
#pragma once

#include "app/synthesis_state.h"

#include <SDL.h>

// How a frame ended.
enum class FrameEnd {
    shown,       // drawn and shown; the next frame may follow
    escape,      // Escape was down: nothing applied, drawn or shown
    lock_failed, // the surface could not be locked: message printed, nothing drawn
};

// Runs one frame on this frame's key state and modifier mask, as SDL_GetKeyState and
// SDL_GetModState give them: Escape, keyboard, shifts, lock, plot, overlay, frame count and
// sound refresh, unlock, show. A frame whose picture the surface already shows draws nothing.
FrameEnd run_frame(SDL_Surface &surface, SynthesisState &state, const Uint8 *keys,
                   SDLMod modifiers);
