// Builds an in-memory surface of a fuzzed size and byte depth.
#pragma once

#include "fuzz_input.h"

#include <SDL.h>

inline SDL_Surface *take_surface(FuzzInput &in, bool allow_full_size) {
    static const int depths[4] = {8, 16, 24, 32};
    const int bits = depths[take_int(in, 0, 3)];
    int w = take_int(in, 1, 64);
    int h = take_int(in, 1, 64);
    if (allow_full_size && take_int(in, 0, 7) == 0) {
        w = 1024;
        h = 768;
    }
    return SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, bits, 0, 0, 0, 0);
}
