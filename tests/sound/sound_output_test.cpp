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

// This binary links with --wrap=malloc so a test can refuse the loop's allocation.
namespace {
bool refuse_loop_allocation = false;
}
extern "C" void *__real_malloc(std::size_t size);
extern "C" void *__wrap_malloc(std::size_t size) {
    if (refuse_loop_allocation && size == SOUND_LOOP_BYTES) {
        return nullptr;
    }
    return __real_malloc(size);
}

namespace {

using Bytes = std::vector<Uint8>;

bool all_zero(const Uint8 *bytes, std::size_t n) {
    return std::all_of(bytes, bytes + n, [](Uint8 b) { return b == 0; });
}

Bytes read_file(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

// The disk driver writes every stream the callback filled into one file, without delay.
void use_disk_driver(const std::string &path) {
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", path.c_str(), 1);
    setenv("SDL_DISKAUDIODELAY", "1", 1);
}

TEST(SoundOutput, EveryOpenAsksFor512MonoSamplesAt44100) {
    for (int open = 0; open < 2; open++) {
        SDL_AudioSpec spec;
        fill_sound_spec(spec);
        ASSERT_EQ(SDL_OpenAudio(&spec, nullptr), 0) << SDL_GetError();
        EXPECT_EQ(spec.size, Uint32(SOUND_LOOP_BYTES));
        EXPECT_EQ(spec.freq, 44100);
        SDL_CloseAudio();
    }
}

TEST(SoundOutput, CallbackPlaysOnlyWhatRemains) {
    std::array<Uint8, SOUND_LOOP_BYTES> loop;
    for (int i = 0; i < SOUND_LOOP_BYTES; i++) {
        loop[i] = static_cast<Uint8>(i % 2 == 0 ? 1 + i % 199 : i % 61); // small, never silent
    }
    sound_loop = SoundLoop{loop.data(), 0, SOUND_LOOP_BYTES};
    std::array<Uint8, 1024> stream{};
    audio_callback(nullptr, stream.data(), 1024);
    EXPECT_EQ(stream, loop);
    EXPECT_EQ(sound_loop.position, 0u);

    for (Uint32 quarter = 1; quarter <= 4; quarter++) {
        std::array<Uint8, 256> part{};
        audio_callback(nullptr, part.data(), 256);
        EXPECT_TRUE(std::equal(part.begin(), part.end(), loop.begin() + 256 * (quarter - 1)));
        EXPECT_EQ(sound_loop.position, quarter * 256 % 1024);
    }

    stream.fill(0);
    sound_loop.position = 768;
    audio_callback(nullptr, stream.data(), 1024);
    EXPECT_TRUE(std::equal(stream.begin(), stream.begin() + 256, loop.begin() + 768));
    EXPECT_TRUE(all_zero(stream.data() + 256, 768));
    EXPECT_EQ(sound_loop.position, 0u);
    sound_loop = SoundLoop{};
}

TEST(SoundOutput, OnOffOnStartsAFreshSilentLoop) {
    open_sound_output();
    ASSERT_NE(sound_loop.data, nullptr);
    SDL_LockAudio();
    std::fill(sound_loop.data, sound_loop.data + SOUND_LOOP_BYTES, 0x55);
    SDL_UnlockAudio();
    close_sound_output();
    EXPECT_EQ(sound_loop.data, nullptr);

    open_sound_output();
    SDL_LockAudio();
    EXPECT_EQ(sound_loop.length, Uint32(SOUND_LOOP_BYTES));
    EXPECT_EQ(sound_loop.position, 0u);
    EXPECT_TRUE(all_zero(sound_loop.data, SOUND_LOOP_BYTES));
    SDL_UnlockAudio();
    close_sound_output();
}

TEST(SoundOutput, FailuresEndWithStatus1AndTheMessage) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
            setenv("LC_ALL", "C", 1);
            open_sound_output();
        },
        testing::ExitedWithCode(1),
        "^Audio-Ger\xE4t konnte nicht ge\xF6"
        "ffnet werden: .+\n$");
    EXPECT_EXIT(
        {
            setenv("LC_ALL", "C.UTF-8", 1);
            refuse_loop_allocation = true;
            open_sound_output();
        },
        testing::ExitedWithCode(1),
        "^Audio-Ger\xC3\xA4t konnte nicht ge\xC3\xB6"
        "ffnet werden: Out of memory\n$");
}

// Refreshes alternate between a tone and its negation while the audio thread plays:
// every stream written must be silence or one of the two loops, never a mix.
TEST(AudioThread, RefreshesAndCyclesPlayOnlyWholeLoops) {
    const std::string path = testing::TempDir() + "kurvello_sound_thread.raw";
    use_disk_driver(path);
    SynthesisState state{};
    state.active_count = 10;
    for (int j = 0; j < HARMONIC_SLOTS; j++) {
        state.harmonic[j] = 2 * j + 1;
    }
    std::array<Bytes, 2> tones;
    for (int t = 0; t < 2; t++) {
        tones[t].resize(SOUND_LOOP_BYTES);
        state.scale.fill(t == 0 ? 1.0 : -1.0);
        sound_loop = SoundLoop{tones[t].data(), 0, SOUND_LOOP_BYTES};
        synthesize_sound_loop(state);
    }
    sound_loop = SoundLoop{};

    for (int cycle = 0; cycle < 10; cycle++) {
        open_sound_output();
        for (int refresh = 0; refresh < 30; refresh++) {
            state.scale.fill(refresh % 2 == 0 ? 1.0 : -1.0);
            synthesize_sound_loop(state);
            SDL_Delay(1);
        }
        close_sound_output();
        const Bytes played = read_file(path);
        ASSERT_EQ(played.size() % SOUND_LOOP_BYTES, 0u);
        int tone_streams = 0;
        for (std::size_t at = 0; at < played.size(); at += SOUND_LOOP_BYTES) {
            const Bytes stream(played.begin() + at, played.begin() + at + SOUND_LOOP_BYTES);
            const bool tone = stream == tones[0] || stream == tones[1];
            ASSERT_TRUE(tone || all_zero(stream.data(), stream.size())) << "stream at " << at;
            tone_streams += tone;
        }
        EXPECT_GT(tone_streams, 0);
    }
    std::remove(path.c_str());
}

// Run under LeakSanitizer (or valgrind), a buffer lost in any cycle is reported.
TEST(AudioThread, ThousandOnOffCycles) {
    use_disk_driver("/dev/null");
    testing::internal::CaptureStderr(); // the disk driver warns at every open
    for (int cycle = 0; cycle < 1000; cycle++) {
        open_sound_output();
        ASSERT_NE(sound_loop.data, nullptr);
        close_sound_output();
        ASSERT_EQ(sound_loop.data, nullptr);
    }
    testing::internal::GetCapturedStderr();
}

} // namespace
