// The private 5 x 8 digit font and the text drawing on it.
#pragma once

#include <SDL.h>

#include <array>

constexpr int GLYPH_WIDTH = 5;   // columns
constexpr int GLYPH_HEIGHT = 8;  // rows
constexpr int GLYPH_COUNT = 15;  // "0".."9", ".", "-", "/", "%", "K"
constexpr int GLYPH_ADVANCE = 6; // columns from one character to the next

// One strip 75 cells wide and 8 rows high; 1 is ink.
using DigitFont = std::array<std::array<unsigned char, GLYPH_WIDTH * GLYPH_COUNT>, GLYPH_HEIGHT>;

extern const DigitFont digit_font;

// Returns the glyph index of a character, or -1 when the font lacks it.
int glyph_index(char c);

// Draws text's ink with its first cell at (x + 10, y + 5); rows clipped to 1..h-1.
void draw_text(SDL_Surface &surface, const char *text, int x, int y, Uint32 colour);
