// Fixed-width texts of values: five significant digits, and plain decimal integers.
#pragma once

#include <array>

constexpr int VALUE_TEXT_LENGTH = 7; // sign cell and six more characters at most

using ValueText = std::array<char, VALUE_TEXT_LENGTH + 1>;
using IntegerText = std::array<char, 12>;

// Returns the sign cell and five significant digits with a point, NUL-terminated; bars
// ("------") after the sign cell when the value needs a sixth digit before the point or is
// infinite, " %%%%%%" when it is not a number.
ValueText format_value(double value);

// Returns value in decimal, no leading zeros, NUL-terminated.
IntegerText format_integer(int value);
