// The plot against its floor: the same 1023 x 50 sines with the same arguments, bare.
#include "draw/plot.h"

#include <benchmark/benchmark.h>

#include <cmath>

namespace {

constexpr int PLOT_WIDTH = 1024;
constexpr int PLOT_HEIGHT = 768;

struct PlotBench {
    SDL_Surface *surface;
    SynthesisState state;
};

// Preset a, all 50 slots in use, shifts spread so the curves cross.
PlotBench make_bench(int line_mode, int thick_curve) {
    SDL_Surface *surface = SDL_CreateRGBSurface(SDL_SWSURFACE, PLOT_WIDTH, PLOT_HEIGHT, 32,
                                                0xFF0000, 0x00FF00, 0x0000FF, 0);
    HarmonicNumbers harmonic{};
    for (int i = 0; i < HARMONIC_SLOTS; i++) {
        harmonic[i] = 2 * i + 1;
    }
    SynthesisState state = init_synthesis_state(*surface->format, harmonic);
    state.active_count = HARMONIC_SLOTS;
    state.line_mode = line_mode;
    state.thick_curve = thick_curve;
    for (int i = 0; i < HARMONIC_SLOTS; i++) {
        state.shift[i] = 0.1 * i;
    }
    return {surface, state};
}

void BM_PlotSineFloor(benchmark::State &run) {
    const PlotBench bench = make_bench(0, 0);
    const SynthesisState &state = bench.state;
    for (auto _ : run) {
        double total = 0.0;
        for (int x = 1; x < PLOT_WIDTH; x++) {
            const double reciprocal = 1.0 / state.zoom;
            for (int i = 0; i < state.active_count; i++) {
                const auto kx = static_cast<double>(state.harmonic[i] * x);
                total += std::sin(kx * reciprocal - state.shift[i]);
            }
        }
        benchmark::DoNotOptimize(total);
    }
    SDL_FreeSurface(bench.surface);
}

void BM_DrawPlot(benchmark::State &run, int line_mode, int thick_curve) {
    PlotBench bench = make_bench(line_mode, thick_curve);
    for (auto _ : run) {
        draw_plot(*bench.surface, bench.state);
        benchmark::ClobberMemory();
    }
    SDL_FreeSurface(bench.surface);
}

} // namespace

BENCHMARK(BM_PlotSineFloor)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_DrawPlot, points, 0, 0)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_DrawPlot, lines_thick, 1, 1)->Unit(benchmark::kMicrosecond);
