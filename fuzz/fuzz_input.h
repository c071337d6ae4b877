// Reads fuzzer bytes as typed values; past the end every read gives zero.
#pragma once

#include <SDL.h>

#include <bit>
#include <cstddef>
#include <cstdint>

struct FuzzInput {
    const std::uint8_t *data; // remaining bytes
    std::size_t size;         // bytes left
};

inline std::uint64_t take_bits(FuzzInput &in, std::size_t bytes) {
    std::uint64_t value = 0;
    for (; bytes > 0; bytes--, in.size -= in.size > 0)
        value = value << 8 | (in.size > 0 ? *in.data++ : 0);
    return value;
}

inline int take_int(FuzzInput &in, int low, int high) {
    return low + static_cast<int>(take_bits(in, 2) % (static_cast<std::uint64_t>(high - low) + 1));
}

// Raw bits, so NaN, infinities, subnormals and huge values all come through.
inline double take_double(FuzzInput &in) {
    return std::bit_cast<double>(take_bits(in, 8));
}

// An in-memory surface of a fuzzed size and byte depth, now and then the program's own size.
inline SDL_Surface *take_surface(FuzzInput &in) {
    const int bits = 8 * take_int(in, 1, 4);
    const bool full = take_int(in, 0, 7) == 0;
    const int w = full ? 1024 : take_int(in, 1, 64), h = full ? 768 : take_int(in, 1, 64);
    return SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, bits, 0, 0, 0, 0);
}
