#include "draw/draw.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

namespace {

constexpr Uint32 GREY = 0x123456; // stands for the plot under the overlay
const std::string BLANK(7, ' ');

using Surface = std::unique_ptr<SDL_Surface, decltype(&SDL_FreeSurface)>;
Surface make_surface(int w) {
    Surface s{SDL_CreateRGBSurface(SDL_SWSURFACE, w, 768, 32, 0, 0, 0, 0), &SDL_FreeSurface};
    SDL_FillRect(s.get(), nullptr, GREY);
    return s;
}
Uint32 at(const Surface &s, int x, int y) {
    return static_cast<Uint32 *>(s->pixels)[y * s->pitch / 4 + x];
}
Uint32 white(const Surface &s) {
    return SDL_MapRGB(s->format, 255, 255, 255);
}
Uint32 red(const Surface &s) {
    return SDL_MapRGB(s->format, 255, 0, 0);
}

// Reads the text at a draw_text position cell by cell; ink must be `colour` on pixel value 0.
// A slot's sign cell shares its first column with the slot before, so that column is skipped.
std::string read_text(const Surface &s, int x, int y, int length, Uint32 colour, int skip = 0) {
    std::string text;
    for (int i = 0; i < length; ++i) {
        char found = '?';
        for (char c : std::string(" 0123456789.-/%K")) {
            bool same = true;
            for (int r = 0; r < 8; ++r) {
                for (int j = i == 0 ? skip : 0; j < 5; ++j) {
                    const Uint32 p = at(s, x + 10 + 6 * i + j, y + 5 + r);
                    const bool ink = c != ' ' && digit_font[r][glyph_index(c) * 5 + j] != 0;
                    same = same && p == (ink ? colour : 0);
                }
            }
            found = same ? c : found;
        }
        text += found;
    }
    return text;
}

void expect_slot(const Surface &s, int i, const std::string &scale, const std::string &speed,
                 Uint32 colour) {
    const int x = 2 + 40 * (i % 25), y = 10 + 40 * (i / 25);
    EXPECT_EQ(read_text(s, x, y, 7, colour, 1), scale) << "slot " << i;
    EXPECT_EQ(read_text(s, x, y + 15, 7, colour, 1), speed) << "slot " << i;
}

int count(const Surface &s, Uint32 colour, int rows) {
    int n = 0;
    for (int y = 0; y < rows; ++y)
        for (int x = 0; x < s->w; ++x)
            n += at(s, x, y) == colour;
    return n;
}

TEST(ValueOverlay, ShowsTheDefaultsInTheBoxAndTheBand) {
    Surface s = make_surface(1024);
    SlotValues ones, zeros{};
    ones.fill(1.0);
    draw_value_overlay(*s, 1.0, 150.0, 10, 0, ones, zeros);
    EXPECT_EQ(read_text(s, 40, 738, 9, white(s)), " 100.00 %");
    EXPECT_EQ(read_text(s, 120, 738, 7, white(s)), " 1.0000");
    EXPECT_EQ(read_text(s, 40, 753, 8, white(s)), "1 / 10 K");
    for (int i = 0; i < 50; ++i)
        expect_slot(s, i, i < 10 ? " 1.0000" : BLANK, i < 10 ? " .00000" : BLANK,
                    i == 0 ? red(s) : white(s));
    // Box: columns 30..229, rows h-35..h-3; band: rows 5..80 from column 1.
    for (auto [x, y] : {std::pair{30, 733}, {229, 765}, {1, 5}, {1023, 80}})
        EXPECT_EQ(at(s, x, y), 0u) << x << ',' << y;
    for (auto [x, y] :
         {std::pair{29, 733}, {230, 765}, {30, 732}, {30, 766}, {0, 5}, {1, 4}, {1023, 81}})
        EXPECT_EQ(at(s, x, y), GREY) << x << ',' << y;
}

TEST(ValueOverlay, PutsSlotsFrom25OnTheSecondRowPair) {
    Surface s = make_surface(1024);
    SlotValues scale{}, speed{};
    char up[16], down[16];
    for (int i = 0; i < 50; ++i) {
        scale[i] = i + 1;
        speed[i] = -(i + 1);
    }
    draw_value_overlay(*s, 1.0, 150.0, 26, 25, scale, speed);
    for (int i = 0; i < 50; ++i) {
        std::snprintf(up, sizeof up, "% .*f", i < 9 ? 4 : 3, scale[i]);
        std::snprintf(down, sizeof down, "% .*f", i < 9 ? 4 : 3, speed[i]);
        expect_slot(s, i, i < 26 ? up : BLANK, i < 26 ? down : BLANK, i == 25 ? red(s) : white(s));
    }
    EXPECT_EQ(read_text(s, 40, 753, 9, white(s)), "26 / 26 K");
}

TEST(ValueOverlay, NoSlotIsRedWhenTheSelectedOneIsNotInUse) {
    SlotValues ones;
    ones.fill(1.0);
    for (auto [active, selected, text] : {std::tuple{0, 3, "4 / 0 K"}, {5, 7, "8 / 5 K"}}) {
        Surface s = make_surface(1024);
        draw_value_overlay(*s, 1.0, 150.0, active, selected, ones, ones);
        EXPECT_EQ(count(s, red(s), 768), 0);
        EXPECT_EQ(read_text(s, 40, 753, 7, white(s)), text);
        EXPECT_EQ(count(s, 0, 81) == 76 * 1023, active == 0); // an empty band without slots
    }
}

TEST(ValueOverlay, LeavesOutTheBandUpTo1020ColumnsAndShowsZoomPercentages) {
    SlotValues ones;
    ones.fill(1.0);
    for (auto [zoom, text] : {std::pair{151.0, " 100.67 %"},
                              {15.0, " 10.000 %"},
                              {1500.0, " 1000.0 %"},
                              {0.0, " .00000 %"},
                              {-1.0, "-.66667 %"}}) {
        Surface s = make_surface(1020);
        draw_value_overlay(*s, -0.5, zoom, 10, 0, ones, ones);
        EXPECT_EQ(read_text(s, 40, 738, 9, white(s)), text);
        EXPECT_EQ(read_text(s, 120, 738, 7, white(s)), "-.50000");
        EXPECT_EQ(count(s, GREY, 81), 81 * 1020);
    }
}

} // namespace
