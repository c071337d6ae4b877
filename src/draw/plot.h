// The waveform plot: tick marks, every term in use and their sum.
#pragma once

#include "app/sine_inputs.h"
#include "app/synthesis_state.h"

#include <SDL.h>

#include <array>

constexpr int CACHED_COLUMNS = 1024; // columns 0..1023: surfaces up to this wide keep sines

// The column sines of earlier frames, reused while their inputs stay the same. All zero (as a
// new record is): nothing kept.
struct PlotCache {
    // sin(k * x / zoom - shift) of slot i at column x, as the plot forms the argument
    std::array<std::array<double, HARMONIC_SLOTS>, CACHED_COLUMNS> column_sine;
    std::array<SineInputs, HARMONIC_SLOTS> column_inputs; // what each slot's columns hold
};

// Draws one frame's plot into the locked surface; writes term, the line-mode rows and, where
// the surface fits, the column sines it made into kept.
void draw_plot(SDL_Surface &surface, SynthesisState &state, PlotCache &kept);
