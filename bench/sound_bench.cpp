// The sound refresh against its floor, the bare sines it cannot avoid. The refresh holds
// the audio lock from start to end, so its time is the lock-held time per refresh.
#include "sound/sound.h"

#include <benchmark/benchmark.h>

#include <array>
#include <cmath>
#include <cstdlib>
#include <vector>

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

// The arguments the refresh hands to sin, computed once outside the timing.
std::vector<double> sine_arguments(const SynthesisState &state) {
    std::vector<double> args;
    for (int i = 0; i < SOUND_LOOP_SAMPLES; i++) {
        const double p = (i * 0.001953125) * 6.283185307179586;
        for (int j = 0; j < state.active_count; j++) {
            args.push_back((p * state.harmonic[j] - state.shift[j]) -
                           (i * state.shift_speed[j]) * 0.025);
        }
    }
    return args;
}

void BM_SoundSineFloor(benchmark::State &bench) {
    const std::vector<double> args = sine_arguments(fifty_slot_state());
    for (auto _ : bench) {
        double sum = 0.0;
        for (double a : args) {
            sum += std::sin(a);
        }
        benchmark::DoNotOptimize(sum);
    }
    bench.counters["sines"] = static_cast<double>(args.size());
}
BENCHMARK(BM_SoundSineFloor)->Unit(benchmark::kMicrosecond);

void BM_SynthesizeSoundLoop(benchmark::State &bench) {
    SynthesisState state = fifty_slot_state();
    std::array<Uint8, SOUND_LOOP_BYTES> loop{};
    sound_loop = SoundLoop{loop.data(), 0, SOUND_LOOP_BYTES};
    for (auto _ : bench) {
        synthesize_sound_loop(state);
        benchmark::DoNotOptimize(loop.data());
    }
    sound_loop = SoundLoop{};
}
BENCHMARK(BM_SynthesizeSoundLoop)->Unit(benchmark::kMicrosecond);

// With a device open the lock is real and the audio thread competes for it.
void BM_SynthesizeSoundLoopDeviceOpen(benchmark::State &bench) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    SynthesisState state = fifty_slot_state();
    open_sound_output();
    for (auto _ : bench) {
        synthesize_sound_loop(state);
    }
    close_sound_output();
    // Share of the 512-sample callback period (11.6 ms) the lock is held per refresh: a
    // fraction, though the library prints an inverted rate with a seconds suffix.
    bench.counters["lock_share"] =
        benchmark::Counter(static_cast<double>(bench.iterations()) * SOUND_LOOP_SAMPLES / 44100.0,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_SynthesizeSoundLoopDeviceOpen)->Unit(benchmark::kMicrosecond);

} // namespace
