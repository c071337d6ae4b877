#include "draw/value_text.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <string>

namespace {

TEST(FormatValue, GivesTheDocumentsExamplesAndExactRoundings) {
    volatile double step = 0.01;
    double walked = 1.0;
    for (int i = 0; i < 100; ++i)
        walked -= step;
    // The document's examples, then (from 1.03125 on) texts computed once with Python's
    // exact Decimal rounding half up: ties at the sixth digit and long expansions.
    const std::pair<double, const char *> examples[] = {{1.0, " 1.0000"},
                                                        {0.0, " .00000"},
                                                        {0.5, " .50000"},
                                                        {100.0, " 100.00"},
                                                        {99.9996, " 100.00"},
                                                        {12345.4, " 12345."},
                                                        {9.99996, " 10.000"},
                                                        {-1.0, "-1.0000"},
                                                        {0.1, " .10000"},
                                                        {0.01, " .10000"},
                                                        {-0.01, "-.10000"},
                                                        {walked, "-.75287"},
                                                        {1.03125, " 1.0313"},
                                                        {3.90625, " 3.9063"},
                                                        {12344.5, " 12345."},
                                                        {5e-324, " .49407"},
                                                        {1e-300, " .10000"},
                                                        {2.5e-20, " .25000"},
                                                        {1.4e-45, " .14000"},
                                                        {2.2250738585072014e-308, " .22251"},
                                                        {7.888609052210118e-31, " .78886"}};
    for (auto [value, text] : examples)
        EXPECT_STREQ(format_value(value).data(), text) << value;
    // Past five digits before the point: bars behind the sign; not a number: its own mark.
    EXPECT_STREQ(format_value(99999.5).data(), " ------");
    EXPECT_STREQ(format_value(-HUGE_VAL).data(), "-------");
    EXPECT_STREQ(format_value(-std::nan("")).data(), " %%%%%%");
}

TEST(FormatInteger, WritesPlainDecimal) {
    for (int v : {0, 7, 10, 50, -1, -3080, INT_MAX, INT_MIN})
        EXPECT_EQ(format_integer(v).data(), std::to_string(v));
}

} // namespace
