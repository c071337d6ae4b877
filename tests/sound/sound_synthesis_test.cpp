#include "sound/sound.h"
#include "support/test_surface.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

namespace {

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
        // Neither the play position nor the length is the synthesis's to change.
        EXPECT_EQ(sound_loop.position, 300u);
        EXPECT_EQ(sound_loop.length, Uint32(SOUND_LOOP_BYTES));
        sound_loop = SoundLoop{};
    }
    int sample(int i) const {
        return static_cast<std::int16_t>(loop[2 * i] | loop[2 * i + 1] << 8);
    }
    std::uint64_t synthesized() {
        synthesize_sound_loop(state);
        return fnv1a(loop.data(), loop.size());
    }
};

// Digests computed once with an independent Python synthesis of the loop (math.sin, the
// same order of operations).
TEST_F(SoundSynthesis, LoopsMatchTheIndependentSynthesis) {
    for (int j = 0; j < HARMONIC_SLOTS; j++) {
        state.harmonic[j] = j + 1; // preset b
    }
    state.active_count = 10;
    EXPECT_EQ(synthesized(), 6468581553349090183u);
    EXPECT_EQ(sample(0), 0);
    for (int j = 0; j < 50; j++) {
        state.harmonic[j] = 1 + (j * 37) % 100;
        state.scale[j] = 0.3 * (j % 7) - 0.7;
        state.shift[j] = 0.11 * j - 2.0;
        state.shift_speed[j] = 0.013 * (j % 5) - 0.02;
    }
    state.active_count = 50;
    EXPECT_EQ(synthesized(), 472050070171830066u);
}

TEST_F(SoundSynthesis, LimitsTermsAndSumAndTruncatesTowardZero) {
    state.active_count = 0;
    synthesized();
    EXPECT_EQ(std::count(loop.begin(), loop.end(), 0), SOUND_LOOP_BYTES); // silence

    state.active_count = 1;
    synthesized();
    EXPECT_EQ(sample(128), 3276); // sin of a quarter turn
    EXPECT_EQ(sample(384), -3276);
    EXPECT_TRUE(sample(100) < 3276 && sample(100) > 3000);

    state.scale[0] = 5.0; // a flattened sine
    synthesized();
    EXPECT_EQ(sample(100), 3276);
    EXPECT_EQ(sample(412), -3276);

    state.active_count = 15;
    state.scale.fill(100.0);
    synthesized();
    EXPECT_EQ(sample(128), 32760);
    EXPECT_EQ(sample(384), -32760);

    state.active_count = 1;
    state.scale[0] = -0.0001; // -0.3276 at sample 128
    synthesized();
    EXPECT_EQ(loop[256], 0x00);
    EXPECT_EQ(loop[257], 0x00);
    state.scale[0] = -1.0;
    synthesized();
    EXPECT_EQ(loop[256], 0x34);
    EXPECT_EQ(loop[257], 0xF3);
}

// k = 0 in use: scale/k is infinite, so a term is ±1 where sin(a) is not 0, else not a number.
TEST_F(SoundSynthesis, HarmonicZeroIsAConstantOrSilence) {
    state.harmonic[1] = 0;
    state.active_count = 2;
    synthesized(); // sin(0) * inf in every sample
    EXPECT_EQ(std::count(loop.begin(), loop.end(), 0), SOUND_LOOP_BYTES);
    EXPECT_TRUE(std::isnan(state.term[1]));

    state.active_count = 1;
    state.harmonic[0] = 0;
    state.shift[0] = 1.0; // sin(-1) * inf
    synthesized();
    for (int i = 0; i < SOUND_LOOP_SAMPLES; i++)
        ASSERT_EQ(sample(i), -3276) << i;
    EXPECT_EQ(state.term[0], -1.0);
}

} // namespace
