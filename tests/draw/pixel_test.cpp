#include "draw/pixel.h"
#include "support/test_surface.h"

#include <gtest/gtest.h>

#include <climits>
#include <set>
#include <utility>
#include <vector>

namespace {

using Points = std::set<std::pair<int, int>>;

std::vector<Uint8> bytes_of(const SDL_Surface &s) {
    const auto *p = static_cast<const Uint8 *>(s.pixels);
    return std::vector<Uint8>(p, p + s.pitch * s.h);
}

// Every pixel a line leaves on a blank w × h surface.
Points line(int w, int h, int x0, int y0, int dx, int dy) {
    SurfacePtr s = make_surface(w, h);
    draw_line(*s, 0xFFFFFFFF, x0, y0, dx, dy);
    Points points;
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++)
            if (pixel_at(*s, x, y) != 0)
                points.insert({x, y});
    return points;
}

Points column(int x, int first, int last) {
    Points points;
    for (int y = first; y <= last; y++)
        points.insert({x, y});
    return points;
}

TEST(PutPixel, StoresLowBytesOfEachSize) {
    const Uint32 pixel = 0xAA030201;
    const Uint16 low = 0x0201;
    const Uint8 three[] = {1, 2, 3}; // low byte first whatever the machine's order
    const void *stored[] = {three, &low, three, &pixel};
    for (int bits : {8, 16, 24, 32}) {
        SurfacePtr s = make_surface(6, 4, bits);
        std::vector<Uint8> want = bytes_of(*s);
        std::memcpy(want.data() + 2 * s->pitch + 3 * (bits / 8), stored[bits / 8 - 1], bits / 8);
        put_pixel(*s, 3, 2, pixel);
        EXPECT_EQ(bytes_of(*s), want) << bits << " bits";
    }
}

TEST(PutPixel, WritesNothingForOtherSizesOrOutside) {
    SurfacePtr s = make_surface(6, 4);
    for (auto [x, y] : Points{{-1, 0}, {0, -1}, {6, 0}, {0, 4}, {INT_MIN, INT_MAX}})
        put_pixel(*s, x, y, 0xFFFFFFFF);
    s->format->BytesPerPixel = 5;
    put_pixel(*s, 1, 1, 0xFFFFFFFF);
    s->format->BytesPerPixel = 4;
    EXPECT_EQ(bytes_of(*s), std::vector<Uint8>(s->pitch * 4, 0));
}

// Worked examples, rows 1 … h − 1 only, and runs of billions of rows that must end at once.
TEST(DrawLine, DrawsExactlyTheRowsOfItsRun) {
    const struct {
        int w, h, x0, y0, dx, dy;
        Points want;
    } cases[] = {
        {40, 40, 10, 20, 2, 4, {{10, 20}, {10, 21}, {11, 22}, {11, 23}}},
        {40, 40, 0, 10, 3, 1, {{0, 10}, {1, 10}, {2, 10}}},
        {40, 40, 0, 10, 4, -2, {{0, 8}, {1, 8}, {2, 9}, {3, 9}}},
        {40, 40, 5, 10, 1, 4, column(5, 10, 13)},
        {40, 40, 5, 10, 1, -4, column(5, 6, 9)},
        {40, 40, 5, 10, 1, -1, {{5, 9}}},
        {40, 40, 5, 10, 1, 1, {{5, 10}}},
        {40, 40, 5, 10, 1, 0, {{5, 10}}},
        {40, 40, 5, 10, 0, 3, column(5, 10, 12)},
        {40, 40, 5, 10, 0, 0, {}},
        {8, 16, 3, -5, 1, 30, column(3, 1, 15)},
        {8, 16, 3, 20, 1, -30, column(3, 1, 15)},
        {8, 16, 0, 0, 4, 0, {}},
        {8, 16, 0, 16, 4, 0, {}},
        {8, 16, 2, 15, 3, 0, {{2, 15}, {3, 15}, {4, 15}}},
        {8, 16, 3, 1000000000, 1, -2000000000, column(3, 1, 15)},
        {8, 16, 3, 5, 1, 2000000000, column(3, 5, 15)},
        {8, 16, 3, -1999999990, 1, 2000000000, column(3, 1, 9)},
        {8, 16, 3, INT_MAX, 1, INT_MIN, column(3, 1, 15)},
        {8, 16, 3, INT_MIN, 1, INT_MIN, {}},
        {8, 16, 2, 4, INT_MAX, 1, {{2, 4}, {3, 4}, {4, 4}, {5, 4}, {6, 4}, {7, 4}}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(line(c.w, c.h, c.x0, c.y0, c.dx, c.dy), c.want)
            << c.x0 << ',' << c.y0 << ',' << c.dx << ',' << c.dy;
}

} // namespace
