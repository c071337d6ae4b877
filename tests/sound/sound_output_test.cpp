#include "sound/sound.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<Uint8>;

bool silent(const Uint8 *begin, const Uint8 *end) {
    return std::all_of(begin, end, [](Uint8 b) { return b == 0; });
}

// The disk driver writes every stream the callback filled into one file, without delay.
void use_disk_driver(const std::string &path) {
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", path.c_str(), 1);
    setenv("SDL_DISKAUDIODELAY", "1", 1);
}

TEST(SoundOutput, CallbackPlaysOnlyWhatRemains) {
    Bytes loop(SOUND_LOOP_BYTES);
    for (int i = 0; i < SOUND_LOOP_BYTES; i++) {
        loop[i] = static_cast<Uint8>(i % 2 == 0 ? 1 + i % 199 : i % 61); // small, never silent
    }
    const struct {
        Uint32 position; // before the call
        int len;         // bytes asked for
        int played;      // bytes of the loop expected at the stream's start
    } calls[] = {{0, 1024, 1024}, {0, 256, 256},   {256, 256, 256},
                 {512, 256, 256}, {768, 256, 256}, {768, 1024, 256}};
    for (const auto &c : calls) {
        sound_loop = SoundLoop{loop.data(), c.position, SOUND_LOOP_BYTES};
        Bytes stream(c.len);
        audio_callback(nullptr, stream.data(), c.len);
        EXPECT_TRUE(
            std::equal(stream.begin(), stream.begin() + c.played, loop.begin() + c.position))
            << c.position << " " << c.len;
        EXPECT_TRUE(silent(stream.data() + c.played, stream.data() + c.len));
        EXPECT_EQ(sound_loop.position, (c.position + c.played) % SOUND_LOOP_BYTES);
    }
    sound_loop = SoundLoop{};
}

// Under LeakSanitizer a buffer lost in any cycle is reported, under ThreadSanitizer a refresh
// that races the audio thread.
TEST(AudioThread, ThousandOnOffCycles) {
    use_disk_driver("/dev/null");
    SynthesisState state{};
    state.active_count = 1;
    state.harmonic.fill(1);
    testing::internal::CaptureStderr(); // the disk driver warns at every open
    for (int cycle = 0; cycle < 1000; cycle++) {
        open_sound_output();
        synthesize_sound_loop(state);
        close_sound_output();
        ASSERT_EQ(sound_loop.data, nullptr);
    }
    testing::internal::GetCapturedStderr();
}

} // namespace
