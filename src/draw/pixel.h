// The two lowest drawing operations.
#pragma once

#include <SDL.h>

// Stores the low BytesPerPixel bytes of pixel at (x, y); skips pixels outside the surface.
void put_pixel(SDL_Surface &surface, int x, int y, Uint32 pixel);

// Draws the run from (x0, y0) over (dx, dy), end point excluded, rows 1..h-1 only.
void draw_line(SDL_Surface &surface, Uint32 pixel, int x0, int y0, int dx, int dy);
