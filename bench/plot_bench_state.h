// The state the drawing benchmarks share: preset a on a 1024 x 768 surface, 50 slots in use.
#pragma once

#include "app/frame_cache.h"
#include "app/synthesis_state.h"

#include <SDL.h>

#include <memory>

struct PlotBench {
    SDL_Surface *surface;              // 32 bits per pixel, freed by the benchmark
    SynthesisState state;              // all 50 slots in use, shifts spread so the curves cross
    std::unique_ptr<FrameCache> cache; // nothing kept yet
};

inline PlotBench make_plot_bench() {
    SDL_Surface *surface =
        SDL_CreateRGBSurface(SDL_SWSURFACE, 1024, 768, 32, 0xFF0000, 0x00FF00, 0x0000FF, 0);
    HarmonicNumbers harmonic{};
    for (int i = 0; i < HARMONIC_SLOTS; i++) {
        harmonic[i] = 2 * i + 1;
    }
    SynthesisState state = init_synthesis_state(*surface->format, harmonic);
    state.active_count = HARMONIC_SLOTS;
    for (int i = 0; i < HARMONIC_SLOTS; i++) {
        state.shift[i] = 0.1 * i;
    }
    return {surface, state, std::make_unique<FrameCache>()};
}
