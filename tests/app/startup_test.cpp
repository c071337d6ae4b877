#include "app/startup.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

std::string help_text(ConsoleEncoding encoding) {
    testing::internal::CaptureStdout();
    write_help_text(stdout, encoding);
    return testing::internal::GetCapturedStdout();
}

TEST(Startup, OnlyALowerCaseNFirstArgumentAsksForAWindow) {
    const std::vector<std::vector<const char *>> full = {{"kurvello"},
                                                         {"kurvello", "N"},
                                                         {"kurvello", "-n"},
                                                         {"kurvello", ""},
                                                         {"kurvello", "x", "n"}};
    for (const auto &argv : full) {
        EXPECT_TRUE(wants_full_screen(int(argv.size()), argv.data())) << argv.back();
    }
    for (const char *window : {"n", "nein"}) {
        const char *argv[] = {"kurvello", window, "x"};
        EXPECT_FALSE(wants_full_screen(3, argv)) << window;
    }
}

TEST(HelpText, EveryRowByteForByteInLatinOne) {
    const std::string text = help_text(ConsoleEncoding::latin1);
    const std::string title = text.substr(0, text.find('\n'));
    EXPECT_EQ(title.substr(0, 37), "Quorvin's Kurvello" + std::string(19, ' '));
    const size_t gap = title.find("     ", 37);
    ASSERT_NE(gap, std::string::npos);
    EXPECT_NE(title[37], ' ');
    EXPECT_NE(title.substr(37, gap - 37).find("example.org"), std::string::npos);
    EXPECT_NE(title[gap + 5], ' ');
    EXPECT_NE(title.substr(gap + 5).find("@example.org"), std::string::npos);

    // Row 12 may be worded freely: the row-11 form for the right cursor key.
    const size_t row12 = text.find("\nCURSOR rechts - ") + 1;
    ASSERT_NE(row12, 0u);
    const std::string right = text.substr(row12, text.find('\n', row12) - row12);
    EXPECT_EQ(right.back(), ')');
    EXPECT_EQ(
        text,
        title +
            "\n\n"
            "KURZHILFE:              Beenden mit ESC                mehr Hilfe in readme.txt\n"
            "c - Clearscreen ein/ausschalten     z - Zahlenausgabe ein/ausschalten\n"
            "d - Kurve dicker zeichnen           r - Reset         alle Werte ruecksetzen\n"
            "     Werte bearbeiten: (mit shift schnellere Wertaenderung/Skalierung)\n"
            "NUMPAD 0...9  - Koeffizient  1 - 10 ausw\xE4hlen\n"
            "NUMPAD + / -  - aktuellen Koeffizient skalieren\n"
            "NUMPAD ENTER  - aktuellen Koeffizient ein/ausschalten (mit 0.0 / 1.0 skalieren)\n"
            "CURSOR hoch   - aktuellen Koeffizient \"einschalten\" (mit 1.0 skalieren)\n"
            "CURSOR runter - aktuellen Koeffizient \"ausschalten\" (mit 0.0 skalieren)\n"
            "CURSOR links  - aktuellen Koeffizient wechseln (niedrigeren auswaehlen)\n" +
            right +
            "\n"
            "BILD AUF/AB   - y-Achse skalieren\n"
            "     bei gedrueckter STRG-Taste:\n"
            "NUMPAD 0...9 - Koeffizient  1 - 10 ausw\xE4hlen    (11 - 20 mit shift)\n"
            "NUMPAD + -   - Verschiebung des aktuellen Koeffizienten (x-Achse) beschleunigen\n"
            "CURSOR up/dn - Anzahl der verwendeten/angezeigten Koeffizienten um 10 aendern\n"
            "CURSOR li/re - Anzahl der verwendeten/angezeigten Koeffizienten um 1 erhoehen\n"
            "BILD  AUF/AB - Zoom (x- und y-Achse skalieren)\n"
            "\n               Bitte  Graph waehlen...  (a, b, c druecken)\n"
            "a:   sin(x) + 1/3 sin(3x) + 1/5 sin(5x)... (50 Koeff. 1,3,5,7...99)\n"
            "b:   sin(x) + 1/2 sin(2x) + 1/3 sin(3x)... (50 Koeff. 1,2,3,4...50)\n"
            "c:   20 eigene Koeffizienten zwischen 1 und 100 eingeben (restliche =0)");
}

// A pipe with the given bytes already in it and its write end closed.
int key_pipe(const std::string &bytes) {
    int fds[2];
    if (pipe(fds) != 0 || write(fds[1], bytes.data(), bytes.size()) != ssize_t(bytes.size())) {
        return -1;
    }
    close(fds[1]);
    return fds[0];
}

TEST(WaitForPresetKey, IgnoresOtherCodesSilentlyAndLeavesTheRestUnread) {
    const int fd = key_pipe("xA\x1b[DB\n\xFF"
                            "bQ"); // 0xFF is a key, not the end
    testing::internal::CaptureStdout();
    EXPECT_EQ(wait_for_preset_key(fd, stdout), 'b');
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    char next = 0;
    EXPECT_EQ(read(fd, &next, 1), 1);
    EXPECT_EQ(next, 'Q');
    close(fd);
}

TEST(FillHarmonicNumbers, PresetsAAndBPrintNothing) {
    HarmonicNumbers a;
    HarmonicNumbers b;
    testing::internal::CaptureStdout();
    fill_harmonic_numbers('a', stdin, stdout, a);
    fill_harmonic_numbers('b', stdin, stdout, b);
    for (int i = 0, odd = 1; i < HARMONIC_SLOTS; i++, odd += 2) {
        EXPECT_EQ(a[i], odd) << i;
        EXPECT_EQ(b[i], i + 1) << i;
    }
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
}

// The dialogue of preset c for the twenty values it should end with.
std::string typed_dialogue(const std::vector<int> &values) {
    std::string text = "\nBitte geben sie 20 Werte (zwischen 1 und 100) gefolgt von Enter ein. \n";
    for (size_t i = 0; i < values.size(); i++) {
        text += "\n" + std::to_string(i + 1) + ". Wert:  " + std::to_string(values[i]);
    }
    return text;
}

TEST(FillHarmonicNumbers, PresetCPromptsReadsAppliesTheRangeAndEchoes) {
    const std::vector<int> ones(20, 1);
    const struct {
        const char *input;
        std::vector<int> values; // as stored and echoed
    } cases[] = {
        {"0\n101\n-3\n1\n100\n0x10\n010\n7abc\n9\n",
         {1, 1, 1, 1, 100, 16, 8, 7, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1}},
        {"5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20 21 22 23 24\n",
         {5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24}},
        {"99999999999 50 -4294967246 4294967346",
         {1, 50, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1}},
        {"", ones},
    };
    for (const auto &c : cases) {
        std::FILE *in = fmemopen(const_cast<char *>(c.input), std::strlen(c.input), "r");
        HarmonicNumbers harmonic;
        harmonic.fill(77);
        testing::internal::CaptureStdout();
        fill_harmonic_numbers('c', in, stdout, harmonic);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), typed_dialogue(c.values)) << c.input;
        for (int i = 0; i < HARMONIC_SLOTS; i++) {
            EXPECT_EQ(harmonic[i], i < 20 ? c.values[i] : 0) << c.input << " slot " << i;
        }
        std::fclose(in);
    }
}

// The page replays the lines typed so far and stops where a console would wait for more.
TEST(ReplayTypedValues, StopsAtThePromptAConsoleWouldWaitAt) {
    const std::vector<int> typo = {16, 8, 1, 1, 7, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1};
    const struct {
        const char *typed;
        std::vector<int> values; // read so far
    } cases[] = {
        {"", {}},
        {"0x10 010\n \t\n", {16, 8}},
        {"0x10 010\n101\n", {16, 8, 1}},
        {"0x10 010\n101\n-3 7abc\n", typo}, // the rest fails at once, as on the console
    };
    for (const auto &c : cases) {
        HarmonicNumbers harmonic;
        harmonic.fill(77);
        testing::internal::CaptureStdout();
        const bool done = replay_typed_values(c.typed, stdout, harmonic);
        const size_t read = c.values.size();
        EXPECT_EQ(testing::internal::GetCapturedStdout(),
                  typed_dialogue(c.values) +
                      (read < 20 ? "\n" + std::to_string(read + 1) + ". Wert: " : ""))
            << c.typed;
        EXPECT_EQ(done, read == 20) << c.typed;
        for (int i = 0; i < HARMONIC_SLOTS; i++) {
            EXPECT_EQ(harmonic[i], size_t(i) < read ? c.values[i] : 0) << c.typed << " " << i;
        }
    }
}

} // namespace
