// The two lowest drawing operations, and the byte store they share with the plot and text.
#pragma once

#include <SDL.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>

// Stores the low BPP bytes of pixel at target: 1, 2 and 4 in machine order, 3 low byte
// first; any other BPP stores nothing. A template so that callers pick the size once.
template <int BPP> inline void store_bytes(Uint8 *target, Uint32 pixel) {
    if constexpr (BPP == 1) {
        *target = static_cast<Uint8>(pixel);
    } else if constexpr (BPP == 2) {
        const auto low = static_cast<Uint16>(pixel);
        std::memcpy(target, &low, sizeof low);
    } else if constexpr (BPP == 3) {
        target[0] = static_cast<Uint8>(pixel);
        target[1] = static_cast<Uint8>(pixel >> 8);
        target[2] = static_cast<Uint8>(pixel >> 16);
    } else if constexpr (BPP == 4) {
        std::memcpy(target, &pixel, sizeof pixel);
    }
}

// Calls draw(size) once, size a std::integral_constant holding the byte count 1..4, or 0
// (which stores nothing) for any other: so drawing loops pick the store once, not per pixel.
template <typename Draw> void with_pixel_size(int bytes_per_pixel, Draw &&draw) {
    switch (bytes_per_pixel) {
    case 1:
        draw(std::integral_constant<int, 1>{});
        break;
    case 2:
        draw(std::integral_constant<int, 2>{});
        break;
    case 3:
        draw(std::integral_constant<int, 3>{});
        break;
    case 4:
        draw(std::integral_constant<int, 4>{});
        break;
    default:
        draw(std::integral_constant<int, 0>{});
        break;
    }
}

// Stores the pixels of a run one column wide, as draw_line(x, y0, 1, dy) draws them: the rows
// from the smaller of y0 and y0 + dy up to, not including, the larger, or y0 alone when dy is
// 0, each only within 1..h-1. column is the byte of row 0 in that column.
template <int BPP>
inline void store_column_run(Uint8 *column, std::ptrdiff_t pitch, int h, std::int64_t y0,
                             std::int64_t dy, Uint32 pixel) {
    std::int64_t first = dy < 0 ? y0 + dy : y0;
    std::int64_t rows = dy < 0 ? -dy : dy;     // 0 still stores y0
    if (first < 1 || first + rows >= h) {      // clipped: rare in the plot, kept off its short path
        const std::int64_t end = first + rows; // a row y0 alone would lie outside 1..h-1
        first = std::max<std::int64_t>(first, 1);
        rows = std::min<std::int64_t>(end, h) - first;
        if (rows <= 0) {
            return;
        }
    }
    Uint8 *target = column + first * pitch;
    do {
        store_bytes<BPP>(target, pixel);
        target += pitch;
    } while (--rows > 0);
}

// Returns whether SDL requires the surface to be locked before its pixels are touched.
bool surface_must_lock(const SDL_Surface &surface);

// Sets the part of the rectangle inside the surface to pixel value 0, as SDL_FillRect does
// on a surface without a clip rectangle, but through the pixels, so also while locked.
void fill_zero(SDL_Surface &surface, int x, int y, int w, int h);

// Fills the whole surface with 0, locking it around the fill where SDL requires that.
void clear_surface(SDL_Surface &surface);

// Stores the low BytesPerPixel bytes of pixel at (x, y); skips pixels outside the surface.
void put_pixel(SDL_Surface &surface, int x, int y, Uint32 pixel);

// Draws the run from (x0, y0) over (dx, dy), end point excluded, rows 1..h-1 only.
void draw_line(SDL_Surface &surface, Uint32 pixel, int x0, int y0, int dx, int dy);
