#include "draw/pixel.h"
#include "support/test_surface.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

// Pixel 0xAA030201 at (3, 2): the low bytes of each size, 3 bytes least significant first;
// nothing for a size outside 1 to 4.
TEST(PutPixel, StoresTheLowBytesOfEachSizeAndNothingForOthers) {
    const Uint32 stored[] = {0x01, 0x0201, 0x030201, 0xAA030201, 0};
    for (int bytes = 1; bytes <= 5; bytes++) {
        SurfacePtr s = make_surface(6, 4, bytes == 5 ? 8 : 8 * bytes);
        s->format->BytesPerPixel = static_cast<Uint8>(bytes);
        put_pixel(*s, 3, 2, 0xAA030201);
        s->format->BytesPerPixel = static_cast<Uint8>(bytes == 5 ? 1 : bytes);
        EXPECT_EQ(pixels_of(*s, 0, true), (bytes == 5 ? Pixels{} : Pixels{{3, 2}})) << bytes;
        EXPECT_EQ(pixel_at(*s, 3, 2), stored[bytes - 1]) << bytes;
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
        // clang-format off
        {40, 10, 20, 2, 4, {{10, 20}, {10, 21}, {11, 22}, {11, 23}}}, {40, 0, 10, 3, 1, {{0, 10}, {1, 10}, {2, 10}}},
        {40, 0, 10, 4, -2, {{0, 8}, {1, 8}, {2, 9}, {3, 9}}}, {40, 5, 10, 1, 4, column(5, 10, 13)},
        {40, 5, 10, 1, -4, column(5, 6, 9)}, {40, 5, 10, 1, -1, {{5, 9}}}, {40, 5, 10, 1, 1, {{5, 10}}},
        {40, 5, 10, 1, 0, {{5, 10}}}, {40, 0, 10, 0, 3, column(0, 10, 12)}, {40, 5, 10, 0, 0, {}},
        {16, 3, -5, 1, 30, column(3, 1, 15)}, {16, 3, 20, 1, -30, column(3, 1, 15)}, {16, 0, 0, 4, 0, {}},
        {16, 2, 16, 3, 0, {}}, {16, 2, 15, 3, 0, {{2, 15}, {3, 15}, {4, 15}}},
        {16, 3, 1000000000, 1, -2000000000, column(3, 1, 15)}, {16, 3, -1999999990, 1, 2000000000, column(3, 1, 9)},
        {16, 3, INT_MAX, 1, INT_MIN, column(3, 1, 15)},
        // clang-format on
    };
    for (const auto &c : cases) {
        SurfacePtr s = make_surface(40, c.h);
        draw_line(*s, 0xFFFFFF, c.x0, c.y0, c.dx, c.dy);
        EXPECT_EQ(pixels_of(*s, 0, true), c.want)
            << c.x0 << ',' << c.y0 << ',' << c.dx << ',' << c.dy;
    }
}

} // namespace
