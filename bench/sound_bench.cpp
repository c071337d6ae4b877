// The sound refresh with 50 slots: made afresh (the cache forgotten before each, untimed),
// with the sines kept and only the scales edited, and with nothing changed. The lock is held only
// for the sums; with a device open the audio thread competes for it.
#include "app/frame_cache.h"
#include "sound/sound.h"

#include <benchmark/benchmark.h>

#include <array>
#include <cstdlib>
#include <memory>

namespace {

SynthesisState fifty_slot_state() {
    SynthesisState state{};
    state.active_count = HARMONIC_SLOTS;
    for (int j = 0; j < HARMONIC_SLOTS; j++) {
        state.harmonic[j] = 2 * j + 1;
        state.scale[j] = 1.0;
        state.shift[j] = 0.1 * j;
        state.shift_speed[j] = 0.01 * (j % 3);
    }
    return state;
}

enum class Refresh { afresh, scale_edit, unchanged };

void BM_SynthesizeSoundLoop(benchmark::State &bench, Refresh refresh) {
    SynthesisState state = fifty_slot_state();
    const auto cache = std::make_unique<FrameCache>();
    std::array<Uint8, SOUND_LOOP_BYTES> loop{};
    sound_loop = SoundLoop{loop.data(), 0, SOUND_LOOP_BYTES};
    for (auto _ : bench) {
        if (refresh == Refresh::afresh) {
            bench.PauseTiming();
            forget_kept_work(*cache);
            bench.ResumeTiming();
        }
        if (refresh == Refresh::scale_edit) {
            state.scale[7] = state.scale[7] == 1.0 ? 0.5 : 1.0;
        }
        synthesize_sound_loop(state, cache->loop);
        benchmark::DoNotOptimize(loop.data());
    }
    sound_loop = SoundLoop{};
}
BENCHMARK_CAPTURE(BM_SynthesizeSoundLoop, afresh, Refresh::afresh)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_SynthesizeSoundLoop, scale_edit, Refresh::scale_edit)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_SynthesizeSoundLoop, unchanged, Refresh::unchanged)
    ->Unit(benchmark::kMicrosecond);

// Made afresh with a device open: the worst case, every sine and every sum.
void BM_SynthesizeSoundLoopDeviceOpen(benchmark::State &bench) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    SynthesisState state = fifty_slot_state();
    const auto cache = std::make_unique<FrameCache>();
    open_sound_output();
    for (auto _ : bench) {
        bench.PauseTiming();
        forget_kept_work(*cache);
        bench.ResumeTiming();
        synthesize_sound_loop(state, cache->loop);
    }
    close_sound_output();
    // Share of the 512-sample callback period (11.6 ms) one refresh takes: a fraction, though
    // the library prints an inverted rate with a seconds suffix.
    bench.counters["refresh_share"] =
        benchmark::Counter(static_cast<double>(bench.iterations()) * SOUND_LOOP_SAMPLES / 44100.0,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_SynthesizeSoundLoopDeviceOpen)->Unit(benchmark::kMicrosecond);

} // namespace
