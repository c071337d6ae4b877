// Reads fuzzer bytes as typed values; past the end every read gives zero.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

struct FuzzInput {
    const std::uint8_t *data; // remaining bytes
    std::size_t size;         // bytes left
};

inline std::uint64_t take_bits(FuzzInput &in, std::size_t bytes) {
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < bytes; i++) {
        value = value << 8;
        if (in.size > 0) {
            value |= *in.data;
            in.data++;
            in.size--;
        }
    }
    return value;
}

inline int take_int(FuzzInput &in, int low, int high) {
    const auto span = static_cast<std::uint64_t>(high - low) + 1;
    return low + static_cast<int>(take_bits(in, 2) % span);
}

// Raw bits, so NaN, infinities, subnormals and huge values all come through.
inline double take_double(FuzzInput &in) {
    const std::uint64_t bits = take_bits(in, 8);
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}
