#include "draw/pixel.h"
#include "support/test_surface.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

namespace {

// Pixel 0xAA030201 at (3, 2): the low bytes of each size, 3 bytes least significant first.
TEST(PutPixel, StoresTheLowBytesOfEachSizeAndNothingForOthers) {
    const std::vector<Uint8> stored[] = {{1}, {1, 2}, {1, 2, 3}, {1, 2, 3, 0xAA}, {}};
    for (int bytes = 1; bytes <= 5; bytes++) {
        SurfacePtr s = make_surface(6, 4, bytes == 5 ? 32 : 8 * bytes);
        s->format->BytesPerPixel = static_cast<Uint8>(bytes);
        put_pixel(*s, 3, 2, 0xAA030201);
        std::vector<Uint8> want(s->pitch * 4);
        std::copy(stored[bytes - 1].begin(), stored[bytes - 1].end(),
                  want.begin() + 2 * s->pitch + 3 * bytes);
        const auto *p = static_cast<const Uint8 *>(s->pixels);
        EXPECT_EQ(std::vector<Uint8>(p, p + s->pitch * 4), want) << bytes;
        s->format->BytesPerPixel = static_cast<Uint8>(bytes == 5 ? 4 : bytes);
    }
}

Pixels column(int x, int first, int last) {
    Pixels points;
    for (int y = first; y <= last; y++)
        points.insert({x, y});
    return points;
}

// Worked examples, rows 1 … h − 1 only, and runs of billions of rows that must end at once.
TEST(DrawLine, DrawsExactlyTheRowsOfItsRun) {
    const struct {
        int h, x0, y0, dx, dy;
        Pixels want;
    } cases[] = {
        {40, 10, 20, 2, 4, {{10, 20}, {10, 21}, {11, 22}, {11, 23}}},
        {40, 0, 10, 3, 1, {{0, 10}, {1, 10}, {2, 10}}},
        {40, 0, 10, 4, -2, {{0, 8}, {1, 8}, {2, 9}, {3, 9}}},
        {40, 5, 10, 1, 4, column(5, 10, 13)},
        {40, 5, 10, 1, -4, column(5, 6, 9)},
        {40, 5, 10, 1, -1, {{5, 9}}},
        {40, 5, 10, 1, 1, {{5, 10}}},
        {40, 5, 10, 1, 0, {{5, 10}}},
        {40, 0, 10, 0, 3, column(0, 10, 12)},
        {40, 5, 10, 0, 0, {}},
        {16, 3, -5, 1, 30, column(3, 1, 15)},
        {16, 3, 20, 1, -30, column(3, 1, 15)},
        {16, 0, 0, 4, 0, {}},
        {16, 0, 16, 4, 0, {}},
        {16, 2, 15, 3, 0, {{2, 15}, {3, 15}, {4, 15}}},
        {16, 3, 1000000000, 1, -2000000000, column(3, 1, 15)},
        {16, 3, -1999999990, 1, 2000000000, column(3, 1, 9)},
        {16, 3, INT_MAX, 1, INT_MIN, column(3, 1, 15)},
        {16, 3, INT_MIN, 1, INT_MIN, {}},
    };
    for (const auto &c : cases) {
        SurfacePtr s = make_surface(40, c.h);
        draw_line(*s, 0xFFFFFF, c.x0, c.y0, c.dx, c.dy);
        EXPECT_EQ(pixels_of(*s, 0, true), c.want)
            << c.x0 << ',' << c.y0 << ',' << c.dx << ',' << c.dy;
    }
}

} // namespace
