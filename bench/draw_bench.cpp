// The plot against its floor: the same 1023 x 50 sines with the same arguments, bare.
#include "draw/plot.h"
#include "plot_bench_state.h"

#include <benchmark/benchmark.h>

#include <cmath>

namespace {

PlotBench make_bench(int line_mode, int thick_curve) {
    PlotBench bench = make_plot_bench();
    bench.state.line_mode = line_mode;
    bench.state.thick_curve = thick_curve;
    return bench;
}

void BM_PlotSineFloor(benchmark::State &run) {
    const PlotBench bench = make_bench(0, 0);
    const SynthesisState &state = bench.state;
    for (auto _ : run) {
        double total = 0.0;
        for (int x = 1; x < bench.surface->w; x++) {
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

// afresh: the cache forgotten before every plot (untimed), so every sine is made again; else
// the same state every frame, so all are kept.
void BM_DrawPlot(benchmark::State &run, int line_mode, int thick_curve, bool afresh) {
    PlotBench bench = make_bench(line_mode, thick_curve);
    for (auto _ : run) {
        if (afresh) {
            run.PauseTiming();
            forget_kept_work(*bench.cache);
            run.ResumeTiming();
        }
        draw_plot(*bench.surface, bench.state, bench.cache->plot);
        benchmark::ClobberMemory();
    }
    SDL_FreeSurface(bench.surface);
}

} // namespace

BENCHMARK(BM_PlotSineFloor)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_DrawPlot, points, 0, 0, true)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_DrawPlot, lines_thick, 1, 1, true)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_DrawPlot, lines_thick_kept_sines, 1, 1, false)->Unit(benchmark::kMicrosecond);
