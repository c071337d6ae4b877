// What a slot's kept sines were made from, so that a frame can tell whether they still hold.
#pragma once

#include <cstdint>
#include <cstring>

// The inputs a slot's kept sines were made with. Doubles as bit patterns, so that a NaN
// matches itself and -0.0 does not match 0.0. All zero: nothing kept.
struct SineInputs {
    std::uint64_t shift; // bits of shift, radians
    std::uint64_t other; // bits of zoom (plot) or of shift_speed (sound)
    int k;               // harmonic number
    int extent;          // plot: surface width the columns were made for; sound: 1; 0: none kept
};

// Returns the bit pattern of a double, for change tests that see NaN and -0.0.
inline std::uint64_t bits_of(double value) {
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}
