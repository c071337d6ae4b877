#include "draw/draw.h"
#include "support/test_surface.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

constexpr Uint32 GREY = 0x123456; // stands for the plot under the overlay
const std::string BLANK(7, ' ');
const Uint32 WHITE = 0xFFFFFF, RED = 0xFF0000; // x8r8g8b8

// A 768-row surface of w columns with the overlay drawn on a grey picture.
SurfacePtr overlay(int w, double y_scale, double zoom, int active, int selected,
                   const SlotValues &scale, const SlotValues &speed) {
    SurfacePtr s = make_surface(w, 768);
    SDL_FillRect(s.get(), nullptr, GREY);
    draw_value_overlay(*s, y_scale, zoom, active, selected, scale, speed);
    return s;
}

// Reads the text at a draw_text position cell by cell; ink must be `colour` on pixel value 0.
// A slot's sign cell shares its first column with the slot before, so that column is skipped.
std::string read_text(const SDL_Surface &s, int x, int y, int length, Uint32 colour = WHITE,
                      int skip = 0) {
    std::string text;
    for (int i = 0; i < length; ++i) {
        char found = '?';
        for (char c : std::string(" 0123456789.-/%K")) {
            bool same = true;
            for (int r = 0; r < 8; ++r)
                for (int j = i == 0 ? skip : 0; j < 5; ++j) {
                    const bool ink = c != ' ' && digit_font[r][glyph_index(c) * 5 + j] != 0;
                    same = same && pixel_at(s, x + 10 + 6 * i + j, y + 5 + r) == (ink ? colour : 0);
                }
            found = same ? c : found;
        }
        text += found;
    }
    return text;
}

void expect_slot(const SDL_Surface &s, int i, const std::string &scale, const std::string &speed,
                 Uint32 colour) {
    const int x = 2 + 40 * (i % 25), y = 10 + 40 * (i / 25);
    EXPECT_EQ(read_text(s, x, y, 7, colour, 1), scale) << "slot " << i;
    EXPECT_EQ(read_text(s, x, y + 15, 7, colour, 1), speed) << "slot " << i;
}

int count(const SDL_Surface &s, Uint32 colour, int rows) {
    int n = 0;
    for (int y = 0; y < rows; ++y)
        for (int x = 0; x < s.w; ++x)
            n += pixel_at(s, x, y) == colour;
    return n;
}

TEST(ValueOverlay, ShowsTheDefaultsInTheBoxAndTheBand) {
    SlotValues ones, zeros{};
    ones.fill(1.0);
    const SurfacePtr s = overlay(1024, 1.0, 150.0, 10, 0, ones, zeros);
    EXPECT_EQ(read_text(*s, 40, 738, 9), " 100.00 %");
    EXPECT_EQ(read_text(*s, 120, 738, 7), " 1.0000");
    EXPECT_EQ(read_text(*s, 40, 753, 8), "1 / 10 K");
    for (int i = 0; i < 50; ++i)
        expect_slot(*s, i, i < 10 ? " 1.0000" : BLANK, i < 10 ? " .00000" : BLANK,
                    i == 0 ? RED : WHITE);
    // Box: columns 30..229, rows h-35..h-3; band: rows 5..80 from column 1.
    for (auto [x, y] : {std::pair{30, 733}, {229, 765}, {1, 5}, {1023, 80}})
        EXPECT_EQ(pixel_at(*s, x, y), 0u) << x << ',' << y;
    for (auto [x, y] :
         {std::pair{29, 733}, {230, 765}, {30, 732}, {30, 766}, {0, 5}, {1, 4}, {1023, 81}})
        EXPECT_EQ(pixel_at(*s, x, y), GREY) << x << ',' << y;
}

TEST(ValueOverlay, PutsSlotsFrom25OnTheSecondRowPair) {
    SlotValues scale{}, speed{};
    for (int i = 0; i < 50; ++i) {
        scale[i] = i + 1;
        speed[i] = -(i + 1);
    }
    const SurfacePtr s = overlay(1024, 1.0, 150.0, 26, 25, scale, speed);
    char up[16], down[16];
    for (int i = 0; i < 50; ++i) {
        std::snprintf(up, sizeof up, "% .*f", i < 9 ? 4 : 3, scale[i]);
        std::snprintf(down, sizeof down, "% .*f", i < 9 ? 4 : 3, speed[i]);
        expect_slot(*s, i, i < 26 ? up : BLANK, i < 26 ? down : BLANK, i == 25 ? RED : WHITE);
    }
    EXPECT_EQ(read_text(*s, 40, 753, 9), "26 / 26 K");
}

// No red without the selected slot in use; the band only above 1020 columns.
TEST(ValueOverlay, BoxTextsBandAndRedAtOtherSettings) {
    SlotValues ones;
    ones.fill(1.0);
    const struct {
        int w, active, selected;
        double zoom;
        std::string zoom_text, slot_text;
    } cases[] = {
        {1024, 0, 3, 150, " 100.00 %", "4 / 0 K"},   {1024, 5, 7, 150, " 100.00 %", "8 / 5 K"},
        {1020, 10, 0, 151, " 100.67 %", "1 / 10 K"}, {1020, 10, 0, 15, " 10.000 %", "1 / 10 K"},
        {1020, 9, 0, 1500, " 1000.0 %", "1 / 9 K"},  {1020, 10, 0, 0, " .00000 %", "1 / 10 K"},
        {1020, 10, 0, -1, "-.66667 %", "1 / 10 K"},
    };
    for (const auto &c : cases) {
        const SurfacePtr s = overlay(c.w, -0.5, c.zoom, c.active, c.selected, ones, ones);
        EXPECT_EQ(read_text(*s, 40, 738, 9), c.zoom_text);
        EXPECT_EQ(read_text(*s, 120, 738, 7), "-.50000");
        EXPECT_EQ(read_text(*s, 40, 753, c.slot_text.size()), c.slot_text);
        EXPECT_EQ(count(*s, RED, 768), 0);
        EXPECT_EQ(count(*s, 0, 81) == 76 * 1023, c.active == 0 && c.w > 1020); // empty band
        EXPECT_EQ(count(*s, GREY, 81) == 81 * c.w, c.w <= 1020);               // no band
    }
}

} // namespace
