#include "draw/text.h"

#include "draw/pixel.h"

#include <bit>
#include <cstddef>
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

// Each glyph row as a mask, bit j for glyph column j, so drawing visits ink cells only.
using GlyphRows = std::array<Uint8, GLYPH_HEIGHT>;

constexpr std::array<GlyphRows, GLYPH_COUNT> build_glyph_rows(const DigitFont &font) {
    std::array<GlyphRows, GLYPH_COUNT> rows{};
    for (int g = 0; g < GLYPH_COUNT; ++g) {
        for (int r = 0; r < GLYPH_HEIGHT; ++r) {
            for (int j = 0; j < GLYPH_WIDTH; ++j) {
                if (font[r][g * GLYPH_WIDTH + j] != 0) {
                    rows[g][r] |= static_cast<Uint8>(1u << j);
                }
            }
        }
    }
    return rows;
}

constinit const std::array<GlyphRows, GLYPH_COUNT> glyph_rows =
    build_glyph_rows(build_digit_font());

// The pen lives in 16 bits; wrapping goes through unsigned so it is never overflow.
Sint16 add16(int base, int offset) {
    return static_cast<Sint16>(static_cast<Uint16>(static_cast<unsigned>(base) + offset));
}

// Where a text's glyphs land: the surface's memory and which glyph cells it can take.
struct TextPlace {
    Uint8 *pixels;        // first byte of row 0
    std::ptrdiff_t pitch; // bytes per row
    int w;                // columns
    int top;              // surface row of glyph row 0
    bool rows_inside;     // all eight glyph rows on rows 1..h-1
};

// Any glyph, cell by cell: rows outside 1..h-1 skipped, columns left to put_pixel.
void draw_clipped_glyph(SDL_Surface &surface, const GlyphRows &rows, int left, int top,
                        Uint32 colour) {
    for (int r = 0; r < GLYPH_HEIGHT; ++r) {
        const int row = top + r;
        if (row <= 0 || row >= surface.h) {
            continue;
        }
        for (unsigned ink = rows[r]; ink != 0; ink &= ink - 1) {
            put_pixel(surface, left + std::countr_zero(ink), row, colour);
        }
    }
}

// A glyph wholly inside the surface goes straight into memory, a row pointer per glyph row.
template <int BPP>
void draw_inside_glyph(const TextPlace &place, const GlyphRows &rows, int left, Uint32 colour) {
    Uint8 *line = place.pixels + place.top * place.pitch + left * BPP;
    for (int r = 0; r < GLYPH_HEIGHT; ++r, line += place.pitch) {
        for (unsigned ink = rows[r]; ink != 0; ink &= ink - 1) {
            store_bytes<BPP>(line + std::countr_zero(ink) * BPP, colour);
        }
    }
}

template <int BPP>
void draw_text_bytes(SDL_Surface &surface, const char *text, Sint16 pen, Sint16 top,
                     Uint32 colour) {
    TextPlace place{};
    place.pixels = static_cast<Uint8 *>(surface.pixels);
    place.pitch = surface.pitch;
    place.w = surface.w;
    place.top = top;
    place.rows_inside = top > 0 && top + GLYPH_HEIGHT <= surface.h;
    for (const char *c = text; *c != '\0'; ++c) {
        const int glyph = glyph_index(*c);
        if (glyph >= 0) {
            const GlyphRows &rows = glyph_rows[glyph];
            if (place.rows_inside && pen >= 0 && pen + GLYPH_WIDTH <= place.w) {
                draw_inside_glyph<BPP>(place, rows, pen, colour);
            } else {
                draw_clipped_glyph(surface, rows, pen, top, colour);
            }
        }
        pen = add16(pen, GLYPH_ADVANCE);
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
    const Sint16 pen = add16(x, TEXT_OFFSET_X);
    const Sint16 top = add16(y, TEXT_OFFSET_Y);
    with_pixel_size(surface.format->BytesPerPixel, [&](auto size) {
        draw_text_bytes<size.value>(surface, text, pen, top, colour);
    });
}
