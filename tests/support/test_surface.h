// In-memory surfaces, pixel colours and key-state arrays for the unit tests.
#pragma once

#include <SDL.h>

#include <array>
#include <cstring>
#include <memory>
#include <vector>

struct SurfaceFree {
    void operator()(SDL_Surface *s) const {
        SDL_FreeSurface(s);
    }
};
using SurfacePtr = std::unique_ptr<SDL_Surface, SurfaceFree>;

// Returns a software surface of w × h pixels; 32 bits is x8r8g8b8.
inline SurfacePtr make_surface(int w, int h, int bits = 32) {
    return SurfacePtr(bits == 32
                          ? SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 32, 0xFF0000, 0xFF00, 0xFF, 0)
                          : SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, bits, 0, 0, 0, 0));
}

// Returns the stored pixel value at (x, y) for 1 to 4 bytes per pixel, low byte first.
inline Uint32 pixel_at(const SDL_Surface &s, int x, int y) {
    const int bpp = s.format->BytesPerPixel;
    const Uint8 *p = static_cast<const Uint8 *>(s.pixels) + y * s.pitch + x * bpp;
    Uint16 two;
    Uint32 four;
    switch (bpp) {
    case 1:
        return p[0];
    case 2:
        std::memcpy(&two, p, 2);
        return two;
    case 3:
        return Uint32(p[0] | p[1] << 8 | p[2] << 16);
    default:
        std::memcpy(&four, p, 4);
        return four;
    }
}

struct Rgb {
    int r, g, b; // 0..255 each
    bool operator==(const Rgb &) const = default;
};

// Returns the colour a pixel value stands for in the surface's format.
inline Rgb unmap(const SDL_Surface &s, Uint32 pixel) {
    Uint8 r, g, b;
    SDL_GetRGB(pixel, s.format, &r, &g, &b);
    return {r, g, b};
}

// What SDL_GetKeyState returns: one entry per key symbol, 1 while it is down.
using KeyState = std::array<Uint8, SDLK_LAST>;

// Returns a key state with exactly these keys down.
inline KeyState keys_down(const std::vector<SDLKey> &down) {
    KeyState keys{};
    for (SDLKey key : down) {
        keys[key] = 1;
    }
    return keys;
}
