#include "pixel.h"

void put_pixel(SDL_Surface &, int, int, Uint32) {}
void draw_line(SDL_Surface &, Uint32, int, int, int, int) {}
