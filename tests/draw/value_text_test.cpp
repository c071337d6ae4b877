#include "draw/value_text.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>

namespace {

// Rounds glibc's exact decimal expansion half up at the sixth significant digit.
std::string exact_text(double v) {
    char e[1000];
    std::snprintf(e, sizeof e, "%.800e", std::fabs(v));
    const int six = std::atoi(std::string{e[0], e[2], e[3], e[4], e[5], e[6]}.c_str());
    const int point =
        v == 0 ? 0 : std::atoi(std::strchr(e, 'e') + 1) + 1 + ((six + 5) / 10 == 100000);
    const std::string d = std::to_string((six + 5) / 10 == 100000 ? 10000 : (six + 5) / 10);
    const std::string sign = v < 0 ? "-" : " ";
    if (point > 5) {
        return sign + "------";
    }
    return sign + (v == 0 ? ".00000"
                          : d.substr(0, std::max(point, 0)) + "." + d.substr(std::max(point, 0)));
}

TEST(FormatValue, GivesTheDocumentsExamples) {
    volatile double step = 0.01;
    double walked = 1.0;
    for (int i = 0; i < 100; ++i) {
        walked -= step;
    }
    const std::pair<double, const char *> examples[] = {
        {1.0, " 1.0000"},     {0.0, " .00000"},     {0.5, " .50000"},     {100.0, " 100.00"},
        {99.9996, " 100.00"}, {12345.4, " 12345."}, {9.99996, " 10.000"}, {-1.0, "-1.0000"},
        {0.1, " .10000"},     {0.01, " .10000"},    {-0.01, "-.10000"},   {walked, "-.75287"}};
    for (auto [value, text] : examples) {
        EXPECT_STREQ(format_value(value).data(), text) << value;
    }
    // Past five digits before the point: bars behind the sign; not a number: its own mark.
    EXPECT_STREQ(format_value(99999.5).data(), " ------");
    EXPECT_STREQ(format_value(-HUGE_VAL).data(), "-------");
    EXPECT_STREQ(format_value(-std::nan("")).data(), " %%%%%%");
}

TEST(FormatValue, AgreesWithTheExactDecimalExpansion) {
    std::mt19937_64 random(20240611);
    for (int i = 0; i < 20000; ++i) {
        const std::uint64_t bits = random();
        double any;
        std::memcpy(&any, &bits, sizeof any);
        // Dyadic fractions often end in an exact 5 at the sixth digit.
        const double tie = std::ldexp(double(random() % 2000000), -int(random() % 24));
        const double shown = -std::pow(10.0, double(random() % 2000) / 100 - 15);
        for (double v : {std::isfinite(any) ? any : 0.0, tie, shown}) {
            ASSERT_EQ(format_value(v).data(), exact_text(v)) << v;
        }
    }
}

TEST(FormatInteger, WritesPlainDecimal) {
    for (int v : {0, 7, 10, 50, -1, -3080, INT_MAX, INT_MIN}) {
        EXPECT_EQ(format_integer(v).data(), std::to_string(v));
    }
}

} // namespace
