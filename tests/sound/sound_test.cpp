#include "sound/sound.h"
#include "support/test_surface.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

bool refuse_loop_buffer; // the wrapped malloc returns null for the loop's buffer
int audio_locks;         // SDL_LockAudio calls not yet let go
bool unheld_unlock;      // an SDL_UnlockAudio came without its SDL_LockAudio

extern "C" {
void *__real_malloc(std::size_t size);
void *__wrap_malloc(std::size_t size) {
    return refuse_loop_buffer && size == SOUND_LOOP_BYTES ? nullptr : __real_malloc(size);
}
void __real_SDL_LockAudio();
void __real_SDL_UnlockAudio();
void __wrap_SDL_LockAudio() {
    audio_locks++;
    __real_SDL_LockAudio();
}
void __wrap_SDL_UnlockAudio() {
    unheld_unlock |= audio_locks-- == 0;
    __real_SDL_UnlockAudio();
}
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
        std::vector<Uint8> stream(c.len, 0xA5), want(c.len); // not every SDL hands it over silent
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
    const auto kept = std::make_unique<LoopCache>();
    testing::internal::CaptureStderr(); // the disk driver warns at every open
    for (int cycle = 0; cycle < 1000; cycle++) {
        open_sound_output();
        SDL_LockAudio(); // the callback may have run already; each plays the whole loop
        EXPECT_EQ(sound_loop.position, 0u);
        SDL_UnlockAudio();
        synthesize_sound_loop(state, *kept);
        close_sound_output();
        ASSERT_EQ(sound_loop.data, nullptr);
    }
    testing::internal::GetCapturedStderr();
    std::remove(played.c_str());
}

// The loop's bytes; the play position and length stay. One cache for the whole test, so that
// each loop also reuses what the one before kept.
std::vector<Uint8> loop_bytes(SynthesisState &state) {
    static LoopCache *const kept = new LoopCache();
    std::vector<Uint8> loop(SOUND_LOOP_BYTES);
    sound_loop = SoundLoop{loop.data(), 300, SOUND_LOOP_BYTES};
    synthesize_sound_loop(state, *kept);
    EXPECT_TRUE(sound_loop.position == 300 && sound_loop.length == SOUND_LOOP_BYTES);
    EXPECT_TRUE(audio_locks == 0 && !unheld_unlock) << "written inside one audio lock";
    sound_loop = SoundLoop{};
    return loop;
}

std::vector<int> loop_of(SynthesisState &state) { // the samples, low byte first
    const std::vector<Uint8> bytes = loop_bytes(state);
    std::vector<int> samples;
    for (int i = 0; i < SOUND_LOOP_SAMPLES; i++)
        samples.push_back(std::int16_t(bytes[2 * i] | bytes[2 * i + 1] << 8));
    return samples;
}

// Samples a reader can recompute: trunc(3276 * sum), the sum of the terms
// sin(2 pi i / 512 * k - shift) * scale / k, each limited to +-1 and the sum to +-10.
TEST(SoundSynthesis, GivesTheWorkedSamples) {
    SynthesisState s{};
    s.harmonic.fill(1), s.scale.fill(1.0);
    const std::vector<int> silence(SOUND_LOOP_SAMPLES), minus_one(SOUND_LOOP_SAMPLES, -3276);
    EXPECT_EQ(loop_of(s), silence); // no slots
    s.active_count = 1;             // sin(pi / 4) = 0.7071 at 64
    std::vector<int> v = loop_of(s);
    EXPECT_EQ((std::vector<int>{v[0], v[64], v[128], v[256], v[384]}),
              (std::vector<int>{0, 2316, 3276, 0, -3276}));
    s.scale[0] = 5.0; // 5 sin(2 pi 10 / 512) = 0.6121; clipped at 100 and 412
    v = loop_of(s);
    EXPECT_EQ((std::vector<int>{v[10], v[100], v[412]}), (std::vector<int>{2005, 3276, -3276}));
    s.active_count = 15, s.scale.fill(100.0); // fifteen terms at +1: the sum at 10
    v = loop_of(s);
    EXPECT_TRUE(v[128] == 32760 && v[384] == -32760);
    s.active_count = 1, s.scale[0] = -0.0001; // -0.3276 at 128
    EXPECT_EQ(loop_of(s), silence);
    s.scale[0] = -1.0; // bytes 0x34, 0xF3 at 128
    EXPECT_EQ(loop_of(s)[128], -3276);
    s.harmonic[1] = 0, s.active_count = 2; // sin(0) * inf in every sample
    EXPECT_EQ(loop_of(s), silence);
    EXPECT_TRUE(std::isnan(s.term[1]));
    s.harmonic[0] = 0, s.shift[0] = 1.0, s.scale[0] = 1.0, s.active_count = 1; // sin(-1) * inf
    EXPECT_EQ(loop_of(s), minus_one);
    EXPECT_EQ(s.term[0], -1.0);
    s.harmonic[0] = 1, s.shift[0] = -1.0, s.scale[0] = 0.0005; // 3276 x 0.0005 sin(1) = 1.378 at 0
    const std::vector<int> once = loop_of(s);
    EXPECT_EQ(once[0], 1);
    EXPECT_EQ(loop_of(s), once); // nothing changed, but the buffer holds silence: written again
}

// The loop scenes of expected.txt, as it describes them.
SynthesisState loop_scene(const std::string &name) {
    SynthesisState s{};
    s.active_count = 10; // preset b at the start
    for (int j = 0; j < HARMONIC_SLOTS; j++)
        s.harmonic[j] = j + 1, s.scale[j] = 1.0;
    if (name == "mixed") {
        s.active_count = HARMONIC_SLOTS;
        for (int j = 0; j < HARMONIC_SLOTS; j++) {
            s.harmonic[j] = 1 + (j * 37) % 100, s.scale[j] = 0.3 * (j % 7) - 0.7;
            s.shift[j] = 0.11 * j - 2.0, s.shift_speed[j] = 0.013 * (j % 5) - 0.02;
        }
    } else if (name == "limits") {
        s.active_count = 13;
        for (int j = 0; j < 12; j++)
            s.harmonic[j] = 1, s.scale[j] = 1.5;
        s.harmonic[12] = 3, s.scale[12] = -9.0, s.shift[12] = 0.5;
    } else if (name == "harmonic_zero") {
        s.active_count = 12;
        for (int j = 0; j < 10; j++)
            s.harmonic[j] = 2 * j + 1, s.shift[j] = 0.2 * j;
        s.harmonic[10] = 0, s.scale[10] = 0.5, s.shift_speed[10] = 0.3;
        s.harmonic[11] = 0, s.scale[11] = -2.0, s.shift[11] = 1.0;
    }
    return s;
}

// Whole loops against the independent synthesis in tests/reference, which stores them.
TEST(SoundSynthesis, MatchesTheIndependentSynthesis) {
    for (const StoredCase &c : stored_cases("loop", 5)) {
        if (c.args[0] == "preset_a")
            continue; // the whole program plays it
        SynthesisState s = loop_scene(c.args[0]);
        const std::vector<Uint8> loop = loop_bytes(s);
        if (std::to_string(fnv1a(loop.data(), loop.size()) % 1000003) != c.stored)
            ADD_FAILURE() << reference_difference(c, loop.data(), loop.size());
    }
}

} // namespace
