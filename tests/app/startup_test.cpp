#include "app/startup.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

// Collects what a function writes to a FILE*.
struct Captured {
    char *buffer = nullptr;
    size_t size = 0;
    std::FILE *out = open_memstream(&buffer, &size);
};

std::string take(Captured &captured) {
    std::fclose(captured.out);
    std::string text(captured.buffer, captured.size);
    std::free(captured.buffer);
    return text;
}

std::string help_text(ConsoleEncoding encoding) {
    Captured captured;
    write_help_text(captured.out, encoding);
    return take(captured);
}

std::vector<std::string> lines_of(const std::string &text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
        lines.push_back(text.substr(start, end - start));
    }
    lines.push_back(text.substr(start));
    return lines;
}

TEST(HelpText, EveryRowByteForByteInLatinOne) {
    const std::string text = help_text(ConsoleEncoding::latin1);
    const std::vector<std::string> lines = lines_of(text);
    ASSERT_EQ(lines.size(), 25u);

    const std::string &title = lines[0];
    EXPECT_EQ(title.substr(0, 37), "Quorvin's Kurvello" + std::string(19, ' '));
    const size_t gap = title.find("     ", 37);
    ASSERT_NE(gap, std::string::npos);
    EXPECT_NE(title.substr(37, gap - 37).find("example.org"), std::string::npos);
    EXPECT_NE(title[37], ' ');
    EXPECT_NE(title.substr(gap + 5).find("@example.org"), std::string::npos);
    EXPECT_NE(title[gap + 5], ' ');
    EXPECT_EQ(lines[1], "");

    // Row 12 may be worded freely: the row-11 form for the right cursor key.
    EXPECT_EQ(lines[12].substr(0, 16), "CURSOR rechts - ");
    EXPECT_EQ(lines[12].back(), ')');
    const std::vector<std::string> rows = {
        "KURZHILFE:              Beenden mit ESC                mehr Hilfe in readme.txt",
        "c - Clearscreen ein/ausschalten     z - Zahlenausgabe ein/ausschalten",
        "d - Kurve dicker zeichnen           r - Reset         alle Werte ruecksetzen",
        "     Werte bearbeiten: (mit shift schnellere Wertaenderung/Skalierung)",
        "NUMPAD 0...9  - Koeffizient  1 - 10 ausw\xE4hlen",
        "NUMPAD + / -  - aktuellen Koeffizient skalieren",
        "NUMPAD ENTER  - aktuellen Koeffizient ein/ausschalten (mit 0.0 / 1.0 skalieren)",
        "CURSOR hoch   - aktuellen Koeffizient \"einschalten\" (mit 1.0 skalieren)",
        "CURSOR runter - aktuellen Koeffizient \"ausschalten\" (mit 0.0 skalieren)",
        "CURSOR links  - aktuellen Koeffizient wechseln (niedrigeren auswaehlen)",
        lines[12],
        "BILD AUF/AB   - y-Achse skalieren",
        "     bei gedrueckter STRG-Taste:",
        "NUMPAD 0...9 - Koeffizient  1 - 10 ausw\xE4hlen    (11 - 20 mit shift)",
        "NUMPAD + -   - Verschiebung des aktuellen Koeffizienten (x-Achse) beschleunigen",
        "CURSOR up/dn - Anzahl der verwendeten/angezeigten Koeffizienten um 10 aendern",
        "CURSOR li/re - Anzahl der verwendeten/angezeigten Koeffizienten um 1 erhoehen",
        "BILD  AUF/AB - Zoom (x- und y-Achse skalieren)",
        "",
        "               Bitte  Graph waehlen...  (a, b, c druecken)",
        "a:   sin(x) + 1/3 sin(3x) + 1/5 sin(5x)... (50 Koeff. 1,3,5,7...99)",
        "b:   sin(x) + 1/2 sin(2x) + 1/3 sin(3x)... (50 Koeff. 1,2,3,4...50)",
        "c:   20 eigene Koeffizienten zwischen 1 und 100 eingeben (restliche =0)",
    };
    EXPECT_EQ(std::vector<std::string>(lines.begin() + 2, lines.end()), rows);
}

TEST(HelpText, Utf8DiffersOnlyInTheTwoUmlauts) {
    std::string expected;
    for (char c : help_text(ConsoleEncoding::latin1)) {
        expected += c == '\xE4' ? std::string("\xC3\xA4") : std::string(1, c);
    }
    EXPECT_EQ(help_text(ConsoleEncoding::utf8), expected);
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
    Captured captured;
    EXPECT_EQ(wait_for_preset_key(fd, captured.out), 'b');
    EXPECT_EQ(take(captured), "");
    char next = 0;
    EXPECT_EQ(read(fd, &next, 1), 1);
    EXPECT_EQ(next, 'Q');
    close(fd);
}

TEST(FillHarmonicNumbers, PresetsAAndBPrintNothing) {
    HarmonicNumbers a;
    HarmonicNumbers b;
    Captured captured;
    fill_harmonic_numbers('a', stdin, captured.out, a);
    fill_harmonic_numbers('b', stdin, captured.out, b);
    for (int i = 0, odd = 1; i < HARMONIC_SLOTS; i++, odd += 2) {
        EXPECT_EQ(a[i], odd) << i;
        EXPECT_EQ(b[i], i + 1) << i;
    }
    EXPECT_EQ(take(captured), "");
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
    struct Case {
        const char *input;
        std::vector<int> values;
    };
    const std::vector<int> ones(20, 1);
    std::vector<int> after_7abc = ones;
    after_7abc[4] = 100;
    after_7abc[5] = 16;
    after_7abc[6] = 8;
    after_7abc[7] = 7;
    const Case cases[] = {
        {"0\n101\n-3\n1\n100\n0x10\n010\n7abc\n9\n", after_7abc},
        {"5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20 21 22 23 24\n",
         {5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24}},
        {"99999999999 50 -4294967246 4294967346",
         {1, 50, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1}},
        {"", ones},
    };
    for (const Case &c : cases) {
        std::FILE *in = fmemopen(const_cast<char *>(c.input), std::strlen(c.input), "r");
        HarmonicNumbers harmonic;
        harmonic.fill(77);
        Captured captured;
        fill_harmonic_numbers('c', in, captured.out, harmonic);
        EXPECT_EQ(take(captured), typed_dialogue(c.values)) << c.input;
        for (int i = 0; i < HARMONIC_SLOTS; i++) {
            EXPECT_EQ(harmonic[i], i < 20 ? c.values[i] : 0) << c.input << " slot " << i;
        }
        std::fclose(in);
    }
}

} // namespace
