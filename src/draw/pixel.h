// The two lowest drawing operations, and the byte store they share with the plot.
#pragma once

#include <SDL.h>

#include <cstring>

// Stores the low bpp bytes of pixel at target: 1, 2 and 4 in machine order, 3 low byte first.
inline void store_pixel(Uint8 *target, int bpp, Uint32 pixel) {
    switch (bpp) {
    case 1:
        *target = static_cast<Uint8>(pixel);
        break;
    case 2: {
        const auto low = static_cast<Uint16>(pixel);
        std::memcpy(target, &low, sizeof low);
        break;
    }
    case 3:
        target[0] = static_cast<Uint8>(pixel);
        target[1] = static_cast<Uint8>(pixel >> 8);
        target[2] = static_cast<Uint8>(pixel >> 16);
        break;
    case 4:
        std::memcpy(target, &pixel, sizeof pixel);
        break;
    default:
        break;
    }
}

// Stores the low BytesPerPixel bytes of pixel at (x, y); skips pixels outside the surface.
void put_pixel(SDL_Surface &surface, int x, int y, Uint32 pixel);

// Draws the run from (x0, y0) over (dx, dy), end point excluded, rows 1..h-1 only.
void draw_line(SDL_Surface &surface, Uint32 pixel, int x0, int y0, int dx, int dy);
