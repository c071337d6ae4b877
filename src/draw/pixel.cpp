#include "draw/pixel.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace {

// Wide enough for y0 + dy and -dy of any two 32-bit ints.
using Wide = std::int64_t;

// Steep run: one pixel per row, only over the rows 1..h-1 that the run reaches.
void draw_steep(SDL_Surface &surface, Uint32 pixel, int x0, Wide y0, int dx, Wide dy) {
    const double step = static_cast<double>(dx) / static_cast<double>(dy);
    const Wide first = std::max<Wide>(0, 1 - y0);
    const Wide last = std::min<Wide>(dy - 1, surface.h - 1 - y0);
    for (Wide i = first; i <= last; i++) {
        // |step * i| < |dx|, so the sum stays far inside 64 bits.
        const auto x = static_cast<Wide>(step * static_cast<double>(i) + x0);
        if (x >= 0 && x < surface.w) {
            put_pixel(surface, static_cast<int>(x), static_cast<int>(y0 + i), pixel);
        }
    }
}

// Flat run: one pixel per column, only over the columns inside the surface.
void draw_flat(SDL_Surface &surface, Uint32 pixel, int x0, Wide y0, int dx, Wide dy) {
    const double step = static_cast<double>(dy) / static_cast<double>(dx);
    const Wide first = std::max<Wide>(0, -static_cast<Wide>(x0));
    const Wide last = std::min<Wide>(dx - 1, surface.w - 1 - static_cast<Wide>(x0));
    for (Wide i = first; i <= last; i++) {
        const auto y = static_cast<Wide>(step * static_cast<double>(i) + static_cast<double>(y0));
        if (y > 0 && y < surface.h) {
            put_pixel(surface, static_cast<int>(x0 + i), static_cast<int>(y), pixel);
        }
    }
}

} // namespace

bool surface_must_lock(const SDL_Surface &surface) {
    [[maybe_unused]] const SDL_Surface *s = &surface; // some SDLs must always lock
    return SDL_MUSTLOCK(s);
}

void fill_zero(SDL_Surface &surface, int x, int y, int w, int h) {
    const Wide left = std::max(0, x);
    const Wide top = std::max(0, y);
    const Wide right = std::min<Wide>(Wide{x} + w, surface.w);
    const Wide bottom = std::min<Wide>(Wide{y} + h, surface.h);
    const int bpp = surface.format->BytesPerPixel;
    for (Wide row = top; row < bottom && left < right; row++) {
        std::memset(static_cast<Uint8 *>(surface.pixels) + row * surface.pitch + left * bpp, 0,
                    static_cast<std::size_t>((right - left) * bpp));
    }
}

void clear_surface(SDL_Surface &surface) {
    const bool lock = surface_must_lock(surface);
    if (lock && SDL_LockSurface(&surface) < 0) {
        return;
    }
    fill_zero(surface, 0, 0, surface.w, surface.h);
    if (lock) {
        SDL_UnlockSurface(&surface);
    }
}

void put_pixel(SDL_Surface &surface, int x, int y, Uint32 pixel) {
    if (x < 0 || y < 0 || x >= surface.w || y >= surface.h) {
        return;
    }
    const int bpp = surface.format->BytesPerPixel;
    Uint8 *target = static_cast<Uint8 *>(surface.pixels) +
                    static_cast<std::ptrdiff_t>(y) * surface.pitch + x * bpp;
    with_pixel_size(bpp, [&](auto size) { store_bytes<size.value>(target, pixel); });
}

void draw_line(SDL_Surface &surface, Uint32 pixel, int x0, int y0, int dx, int dy) {
    if (dx == 1) { // every run of the plot: one column, drawn as the plot draws it
        if (x0 >= 0 && x0 < surface.w && surface.h > 0) {
            const int bpp = surface.format->BytesPerPixel;
            Uint8 *column = static_cast<Uint8 *>(surface.pixels) + x0 * bpp;
            with_pixel_size(bpp, [&](auto size) {
                store_column_run<size.value>(column, surface.pitch, surface.h, y0, dy, pixel);
            });
        }
        return;
    }
    Wide top = y0;
    Wide extent = dy;
    if (extent < 0) {
        top += extent;
        extent = -extent;
    }
    if (extent > dx) {
        draw_steep(surface, pixel, x0, top, dx, extent);
    } else if (dx > 0) {
        draw_flat(surface, pixel, x0, top, dx, extent);
    }
}
