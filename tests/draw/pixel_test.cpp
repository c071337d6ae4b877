#include "draw/pixel.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <set>
#include <utility>
#include <vector>

namespace {

using Points = std::set<std::pair<int, int>>;

SDL_Surface *make_surface(int bits, int w, int h) {
    SDL_Surface *s = SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, bits, 0, 0, 0, 0);
    SDL_FillRect(s, nullptr, 0);
    return s;
}

std::vector<Uint8> bytes_of(const SDL_Surface &s) {
    const auto *p = static_cast<const Uint8 *>(s.pixels);
    return std::vector<Uint8>(p, p + s.pitch * s.h);
}

// Every non-zero pixel of a 32-bit surface.
Points drawn(const SDL_Surface &s) {
    Points points;
    for (int y = 0; y < s.h; y++) {
        for (int x = 0; x < s.w; x++) {
            Uint32 v;
            std::memcpy(&v, static_cast<const Uint8 *>(s.pixels) + y * s.pitch + x * 4, 4);
            if (v != 0) {
                points.insert({x, y});
            }
        }
    }
    return points;
}

Points line(int w, int h, int x0, int y0, int dx, int dy) {
    SDL_Surface *s = make_surface(32, w, h);
    draw_line(*s, 0xFFFFFFFF, x0, y0, dx, dy);
    Points points = drawn(*s);
    SDL_FreeSurface(s);
    return points;
}

Points column(int x, int first, int last) {
    Points points;
    for (int y = first; y <= last; y++) {
        points.insert({x, y});
    }
    return points;
}

TEST(PutPixel, StoresLowBytesOfEachSize) {
    const Uint32 pixel = 0xAA030201;
    const Uint16 low = 0x0201;
    const Uint8 three[] = {1, 2, 3}; // low byte first whatever the machine's order
    for (int bits : {8, 16, 24, 32}) {
        SDL_Surface *s = make_surface(bits, 6, 4);
        std::vector<Uint8> want = bytes_of(*s);
        Uint8 *at = want.data() + 2 * s->pitch + 3 * (bits / 8);
        const void *stored[] = {three, &low, three, &pixel};
        std::memcpy(at, stored[bits / 8 - 1], bits / 8);
        put_pixel(*s, 3, 2, pixel);
        EXPECT_EQ(bytes_of(*s), want) << bits << " bits";
        SDL_FreeSurface(s);
    }
}

TEST(PutPixel, WritesNothingForOtherSizesOrOutside) {
    SDL_Surface *s = make_surface(32, 6, 4);
    const std::vector<Uint8> before = bytes_of(*s);
    for (auto [x, y] : Points{{-1, 0}, {0, -1}, {6, 0}, {0, 4}, {INT_MIN, INT_MAX}}) {
        put_pixel(*s, x, y, 0xFFFFFFFF);
    }
    s->format->BytesPerPixel = 5;
    put_pixel(*s, 1, 1, 0xFFFFFFFF);
    s->format->BytesPerPixel = 4;
    EXPECT_EQ(bytes_of(*s), before);
    SDL_FreeSurface(s);
}

TEST(DrawLine, WorkedExamples) {
    EXPECT_EQ(line(40, 40, 10, 20, 2, 4), (Points{{10, 20}, {10, 21}, {11, 22}, {11, 23}}));
    EXPECT_EQ(line(40, 40, 0, 10, 3, 1), (Points{{0, 10}, {1, 10}, {2, 10}}));
    EXPECT_EQ(line(40, 40, 0, 10, 4, -2), (Points{{0, 8}, {1, 8}, {2, 9}, {3, 9}}));
    EXPECT_EQ(line(40, 40, 5, 10, 1, 4), column(5, 10, 13));
    EXPECT_EQ(line(40, 40, 5, 10, 1, -4), column(5, 6, 9));
    EXPECT_EQ(line(40, 40, 5, 10, 1, -1), column(5, 9, 9));
    EXPECT_EQ(line(40, 40, 5, 10, 1, 1), column(5, 10, 10));
    EXPECT_EQ(line(40, 40, 5, 10, 1, 0), column(5, 10, 10));
    EXPECT_EQ(line(40, 40, 5, 10, 0, 3), column(5, 10, 12));
    EXPECT_TRUE(line(40, 40, 5, 10, 0, 0).empty());
}

TEST(DrawLine, KeepsToRowsOneToHeightLessOne) {
    EXPECT_EQ(line(8, 16, 3, -5, 1, 30), column(3, 1, 15));
    EXPECT_EQ(line(8, 16, 3, 20, 1, -30), column(3, 1, 15));
    EXPECT_TRUE(line(8, 16, 0, 0, 4, 0).empty());
    EXPECT_TRUE(line(8, 16, 0, 16, 4, 0).empty());
    EXPECT_EQ(line(8, 16, 2, 15, 3, 0), (Points{{2, 15}, {3, 15}, {4, 15}}));
}

TEST(DrawLine, HugeRunsDrawOnlyTheirVisibleRows) {
    EXPECT_EQ(line(8, 16, 3, 1000000000, 1, -2000000000), column(3, 1, 15));
    EXPECT_EQ(line(8, 16, 3, 5, 1, 2000000000), column(3, 5, 15));
    EXPECT_EQ(line(8, 16, 3, -1999999990, 1, 2000000000), column(3, 1, 9));
    EXPECT_EQ(line(8, 16, 3, INT_MAX, 1, INT_MIN), column(3, 1, 15));
    EXPECT_TRUE(line(8, 16, 3, INT_MIN, 1, INT_MIN).empty());
    EXPECT_EQ(line(8, 16, 2, 4, INT_MAX, 1),
              (Points{{2, 4}, {3, 4}, {4, 4}, {5, 4}, {6, 4}, {7, 4}}));
}

} // namespace
