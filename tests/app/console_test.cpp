#include "app/console.h"

#include <gtest/gtest.h>

#include <climits>
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

TEST(Console, ReadsIntegersLikePercentIAndStopsAtTheFirstNonDigit) {
    constexpr int UNTOUCHED = -77;
    const struct {
        const char *input;
        bool read;
        int value;        // when read, else UNTOUCHED
        const char *left; // what a later read finds
    } cases[] = {
        {"  \n\t\v\f\r42 ", true, 42, " "},
        {"+12z", true, 12, "z"},
        {"-0x10", true, -16, ""},
        {"0xAa 0XfF", true, 170, " 0XfF"},
        {"0XfF", true, 255, ""},
        {"010 9", true, 8, " 9"},
        {"08", true, 0, "8"},
        {"7abc 5", true, 7, "abc 5"},
        {"0xg", true, 0, "g"},
        {"abc 5", false, UNTOUCHED, "abc 5"},
        {"- 5", false, UNTOUCHED, " 5"},
        {"", false, UNTOUCHED, ""},
        {"2147483647", true, INT_MAX, ""},
        {"-2147483648", true, INT_MIN, ""},
        {"2147483648 1", false, UNTOUCHED, " 1"},
        {"-2147483649", false, UNTOUCHED, ""},
        {"123456789012345678901234567890x", false, UNTOUCHED, "x"},
    };
    for (const auto &c : cases) {
        std::FILE *stream = fmemopen(const_cast<char *>(c.input), std::strlen(c.input), "r");
        int value = UNTOUCHED;
        EXPECT_EQ(read_typed_integer(stream, value), c.read) << c.input;
        EXPECT_EQ(value, c.value) << c.input;
        EXPECT_EQ(rest_of(stream), c.left) << c.input;
        std::fclose(stream);
    }
}

// A key read that fails ends the wait instead of trying again for ever.
TEST(Console, KeyReadOnABrokenInputEnds) {
    EXPECT_EQ(read_preset_key(-1), -1);
}

} // namespace
