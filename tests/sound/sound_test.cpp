#include "sound/sound.h"
#include "support/test_surface.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

bool refuse_loop_buffer; // the wrapped malloc returns null for the loop's buffer

extern "C" void *__real_malloc(std::size_t size);
extern "C" void *__wrap_malloc(std::size_t size) {
    return refuse_loop_buffer && size == SOUND_LOOP_BYTES ? nullptr : __real_malloc(size);
}

namespace {

TEST(SoundOutput, NoMemoryForTheLoopEndsLikeAMissingDevice) {
    EXPECT_EXIT((refuse_loop_buffer = true, open_sound_output()), testing::ExitedWithCode(1),
                "^Audio-Ger.+t konnte nicht ge.+ffnet werden: Out of memory\n$");
}

// The worked examples: a call never wraps to the start; what is not mixed stays silent.
TEST(SoundOutput, CallbackPlaysOnlyWhatRemains) {
    std::vector<Uint8> loop(SOUND_LOOP_BYTES);
    for (int i = 0; i < SOUND_LOOP_BYTES; i++)
        loop[i] = static_cast<Uint8>(1 + i % 251); // never silent
    const struct {
        Uint32 position; // before the call
        int len, played; // bytes asked for, bytes of the loop at the stream's start
    } calls[] = {{0, 1024, 1024}, {0, 256, 256},   {256, 256, 256},
                 {512, 256, 256}, {768, 256, 256}, {768, 1024, 256}};
    for (const auto &c : calls) {
        sound_loop = SoundLoop{loop.data(), c.position, SOUND_LOOP_BYTES};
        std::vector<Uint8> stream(c.len), want(c.len);
        std::copy_n(loop.begin() + c.position, c.played, want.begin());
        audio_callback(nullptr, stream.data(), c.len);
        EXPECT_EQ(stream, want) << c.position << " " << c.len;
        EXPECT_EQ(sound_loop.position, (c.position + c.played) % SOUND_LOOP_BYTES);
    }
    sound_loop = SoundLoop{};
}

// For LeakSanitizer (a buffer lost in any cycle) and ThreadSanitizer (a refresh racing the
// audio thread, which the disk driver runs without delay). It plays into a regular file:
// SDL2 2.32 (Debian 13) refuses /dev/null.
TEST(AudioThread, ThousandOnOffCyclesWithARefreshEach) {
    const std::string played = testing::TempDir() + "audio_thread.raw";
    setenv("SDL_AUDIODRIVER", "disk", 1), setenv("SDL_DISKAUDIOFILE", played.c_str(), 1),
        setenv("SDL_DISKAUDIODELAY", "1", 1);
    SynthesisState state{};
    state.active_count = 1, state.harmonic.fill(1), state.scale.fill(1.0);
    testing::internal::CaptureStderr(); // the disk driver warns at every open
    for (int cycle = 0; cycle < 1000; cycle++) {
        open_sound_output();
        SDL_LockAudio(); // the callback may have run already; each plays the whole loop
        EXPECT_EQ(sound_loop.position, 0u);
        SDL_UnlockAudio();
        synthesize_sound_loop(state);
        close_sound_output();
        ASSERT_EQ(sound_loop.data, nullptr);
    }
    testing::internal::GetCapturedStderr();
    std::remove(played.c_str());
}

// The loop's digest (FNV-1a modulo 1000003) and samples; the play position and length stay.
std::vector<int> loop_of(SynthesisState &state, std::initializer_list<int> at) {
    std::array<Uint8, SOUND_LOOP_BYTES> loop{};
    sound_loop = SoundLoop{loop.data(), 300, SOUND_LOOP_BYTES};
    synthesize_sound_loop(state);
    EXPECT_TRUE(sound_loop.position == 300 && sound_loop.length == SOUND_LOOP_BYTES);
    sound_loop = SoundLoop{};
    std::vector<int> found{int(fnv1a(loop.data(), loop.size()) % 1000003)};
    for (int i : at)
        found.push_back(std::int16_t(loop[2 * i] | loop[2 * i + 1] << 8));
    return found;
}

// The worked examples; digests computed once with an independent Python synthesis (math.sin,
// the same order). k = 0: a term is ±1 where sin(a) is not 0, else not a number.
TEST(SoundSynthesis, MatchesTheWorkedExamplesAndTheIndependentSynthesis) {
    SynthesisState s{};
    s.harmonic.fill(1), s.scale.fill(1.0);
    EXPECT_EQ(loop_of(s, {0, 128, 384}), (std::vector<int>{905927, 0, 0, 0})); // no slots: silence
    s.active_count = 1; // a quarter turn at 128
    EXPECT_EQ(loop_of(s, {128, 384}), (std::vector<int>{38128, 3276, -3276}));
    s.scale[0] = 5.0; // a flattened sine
    EXPECT_EQ(loop_of(s, {100, 412}), (std::vector<int>{809245, 3276, -3276}));
    s.active_count = 15, s.scale.fill(100.0); // fifteen terms at +1: the sum at 10
    EXPECT_EQ(loop_of(s, {128, 384}), (std::vector<int>{750144, 32760, -32760}));
    s.active_count = 1, s.scale[0] = -0.0001; // -0.3276 at 128
    EXPECT_EQ(loop_of(s, {128}), (std::vector<int>{905927, 0}));
    s.scale[0] = -1.0; // bytes 0x34, 0xF3 at 128
    EXPECT_EQ(loop_of(s, {128}), (std::vector<int>{621311, -3276}));
    s.harmonic[1] = 0, s.active_count = 2; // sin(0) * inf in every sample
    EXPECT_EQ(loop_of(s, {0, 128}), (std::vector<int>{905927, 0, 0}));
    EXPECT_TRUE(std::isnan(s.term[1]));
    s.harmonic[0] = 0, s.shift[0] = 1.0, s.scale[0] = 1.0, s.active_count = 1; // sin(-1) * inf
    EXPECT_EQ(loop_of(s, {0, 300}), (std::vector<int>{771843, -3276, -3276}));
    EXPECT_EQ(s.term[0], -1.0);
    for (int j = 0; j < HARMONIC_SLOTS; j++)
        s.harmonic[j] = j + 1;
    s.active_count = 10, s.shift[0] = 0.0, s.scale.fill(1.0); // preset b
    EXPECT_EQ(loop_of(s, {0}), (std::vector<int>{647197, 0}));
    for (int j = 0; j < 50; j++) {
        s.harmonic[j] = 1 + (j * 37) % 100;
        s.scale[j] = 0.3 * (j % 7) - 0.7, s.shift[j] = 0.11 * j - 2.0,
        s.shift_speed[j] = 0.013 * (j % 5) - 0.02;
    }
    s.active_count = 50;
    EXPECT_EQ(loop_of(s, {}), (std::vector<int>{867991}));
}

} // namespace
