// The value overlay with every slot in use, and its share of a plot of the same 50 slots.
#include "draw/draw.h"
#include "plot_bench_state.h"

#include <benchmark/benchmark.h>

#include <chrono>

namespace {

// Values of every length the texts can take.
PlotBench make_bench() {
    PlotBench bench = make_plot_bench();
    for (int i = 0; i < HARMONIC_SLOTS; ++i) {
        bench.state.scale[i] = 1.0 - 0.37 * i;
        bench.state.shift_speed[i] = 0.01 * i;
    }
    return bench;
}

void draw_overlay(PlotBench &bench) {
    const SynthesisState &s = bench.state;
    draw_value_overlay(*bench.surface, s.y_scale, s.zoom, s.active_count, s.selected, s.scale,
                       s.shift_speed);
}

void BM_DrawValueOverlay50Slots(benchmark::State &state) {
    PlotBench bench = make_bench();
    for (auto _ : state) {
        draw_overlay(bench);
        benchmark::ClobberMemory();
    }
    SDL_FreeSurface(bench.surface);
}
BENCHMARK(BM_DrawValueOverlay50Slots);

// Both in one loop, as in a frame; reports the overlay's time as a share of the plot's.
void BM_OverlayShareOfPlot(benchmark::State &state) {
    using Clock = std::chrono::steady_clock;
    PlotBench bench = make_bench();
    Clock::duration plot{}, overlay{};
    for (auto _ : state) {
        forget_kept_work(*bench.cache); // the share of a plot that makes all its sines
        const Clock::time_point start = Clock::now();
        draw_plot(*bench.surface, bench.state, bench.cache->plot);
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
