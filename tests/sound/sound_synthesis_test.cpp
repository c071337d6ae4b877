#include "sound/sound.h"
#include "support/test_surface.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <vector>

namespace {

struct SoundSynthesis : testing::Test {
    std::array<Uint8, SOUND_LOOP_BYTES> loop{};
    SynthesisState state{};

    void SetUp() override {
        sound_loop = SoundLoop{loop.data(), 300, SOUND_LOOP_BYTES};
        state.active_count = 1;
        state.harmonic.fill(1);
        state.scale.fill(1.0);
    }
    void TearDown() override { // neither the play position nor the length is its to change
        EXPECT_EQ(sound_loop.position, 300u);
        EXPECT_EQ(sound_loop.length, Uint32(SOUND_LOOP_BYTES));
        sound_loop = SoundLoop{};
    }
    // Synthesizes and returns the digest of the loop and its samples at the given indices.
    std::vector<int> samples(std::initializer_list<int> at) {
        synthesize_sound_loop(state);
        std::vector<int> found{int(fnv1a(loop.data(), loop.size()) % 1000003)};
        for (int i : at)
            found.push_back(std::int16_t(loop[2 * i] | loop[2 * i + 1] << 8));
        return found;
    }
};

// The document's examples; digests (FNV-1a of the loop, modulo 1000003) computed once with
// an independent Python synthesis of the loop (math.sin, the same order of operations).
TEST_F(SoundSynthesis, LimitsTermsAndSumAndTruncatesTowardZero) {
    state.active_count = 0; // silence
    EXPECT_EQ(samples({0, 128, 384}), (std::vector<int>{905927, 0, 0, 0}));
    state.active_count = 1; // a quarter turn at 128
    EXPECT_EQ(samples({128, 384}), (std::vector<int>{38128, 3276, -3276}));
    state.scale[0] = 5.0; // a flattened sine
    EXPECT_EQ(samples({100, 412}), (std::vector<int>{809245, 3276, -3276}));
    state.active_count = 15, state.scale.fill(100.0); // fifteen terms at +1: the sum at 10
    EXPECT_EQ(samples({128, 384}), (std::vector<int>{750144, 32760, -32760}));
    state.active_count = 1, state.scale[0] = -0.0001; // -0.3276 at 128
    EXPECT_EQ(samples({128}), (std::vector<int>{905927, 0}));
    state.scale[0] = -1.0; // bytes 0x34, 0xF3 at 128
    EXPECT_EQ(samples({128}), (std::vector<int>{621311, -3276}));
}

TEST_F(SoundSynthesis, PresetBAndFiftyDriftingSlots) {
    for (int j = 0; j < HARMONIC_SLOTS; j++)
        state.harmonic[j] = j + 1;
    state.active_count = 10;
    EXPECT_EQ(samples({0}), (std::vector<int>{647197, 0}));
    for (int j = 0; j < 50; j++) {
        state.harmonic[j] = 1 + (j * 37) % 100;
        state.scale[j] = 0.3 * (j % 7) - 0.7, state.shift[j] = 0.11 * j - 2.0;
        state.shift_speed[j] = 0.013 * (j % 5) - 0.02;
    }
    state.active_count = 50;
    EXPECT_EQ(samples({}), (std::vector<int>{867991}));
}

// k = 0 in use: scale/k is infinite, so a term is ±1 where sin(a) is not 0, else not a number.
TEST_F(SoundSynthesis, HarmonicZeroIsAConstantOrSilence) {
    state.harmonic[1] = 0, state.active_count = 2; // sin(0) * inf in every sample
    EXPECT_EQ(samples({0, 128}), (std::vector<int>{905927, 0, 0}));
    EXPECT_TRUE(std::isnan(state.term[1]));
    state.harmonic[0] = 0, state.shift[0] = 1.0, state.active_count = 1; // sin(-1) * inf
    EXPECT_EQ(samples({0, 300}), (std::vector<int>{771843, -3276, -3276}));
    EXPECT_EQ(state.term[0], -1.0);
}

} // namespace
