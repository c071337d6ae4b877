// The value overlay with every slot in use, against a plot of the same 50 slots.
#include "draw/draw.h"

#include <benchmark/benchmark.h>

#include <chrono>

namespace {

constexpr int SURFACE_WIDTH = 1024;
constexpr int SURFACE_HEIGHT = 768;

struct OverlayBench {
    SDL_Surface *surface;
    SynthesisState state;
};

// Preset a with all 50 slots in use; values of every length the texts can take.
OverlayBench make_bench() {
    SDL_Surface *surface =
        SDL_CreateRGBSurface(SDL_SWSURFACE, SURFACE_WIDTH, SURFACE_HEIGHT, 32, 0, 0, 0, 0);
    HarmonicNumbers harmonic{};
    for (int i = 0; i < HARMONIC_SLOTS; ++i) {
        harmonic[i] = 2 * i + 1;
    }
    OverlayBench bench{surface, init_synthesis_state(*surface->format, harmonic)};
    bench.state.active_count = HARMONIC_SLOTS;
    for (int i = 0; i < HARMONIC_SLOTS; ++i) {
        bench.state.scale[i] = 1.0 - 0.37 * i;
        bench.state.shift_speed[i] = 0.01 * i;
        bench.state.shift[i] = 0.1 * i;
    }
    return bench;
}

void draw_overlay(OverlayBench &bench) {
    const SynthesisState &s = bench.state;
    draw_value_overlay(*bench.surface, s.y_scale, s.zoom, s.active_count, s.selected, s.scale,
                       s.shift_speed);
}

void BM_DrawValueOverlay50Slots(benchmark::State &state) {
    OverlayBench bench = make_bench();
    for (auto _ : state) {
        draw_overlay(bench);
        benchmark::ClobberMemory();
    }
    SDL_FreeSurface(bench.surface);
}
BENCHMARK(BM_DrawValueOverlay50Slots);

void BM_DrawPlot50SlotsBaseline(benchmark::State &state) {
    OverlayBench bench = make_bench();
    for (auto _ : state) {
        draw_plot(*bench.surface, bench.state);
        benchmark::ClobberMemory();
    }
    SDL_FreeSurface(bench.surface);
}
BENCHMARK(BM_DrawPlot50SlotsBaseline);

// Both in one loop, as in a frame; reports the overlay's time as a share of the plot's.
void BM_OverlayShareOfPlot(benchmark::State &state) {
    using Clock = std::chrono::steady_clock;
    OverlayBench bench = make_bench();
    Clock::duration plot{}, overlay{};
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        draw_plot(*bench.surface, bench.state);
        benchmark::ClobberMemory();
        const Clock::time_point middle = Clock::now();
        draw_overlay(bench);
        benchmark::ClobberMemory();
        plot += middle - start;
        overlay += Clock::now() - middle;
    }
    state.counters["overlay_percent_of_plot"] = 100.0 *
                                                std::chrono::duration<double>(overlay).count() /
                                                std::chrono::duration<double>(plot).count();
    SDL_FreeSurface(bench.surface);
}
BENCHMARK(BM_OverlayShareOfPlot);

} // namespace
