#include "app/console.h"

#include <gtest/gtest.h>

#include <climits>
#include <clocale>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

std::string rest_of(std::FILE *stream) {
    std::string rest;
    for (int c; (c = std::getc(stream)) != EOF;) {
        rest += static_cast<char>(c);
    }
    return rest;
}

TEST(ReadTypedInteger, ReadsLikePercentIAndStopsAtTheFirstNonDigit) {
    constexpr int SENTINEL = -77;
    const struct {
        const char *input;
        bool read;
        int value;        // expected when read, else the untouched sentinel
        const char *left; // what a later read finds
    } cases[] = {
        {"  \n\t42 ", true, 42, " "},
        {"+12z", true, 12, "z"},
        {"0x10", true, 16, ""},
        {"010 9", true, 8, " 9"},
        {"08", true, 0, "8"},
        {"7abc 5", true, 7, "abc 5"},
        {"0xg", true, 0, "g"},
        {"abc 5", false, SENTINEL, "abc 5"},
        {"- 5", false, SENTINEL, " 5"},
        {"", false, SENTINEL, ""},
        {"2147483647", true, INT_MAX, ""},
        {"-2147483648", true, INT_MIN, ""},
        {"2147483648 1", false, SENTINEL, " 1"},
        {"-2147483649", false, SENTINEL, ""},
        {"0x80000000", false, SENTINEL, ""},
        {"123456789012345678901234567890x", false, SENTINEL, "x"},
    };
    for (const auto &c : cases) {
        std::FILE *stream = fmemopen(const_cast<char *>(c.input), std::strlen(c.input), "r");
        ASSERT_NE(stream, nullptr);
        int value = SENTINEL;
        EXPECT_EQ(read_typed_integer(stream, value), c.read) << c.input;
        EXPECT_EQ(value, c.value) << c.input;
        EXPECT_EQ(rest_of(stream), c.left) << c.input;
        std::fclose(stream);
    }
}

TEST(WriteConsoleText, LatinOneLettersBecomeTwoUtf8BytesOnlyInUtf8) {
    const char *text = "Ger\xE4t \xF6 ok";
    char *buffer = nullptr;
    size_t size = 0;
    std::FILE *out = open_memstream(&buffer, &size);
    write_console_text(out, text, ConsoleEncoding::latin1);
    write_console_text(out, text, ConsoleEncoding::utf8);
    std::fclose(out);
    EXPECT_EQ(std::string(buffer, size), "Ger\xE4t \xF6 ok"
                                         "Ger\xC3\xA4t \xC3\xB6 ok");
    std::free(buffer);
}

} // namespace
