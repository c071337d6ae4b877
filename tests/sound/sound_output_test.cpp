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

// Refreshes alternate between a tone and its negation while the audio thread plays, with
// the device opened and closed in between: every stream is silence or one whole loop.
TEST(AudioThread, RefreshesAndCyclesPlayOnlyWholeLoops) {
    const std::string path = testing::TempDir() + "kurvello_sound_thread.raw";
    use_disk_driver(path);
    SynthesisState state{};
    state.active_count = 10;
    state.harmonic.fill(3);
    std::array<Bytes, 2> tones;
    for (int t = 0; t < 2; t++) {
        tones[t].resize(SOUND_LOOP_BYTES);
        state.scale.fill(t == 0 ? 0.1 : -0.1);
        sound_loop = SoundLoop{tones[t].data(), 0, SOUND_LOOP_BYTES};
        synthesize_sound_loop(state);
    }
    sound_loop = SoundLoop{};
    for (int cycle = 0; cycle < 10; cycle++) {
        open_sound_output();
        EXPECT_EQ(sound_loop.position, 0u);
        for (int refresh = 0; refresh < 30; refresh++) {
            state.scale.fill(refresh % 2 == 0 ? 0.1 : -0.1);
            synthesize_sound_loop(state);
            SDL_Delay(1);
        }
        close_sound_output();
        EXPECT_EQ(sound_loop.data, nullptr);
        std::ifstream in(path, std::ios::binary);
        const Bytes played(std::istreambuf_iterator<char>(in), {});
        ASSERT_EQ(played.size() % SOUND_LOOP_BYTES, 0u);
        int tone_streams = 0;
        for (auto at = played.begin(); at != played.end(); at += SOUND_LOOP_BYTES) {
            const Bytes stream(at, at + SOUND_LOOP_BYTES);
            const bool tone = stream == tones[0] || stream == tones[1];
            ASSERT_TRUE(tone || silent(stream.data(), stream.data() + stream.size()))
                << "stream at " << at - played.begin();
            tone_streams += tone;
        }
        EXPECT_GT(tone_streams, 0);
    }
    std::remove(path.c_str());
}

// Under LeakSanitizer, a buffer lost in any cycle is reported.
TEST(AudioThread, ThousandOnOffCycles) {
    use_disk_driver("/dev/null");
    testing::internal::CaptureStderr(); // the disk driver warns at every open
    for (int cycle = 0; cycle < 1000; cycle++) {
        open_sound_output();
        ASSERT_NE(sound_loop.data, nullptr);
        close_sound_output();
    }
    testing::internal::GetCapturedStderr();
}

} // namespace
