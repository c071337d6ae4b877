#include "sound/sound.h"

#include <cmath>

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

// Sum of the limited terms at sample i; leaves each slot's term in state.term.
// amplitude[j] is scale/k, the same quotient for every sample, so formed once.
double sample_sum(SynthesisState &state, const SlotValues &amplitude, int i) {
    const double p = (i * SAMPLE_TURN) * FULL_TURN;
    double sum = 0.0;
    for (int j = 0; j < state.active_count; j++) {
        const double k = state.harmonic[j];
        const double a = (p * k - state.shift[j]) - (i * state.shift_speed[j]) * DRIFT_PER_SAMPLE;
        const double t = limit(std::sin(a) * amplitude[j], TERM_LIMIT);
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

void synthesize_sound_loop(SynthesisState &state) {
    SDL_LockAudio();
    SlotValues amplitude;
    for (int j = 0; j < state.active_count; j++) {
        amplitude[j] = state.scale[j] / state.harmonic[j];
    }
    for (int i = 0; i < SOUND_LOOP_SAMPLES; i++) {
        const int v = sample_value(sample_sum(state, amplitude, i));
        sound_loop.data[2 * i] = static_cast<Uint8>(v & 0xFF);
        sound_loop.data[2 * i + 1] = static_cast<Uint8>((v >> 8) & 0xFF);
    }
    SDL_UnlockAudio();
}
