// The frame loop: events, keys, shifts, drawing, sound refresh and show, back to back.
#pragma once

#include "synthesis_state.h"

#include <SDL.h>

// Returns whether SDL requires the surface to be locked before its pixels are touched.
bool surface_must_lock(const SDL_Surface &surface);

// Runs frames until Escape (returns 0) or a lock failure (returns 1); a quit event exits 0.
int run_frame_loop(SDL_Surface &surface, const HarmonicNumbers &harmonic);
