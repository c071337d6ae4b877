#include "text.h"

#include "pixel.h"

#include <cstdint>

namespace {

constexpr int TEXT_OFFSET_X = 10; // columns from x to the first cell
constexpr int TEXT_OFFSET_Y = 5;  // rows from y to the top of the cells

// "0".."9", ".", "-", "/", "%", "K", one five-cell group each; # is ink.
constexpr const char *FONT_PICTURE[GLYPH_HEIGHT] = {
    "##### ..### ##### ##### #...# ##### ##### ##### ##### ##### ..... ..... ....# ##..# #...#",
    "#...# ....# ....# ....# #...# #.... #.... ....# #...# #...# ..... ..... ...#. ##.#. #...#",
    "#...# ....# ....# ....# #...# #.... #.... ...#. #...# #...# ..... ..... ...#. ...#. #..#.",
    "#...# ....# ##### ##### ##### ##### ##### .#### ##### ##### ..... ##### ..#.. ..#.. #.#..",
    "#...# ....# #.... ....# ....# ....# #...# ...#. #...# ....# ..... ..... ..#.. ..#.. ##...",
    "#...# ....# #.... ....# ....# ....# #...# ...#. #...# ....# ..... ..... .#... .#... #.#..",
    "#...# ....# #.... ....# ....# ....# #...# ...#. #...# ....# ...## ..... .#... .#.## #..#.",
    "##### ....# ##### ##### ....# ##### ##### ...#. ##### ##### ...## ..... #.... #..## #...#",
};

constexpr DigitFont build_digit_font() {
    DigitFont font{};
    for (int row = 0; row < GLYPH_HEIGHT; ++row) {
        int column = 0;
        for (const char *cell = FONT_PICTURE[row]; *cell != '\0'; ++cell) {
            if (*cell != ' ') {
                font[row][column++] = *cell == '#' ? 1 : 0;
            }
        }
    }
    return font;
}

// The ink cells of one glyph in drawing order, so drawing walks ink only.
struct GlyphInk {
    int count;                                                       // cells in use
    std::array<std::array<int, 2>, GLYPH_WIDTH * GLYPH_HEIGHT> cell; // glyph row, glyph column
};

constexpr std::array<GlyphInk, GLYPH_COUNT> build_glyph_ink(const DigitFont &font) {
    std::array<GlyphInk, GLYPH_COUNT> ink{};
    for (int g = 0; g < GLYPH_COUNT; ++g) {
        for (int r = 0; r < GLYPH_HEIGHT; ++r) {
            for (int j = 0; j < GLYPH_WIDTH; ++j) {
                if (font[r][g * GLYPH_WIDTH + j] != 0) {
                    ink[g].cell[ink[g].count++] = {r, j};
                }
            }
        }
    }
    return ink;
}

constinit const std::array<GlyphInk, GLYPH_COUNT> glyph_ink = build_glyph_ink(build_digit_font());

// The pen lives in 16 bits; wrapping goes through unsigned so it is never overflow.
Sint16 add16(int base, int offset) {
    return static_cast<Sint16>(static_cast<Uint16>(static_cast<unsigned>(base) + offset));
}

void draw_glyph(SDL_Surface &surface, int glyph, int left, int top, Uint32 colour) {
    const GlyphInk &ink = glyph_ink[glyph];
    for (int i = 0; i < ink.count; ++i) {
        const int row = top + ink.cell[i][0];
        if (row > 0 && row < surface.h) {
            put_pixel(surface, left + ink.cell[i][1], row, colour);
        }
    }
}

} // namespace

constinit const DigitFont digit_font = build_digit_font();

int glyph_index(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    switch (c) {
    case '.':
        return 10;
    case '-':
        return 11;
    case '/':
        return 12;
    case '%':
        return 13;
    case 'K':
        return 14;
    default:
        return -1;
    }
}

void draw_text(SDL_Surface &surface, const char *text, int x, int y, Uint32 colour) {
    Sint16 pen = add16(x, TEXT_OFFSET_X);
    const Sint16 top = add16(y, TEXT_OFFSET_Y);
    for (const char *c = text; *c != '\0'; ++c) {
        const int glyph = glyph_index(*c);
        if (glyph >= 0) {
            draw_glyph(surface, glyph, pen, top, colour);
        }
        pen = add16(pen, GLYPH_ADVANCE);
    }
}
