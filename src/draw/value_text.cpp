#include "draw/value_text.h"

#include <cmath>
#include <cstdint>
#include <cstring>

namespace {

constexpr int SIGNIFICANT_DIGITS = 5;
constexpr int MAX_POINT_POSITION = 5; // one more digit before the point would not fit the cell
constexpr int MANTISSA_BITS = 53;

constexpr std::uint32_t LIMB_BASE = 1000000000; // nine decimal digits per limb
constexpr int LIMB_DIGITS = 9;
constexpr int LIMB_COUNT = 90;      // 2^53 * 5^1074, the longest case, has 767 digits
constexpr int TWO_POWER_STEP = 30;  // 2^30 * limb + carry stays within 64 bits
constexpr int FIVE_POWER_STEP = 13; // so does 5^13 * limb + carry

constexpr int LARGEST_EXACT_POWER = 22; // 10^22 is the largest power of ten a double holds
constexpr double FIVE_DIGITS_LOW = 10000.0;
constexpr double FIVE_DIGITS_HIGH = 100000.0;
constexpr int EXPONENT_SHIFT = 52;  // a double's exponent field starts at bit 52
constexpr int EXPONENT_BIAS = 1022; // so that the field gives e of f * 2^e with f in [0.5, 1)
constexpr int LOG10_2_Q18 = 78913;  // log10(2) * 2^18

constexpr char OVERFLOW_MARK = '-'; // a bar per digit cell: too large for five digits
constexpr char NAN_MARK = '%';      // looks like 0/0, and has no sign

// An exact non-negative integer in base 10^9.
struct BigDecimal {
    std::array<std::uint32_t, LIMB_COUNT> limb; // least significant first, each below 10^9
    int used;                                   // limbs in use, at least 1
};

// A magnitude rounded to five significant digits: 0.d1d2d3d4d5 * 10^point.
struct RoundedDigits {
    std::array<int, SIGNIFICANT_DIGITS> digit; // 0..9, d1 first
    int point;                                 // digits before the decimal point
};

void multiply_small(BigDecimal &n, std::uint32_t factor) {
    std::uint64_t carry = 0;
    for (int i = 0; i < n.used; ++i) {
        const std::uint64_t product = std::uint64_t{n.limb[i]} * factor + carry;
        n.limb[i] = static_cast<std::uint32_t>(product % LIMB_BASE);
        carry = product / LIMB_BASE;
    }
    while (carry != 0) {
        n.limb[n.used++] = static_cast<std::uint32_t>(carry % LIMB_BASE);
        carry /= LIMB_BASE;
    }
}

void multiply_power(BigDecimal &n, std::uint32_t base, int exponent, int step) {
    std::uint32_t full_step = 1;
    for (int i = 0; i < step; ++i) {
        full_step *= base;
    }
    for (; exponent >= step; exponent -= step) {
        multiply_small(n, full_step);
    }
    std::uint32_t rest = 1;
    for (int i = 0; i < exponent; ++i) {
        rest *= base;
    }
    multiply_small(n, rest);
}

// Writes a finite positive magnitude as n * 10^t exactly and returns t.
int exact_decimal(double magnitude, BigDecimal &n) {
    int exponent = 0;
    const double fraction = std::frexp(magnitude, &exponent);
    std::uint64_t mantissa = static_cast<std::uint64_t>(std::ldexp(fraction, MANTISSA_BITS));
    exponent -= MANTISSA_BITS;
    while ((mantissa & 1) == 0) { // fewer limb multiplications for short expansions
        mantissa >>= 1;
        exponent += 1;
    }
    n.used = 0;
    do {
        n.limb[n.used++] = static_cast<std::uint32_t>(mantissa % LIMB_BASE);
        mantissa /= LIMB_BASE;
    } while (mantissa != 0);
    if (exponent >= 0) {
        multiply_power(n, 2, exponent, TWO_POWER_STEP);
        return 0;
    }
    // m / 2^k = m * 5^k / 10^k
    multiply_power(n, 5, -exponent, FIVE_POWER_STEP);
    return exponent;
}

// Returns the first six digits of n, truncated, as one number; count gets n's digit count.
int leading_six_digits(const BigDecimal &n, int &count) {
    const std::uint64_t top = n.limb[n.used - 1];
    const std::uint64_t next = n.used > 1 ? n.limb[n.used - 2] : 0;
    int top_digits = 0;
    std::uint64_t drop = 1000; // the two limbs hold top_digits + 9 digits; keep six
    for (std::uint64_t rest = top; rest != 0; rest /= 10) {
        top_digits += 1;
        drop *= 10;
    }
    count = top_digits + (n.used - 1) * LIMB_DIGITS;
    return static_cast<int>((top * LIMB_BASE + next) / drop);
}

constexpr std::array<double, LARGEST_EXACT_POWER + 1> build_powers_of_ten() {
    std::array<double, LARGEST_EXACT_POWER + 1> power{};
    double p = 1.0;
    for (double &each : power) {
        each = p;
        p *= 10.0;
    }
    return power;
}

constexpr std::array<double, LARGEST_EXACT_POWER + 1> POWER_OF_TEN = build_powers_of_ten();

// magnitude * 10^scale, when 10^scale is exact, and 0 when it is not.
// Five rounded digits as one number (10000..100000) and their point position; a carry out
// of d1 (100000) becomes 10000 with the point one further right.
RoundedDigits digits_of(int five, int point) {
    RoundedDigits rounded{};
    if (five == 100000) {
        five = 10000;
        point += 1;
    }
    rounded.point = point;
    for (int i = SIGNIFICANT_DIGITS - 1; i >= 0; --i, five /= 10) {
        rounded.digit[i] = five % 10;
    }
    return rounded;
}

double scaled(double magnitude, int scale) {
    if (scale < 0 || scale > LARGEST_EXACT_POWER) {
        return 0.0;
    }
    return magnitude * POWER_OF_TEN[scale];
}

// The common case without big numbers: t = magnitude * 10^k in [10^4, 10^5) is one correctly
// rounded product, so it lies on the same side of every integer and every half as the exact
// product (a t of exactly 10^4 rounds to 10000 from either side). Only a t of exactly n + 0.5
// is left undecided. Returns false when the exact expansion has to decide.
bool round_by_scaling(double magnitude, RoundedDigits &rounded) {
    std::uint64_t bits; // std::bit_cast is missing from some standard libraries still in use
    std::memcpy(&bits, &magnitude, sizeof bits);
    const auto exponent = static_cast<int>(bits >> EXPONENT_SHIFT) - EXPONENT_BIAS;
    // The point position is this or one less.
    int point = ((exponent * LOG10_2_Q18) >> 18) + 1;
    double t = scaled(magnitude, SIGNIFICANT_DIGITS - point);
    if (t < FIVE_DIGITS_LOW) {
        point -= 1;
        t = scaled(magnitude, SIGNIFICANT_DIGITS - point);
    }
    if (!(t >= FIVE_DIGITS_LOW && t < FIVE_DIGITS_HIGH)) {
        return false;
    }
    const int whole = static_cast<int>(t);
    const double fraction = t - whole; // exact: whole and t are less than 1 apart
    if (fraction == 0.5) {
        return false;
    }
    rounded = digits_of(whole + (fraction > 0.5 ? 1 : 0), point);
    return true;
}

// Rounds half up at the sixth digit of the exact expansion; a carry out of d1 moves the point.
RoundedDigits round_to_five_digits(double magnitude) {
    RoundedDigits rounded{};
    if (magnitude == 0.0 || round_by_scaling(magnitude, rounded)) {
        return rounded;
    }
    BigDecimal n;
    const int power = exact_decimal(magnitude, n);
    int count = 0;
    const int six = leading_six_digits(n, count);
    return digits_of(six / 10 + (six % 10 >= 5 ? 1 : 0), count + power);
}

ValueText marked_text(char sign, char mark) {
    ValueText text{};
    text[0] = sign;
    for (int i = 1; i < VALUE_TEXT_LENGTH; ++i) {
        text[i] = mark;
    }
    return text;
}

} // namespace

ValueText format_value(double value) {
    const char sign = value < 0.0 ? '-' : ' ';
    if (std::isnan(value)) {
        return marked_text(' ', NAN_MARK);
    }
    const double magnitude = std::fabs(value);
    if (std::isinf(magnitude)) {
        return marked_text(sign, OVERFLOW_MARK);
    }
    const RoundedDigits rounded = round_to_five_digits(magnitude);
    if (rounded.point > MAX_POINT_POSITION) {
        return marked_text(sign, OVERFLOW_MARK);
    }
    const int point = rounded.point < 0 ? 0 : rounded.point; // leading zeros are dropped
    ValueText text{};
    int at = 0;
    text[at++] = sign;
    for (int i = 0; i < SIGNIFICANT_DIGITS; ++i) {
        if (i == point) {
            text[at++] = '.';
        }
        text[at++] = static_cast<char>('0' + rounded.digit[i]);
    }
    if (point == SIGNIFICANT_DIGITS) {
        text[at++] = '.';
    }
    return text;
}

IntegerText format_integer(int value) {
    // Through unsigned so that the most negative int has a magnitude too.
    unsigned magnitude =
        value < 0 ? 0u - static_cast<unsigned>(value) : static_cast<unsigned>(value);
    std::array<char, 10> reversed{};
    int count = 0;
    do {
        reversed[count++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    IntegerText text{};
    int at = 0;
    if (value < 0) {
        text[at++] = '-';
    }
    while (count > 0) {
        text[at++] = reversed[--count];
    }
    return text;
}
