// The waveform plot: tick marks, every term in use and their sum.
#pragma once

#include "app/synthesis_state.h"

#include <SDL.h>

// Draws one frame's plot into the locked surface; writes term, the line-mode rows and the
// kept column sines.
void draw_plot(SDL_Surface &surface, SynthesisState &state);
