#include "app/console.h"
#include "app/startup.h"
#include "support/test_surface.h"

#include <gtest/gtest.h>

#include <climits>
#include <csignal>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/time.h>
#include <unistd.h>

namespace {

std::FILE *stream_of(const char *text) {
    return fmemopen(const_cast<char *>(text), std::strlen(text), "r");
}

// help_text.txt holds the console's bytes in Latin-1: rows 2 to 11 and 13 to 23 as fixed, the
// title (web address from column 38) and row 12 in the program's own words.
TEST(Startup, HelpTextIsTheFixedText) {
    std::ifstream file(KURVELLO_TEST_DIR "/app/help_text.txt", std::ios::binary);
    const std::string want{std::istreambuf_iterator<char>(file), {}};
    testing::internal::CaptureStdout();
    write_help_text(stdout, ConsoleEncoding::latin1);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), want);
}

TEST(Startup, PresetsFillTheHarmonicNumbers) {
    std::vector<int> odd(50), all(50), ones(20, 1), counted(20);
    for (int i = 0; i < 50; i++)
        odd[i] = 2 * i + 1, all[i] = i + 1, counted[i % 20] = 5 + i % 20;
    const struct {
        int preset;
        const char *input;
        std::vector<int> values; // from slot 0; all later ones 0
    } cases[] = {
        {'a', "", odd},
        {'b', "", all},
        {'c', "0\n101\n-3\n1\n100\n0x10\n010\n7abc\n9\n", {1, 1, 1, 1, 100, 16, 8, 7, 1, 1,
                                                           1, 1, 1, 1, 1,   1,  1, 1, 1, 1}},
        {'c', "5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20 21 22 23 24\n", counted},
        {'c', "", ones},
    };
    for (const auto &c : cases) {
        std::string dialogue =
            "\nBitte geben sie 20 Werte (zwischen 1 und 100) gefolgt von Enter ein. \n";
        dialogue.resize(c.preset == 'c' ? dialogue.size() : 0);
        for (size_t i = 0; c.preset == 'c' && i < 20; i++)
            dialogue += "\n" + std::to_string(i + 1) + ". Wert:  " + std::to_string(c.values[i]);
        std::FILE *in = stream_of(c.input);
        HarmonicNumbers harmonic;
        harmonic.fill(77);
        testing::internal::CaptureStdout();
        fill_harmonic_numbers(c.preset, in, stdout, harmonic);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), dialogue);
        for (int i = 0; i < HARMONIC_SLOTS; i++)
            EXPECT_EQ(harmonic[i], i < int(c.values.size()) ? c.values[i] : 0)
                << c.input << " slot " << i;
        std::fclose(in);
    }
}

// The page's dialogue over the lines typed so far: the console's text up to the prompt it
// would wait at; with all twenty read, done.
TEST(Startup, TypedLinesReplayUpToThePromptTheConsoleWouldWaitAt) {
    HarmonicNumbers harmonic{};
    testing::internal::CaptureStdout();
    EXPECT_FALSE(replay_typed_values("0x10\n  3 \n", stdout, harmonic));
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "\nBitte geben sie 20 Werte (zwischen 1 und 100) gefolgt von Enter ein. \n"
              "\n1. Wert:  16\n2. Wert:  3\n3. Wert: ");
    EXPECT_TRUE(harmonic[0] == 16 && harmonic[1] == 3);
    testing::internal::CaptureStdout();
    EXPECT_TRUE(replay_typed_values("5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20 21 22 23 24\n",
                                    stdout, harmonic));
    testing::internal::GetCapturedStdout();
    EXPECT_TRUE(harmonic[0] == 5 && harmonic[19] == 24);
}

int key_pipe = -1; // where the timer's handler puts a key

// The preset key from a pipe: a read a signal interrupted is read again; a closed pipe, or an
// input that cannot be read at all, is the end of input and not a read retried forever.
TEST(Startup, PresetKeyReadsOnAfterASignalAndStopsAtAnError) {
    int ends[2];
    ASSERT_EQ(pipe(ends), 0);
    key_pipe = ends[1];
    struct sigaction key_on_alarm {
    }, previous{};
    key_on_alarm.sa_handler = [](int) {
        const ssize_t written = write(key_pipe, "b", 1);
        (void)written;
    };
    sigaction(SIGALRM, &key_on_alarm, &previous); // no SA_RESTART: the read is interrupted
    const itimerval in_100_ms{{0, 0}, {0, 100'000}};
    setitimer(ITIMER_REAL, &in_100_ms, nullptr);
    EXPECT_EQ(read_preset_key(ends[0]), 'b');
    sigaction(SIGALRM, &previous, nullptr);
    close(ends[1]);
    EXPECT_EQ(read_preset_key(ends[0]), -1);
    close(ends[0]);
    const int directory = open("/", O_RDONLY);
    alarm(10); // a read retried forever ends the test here
    EXPECT_EQ(read_preset_key(directory), -1);
    alarm(0);
    close(directory);
}

TEST(Startup, ReadsIntegersLikePercentIAndStopsAtTheFirstNonDigit) {
    constexpr int UNTOUCHED = -77;
    const struct {
        const char *input;
        int value;        // UNTOUCHED when nothing is read
        const char *left; // what a later read finds
    } cases[] = {
        // clang-format off
        {"  \n\t\v\f\r42 ", 42, " "}, {"+12z", 12, "z"}, {"-0x10", -16, ""}, {"0xAa 0XfF", 170, " 0XfF"},
        {"0XfF", 255, ""}, {"010 9", 8, " 9"}, {"08", 0, "8"}, {"7abc 5", 7, "abc 5"}, {"0xg", 0, "g"},
        {"abc 5", UNTOUCHED, "abc 5"}, {"- 5", UNTOUCHED, " 5"}, {"", UNTOUCHED, ""},
        {"2147483647", INT_MAX, ""}, {"-2147483648", INT_MIN, ""}, {"2147483648 1", UNTOUCHED, " 1"},
        {"-2147483649", UNTOUCHED, ""}, {"123456789012345678901234567890x", UNTOUCHED, "x"},
        // clang-format on
    };
    for (const auto &c : cases) {
        std::FILE *stream = stream_of(c.input);
        int value = UNTOUCHED;
        EXPECT_EQ(read_typed_integer(stream, value), c.value != UNTOUCHED) << c.input;
        EXPECT_EQ(value, c.value) << c.input;
        char rest[64] = "";
        EXPECT_STREQ(std::fgets(rest, sizeof rest, stream) ? rest : "", c.left) << c.input;
        std::fclose(stream);
    }
}

} // namespace
