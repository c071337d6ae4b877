// The waveform plot: tick marks, every term in use and their sum.
#pragma once

#include "app/synthesis_state.h"

#include <SDL.h>

// Draws one frame's plot into the locked surface; writes term and the line-mode rows.
void draw_plot(SDL_Surface &surface, SynthesisState &state);
