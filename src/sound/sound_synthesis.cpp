#include "sound/sound.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

namespace {

constexpr double SAMPLE_TURN = 0.001953125; // 1/512 of a period
constexpr double FULL_TURN = 6.283185307179586;
constexpr double DRIFT_PER_SAMPLE = 0.025; // share of shift_speed lost per sample
constexpr double TERM_LIMIT = 1.0;
constexpr double SUM_LIMIT = 10.0;
constexpr double SAMPLE_SCALE = 3276.0;

// NaN fails both tests and passes unchanged.
double limit(double value, double bound) {
    if (value > bound) {
        return bound;
    }
    if (value < -bound) {
        return -bound;
    }
    return value;
}

// The sine of slot j's argument at sample i.
double sample_sine(const SynthesisState &state, int i, int j) {
    const double p = (i * SAMPLE_TURN) * FULL_TURN;
    const double k = state.harmonic[j];
    return std::sin((p * k - state.shift[j]) - (i * state.shift_speed[j]) * DRIFT_PER_SAMPLE);
}

// Makes afresh the sample sines of the slots in use whose shift, shift speed or k changed;
// returns whether any did.
bool refresh_sample_sines(const SynthesisState &state, LoopCache &cache) {
    bool changed = false;
    for (int j = 0; j < state.active_count; j++) {
        const SineInputs now{bits_of(state.shift[j]), bits_of(state.shift_speed[j]),
                             state.harmonic[j], 1};
        if (std::memcmp(&now, &cache.sample_inputs[j], sizeof now) == 0) {
            continue;
        }
        for (int i = 0; i < SOUND_LOOP_SAMPLES; i++) {
            cache.sample_sine[i][j] = sample_sine(state, i, j);
        }
        cache.sample_inputs[j] = now;
        changed = true;
    }
    return changed;
}

// Whether the loop holds what this refresh would write: the same sines, scales and count,
// and no one else wrote it since (a new device's silence, another buffer).
bool loop_unchanged(const SynthesisState &state, const LoopCache &cache) {
    const int count = state.active_count;
    return cache.loop_count == count &&
           std::memcmp(cache.loop_scale.data(), state.scale.data(), count * sizeof(double)) == 0 &&
           std::memcmp(cache.loop_bytes.data(), sound_loop.data, SOUND_LOOP_BYTES) == 0;
}

// Sum of the limited terms at sample i; leaves each slot's term in state.term.
// amplitude[j] is scale/k, the same quotient for every sample, so formed once.
double sample_sum(SynthesisState &state, const LoopCache &cache, const SlotValues &amplitude,
                  int i) {
    const std::array<double, HARMONIC_SLOTS> &sine = cache.sample_sine[i];
    double sum = 0.0;
    for (int j = 0; j < state.active_count; j++) {
        const double t = limit(sine[j] * amplitude[j], TERM_LIMIT);
        state.term[j] = t;
        sum = sum + t;
    }
    return limit(sum, SUM_LIMIT);
}

// The limited sum keeps the product within ±32760, so only NaN needs care.
int sample_value(double sum) {
    if (std::isnan(sum)) {
        return 0;
    }
    return static_cast<int>(sum * SAMPLE_SCALE);
}

} // namespace

// The sines are made before the lock is taken; the audio thread waits only for the sums.
void synthesize_sound_loop(SynthesisState &state, LoopCache &kept) {
    if (!refresh_sample_sines(state, kept) && loop_unchanged(state, kept)) {
        return;
    }
    SlotValues amplitude;
    for (int j = 0; j < state.active_count; j++) {
        amplitude[j] = state.scale[j] / state.harmonic[j];
    }
    SDL_LockAudio();
    for (int i = 0; i < SOUND_LOOP_SAMPLES; i++) {
        const int v = sample_value(sample_sum(state, kept, amplitude, i));
        sound_loop.data[2 * i] = static_cast<Uint8>(v & 0xFF);
        sound_loop.data[2 * i + 1] = static_cast<Uint8>((v >> 8) & 0xFF);
    }
    SDL_UnlockAudio();
    std::memcpy(kept.loop_bytes.data(), sound_loop.data, SOUND_LOOP_BYTES);
    std::copy_n(state.scale.begin(), state.active_count, kept.loop_scale.begin());
    kept.loop_count = state.active_count;
}
