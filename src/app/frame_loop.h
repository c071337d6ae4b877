// The native frame loop: events, then one frame, back to back, with no delay.
#pragma once

#include "app/synthesis_state.h"

#include <SDL.h>

// Runs frames until Escape (returns 0) or a lock failure (returns 1); a quit event exits 0.
int run_frame_loop(SDL_Surface &surface, const HarmonicNumbers &harmonic);
