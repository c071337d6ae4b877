#include "text.h"

const DigitFont digit_font{};
int glyph_index(char) {
    return -1;
}
void draw_text(SDL_Surface &, const char *, int, int, Uint32) {}
