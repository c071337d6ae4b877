#include "sound/sound.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

namespace {

// Run-time constants, so the reference's sines go through libm like the program's.
volatile double period = 6.283185307179586;
volatile double per_sample = 1.0 / 512.0;
volatile double drift = 0.025;

double clamp_keeping_nan(double x, double bound) {
    return x > bound ? bound : (x < -bound ? -bound : x);
}

struct Expected {
    std::array<int, 512> samples;
    SlotValues last_terms;
};

Expected reference_loop(const SynthesisState &s) {
    Expected e{};
    for (int i = 0; i < 512; i++) {
        double sum = 0.0;
        for (int j = 0; j < s.active_count; j++) {
            const double k = s.harmonic[j];
            const double arg =
                i * per_sample * period * k - s.shift[j] - i * s.shift_speed[j] * drift;
            e.last_terms[j] = clamp_keeping_nan(std::sin(arg) * (s.scale[j] / k), 1.0);
            sum += e.last_terms[j];
        }
        sum = clamp_keeping_nan(sum, 10.0);
        e.samples[i] = std::isnan(sum) ? 0 : static_cast<int>(std::trunc(sum * 3276.0));
    }
    return e;
}

struct SoundSynthesis : testing::Test {
    std::array<Uint8, SOUND_LOOP_BYTES> loop;
    SynthesisState state{};

    void SetUp() override {
        loop.fill(0xAA);
        sound_loop = SoundLoop{loop.data(), 300, SOUND_LOOP_BYTES};
        state.active_count = 1;
        state.harmonic.fill(1);
        state.scale.fill(1.0);
    }
    void TearDown() override {
        sound_loop = SoundLoop{};
    }
    int sample(int i) const {
        return static_cast<std::int16_t>(loop[2 * i] | loop[2 * i + 1] << 8);
    }
    // Synthesises and compares every sample and the terms left behind with the reference.
    void expect_reference() {
        synthesize_sound_loop(state);
        const Expected e = reference_loop(state);
        for (int i = 0; i < 512; i++) {
            ASSERT_EQ(sample(i), e.samples[i]) << "sample " << i;
        }
        for (int j = 0; j < state.active_count; j++) {
            const double t = state.term[j], want = e.last_terms[j];
            EXPECT_TRUE(t == want || (std::isnan(t) && std::isnan(want))) << "slot " << j;
        }
        EXPECT_EQ(sound_loop.position, 300u);
        EXPECT_EQ(sound_loop.length, Uint32(SOUND_LOOP_BYTES));
    }
};

TEST_F(SoundSynthesis, NoSlotsInUseIsSilence) {
    state.active_count = 0;
    synthesize_sound_loop(state);
    EXPECT_EQ(std::count(loop.begin(), loop.end(), 0), SOUND_LOOP_BYTES);
}

TEST_F(SoundSynthesis, PresetBTenSlotsStartsAtZero) {
    for (int j = 0; j < HARMONIC_SLOTS; j++) {
        state.harmonic[j] = j + 1;
    }
    state.active_count = 10;
    expect_reference();
    EXPECT_EQ(sample(0), 0);
}

TEST_F(SoundSynthesis, LimitsAndTruncation) {
    state.scale[0] = 5.0; // a flattened sine: clipped at ±1 around its crests
    expect_reference();
    EXPECT_EQ(sample(128), 3276);
    EXPECT_EQ(sample(100), 3276);
    EXPECT_EQ(sample(384), -3276);

    state.active_count = 15;
    state.scale.fill(100.0);
    expect_reference();
    EXPECT_EQ(sample(128), 32760);
    EXPECT_EQ(sample(384), -32760);

    // Truncation toward zero, little-endian bytes.
    state.active_count = 1;
    state.scale[0] = -0.0001;
    expect_reference();
    EXPECT_EQ(loop[256], 0x00);
    EXPECT_EQ(loop[257], 0x00);

    state.scale[0] = -1.0;
    expect_reference();
    EXPECT_EQ(loop[256], 0x34);
    EXPECT_EQ(loop[257], 0xF3);
}

TEST_F(SoundSynthesis, HarmonicZeroInUse) {
    for (int j = 0; j < HARMONIC_SLOTS; j++) {
        state.harmonic[j] = j < 20 ? j + 1 : 0; // as after preset c
    }
    state.active_count = 25;
    expect_reference(); // sin(0) * inf is NaN in every sample: silence
    EXPECT_EQ(std::count(loop.begin(), loop.end(), 0), SOUND_LOOP_BYTES);
    EXPECT_TRUE(std::isnan(state.term[20]));

    state.active_count = 21;
    state.shift[20] = 1.0; // sin(-1) * inf: a constant -1 in every sample
    expect_reference();
    EXPECT_EQ(state.term[20], -1.0);
}

TEST_F(SoundSynthesis, FiftySlotsWithDriftingPhases) {
    state.active_count = 50;
    for (int j = 0; j < 50; j++) {
        state.harmonic[j] = (j * 37) % 101;
        state.scale[j] = 0.3 * (j % 7) - 0.7;
        state.shift[j] = 0.11 * j - 2.0;
        state.shift_speed[j] = 0.013 * (j % 5) - 0.02;
    }
    state.harmonic[0] = 50; // no zero harmonic: keep the sum finite
    expect_reference();
}

} // namespace
