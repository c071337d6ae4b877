#include "sound/sound.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace {

// The worked examples: a call never wraps to the start; what is not mixed stays silent.
TEST(SoundOutput, CallbackPlaysOnlyWhatRemains) {
    std::vector<Uint8> loop(SOUND_LOOP_BYTES);
    for (int i = 0; i < SOUND_LOOP_BYTES; i++)
        loop[i] = static_cast<Uint8>(i % 2 == 0 ? 1 + i % 199 : i % 61); // small, never silent
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

// Under LeakSanitizer a buffer lost in any cycle shows, under ThreadSanitizer a refresh that
// races the audio thread. The disk driver plays without delay.
TEST(AudioThread, ThousandOnOffCyclesWithARefreshEach) {
    setenv("SDL_AUDIODRIVER", "disk", 1), setenv("SDL_DISKAUDIOFILE", "/dev/null", 1);
    setenv("SDL_DISKAUDIODELAY", "1", 1);
    SynthesisState state{};
    state.active_count = 1, state.harmonic.fill(1), state.scale.fill(1.0);
    testing::internal::CaptureStderr(); // the disk driver warns at every open
    for (int cycle = 0; cycle < 1000; cycle++) {
        open_sound_output();
        EXPECT_EQ(sound_loop.position, 0u);
        synthesize_sound_loop(state);
        close_sound_output();
        ASSERT_EQ(sound_loop.data, nullptr);
    }
    testing::internal::GetCapturedStderr();
}

} // namespace
