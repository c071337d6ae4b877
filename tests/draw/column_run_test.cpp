// Runs one column wide, the only runs the plot draws, at every offset around the edges.
#include "draw/draw.h"
#include "support/test_surface.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

// The rule: the rows from the smaller of y0 and y0 + dy up to, not including, the larger, or
// y0 alone when dy is 0, each only within 1..h-1. The surface lies inside memory with two
// more rows above and below, which nothing may touch.
TEST(ColumnRun, DrawsTheRowsBetweenItsEndsInsideTheEdges) {
    constexpr int h = 9, w = 4, margin = 2;
    for (int y0 = -4; y0 <= h + 4; y0++) {
        for (int dy = -h - 6; dy <= h + 6; dy++) {
            std::vector<Uint32> memory(w * (h + 2 * margin));
            SurfacePtr s(SDL_CreateRGBSurfaceFrom(memory.data() + w * margin, w, h, 32, w * 4,
                                                  0xFF0000, 0xFF00, 0xFF, 0),
                         SDL_FreeSurface);
            draw_line(*s, 0xFFFFFF, 2, y0, 1, dy);
            const int low = dy == 0 ? y0 : std::min(y0, y0 + dy);
            const int high = dy == 0 ? y0 + 1 : std::max(y0, y0 + dy);
            Pixels want, got;
            for (int y = std::max(low, 1); y < std::min(high, h); y++)
                want.insert({2, y});
            for (int i = 0; i < int(memory.size()); i++)
                if (memory[i] != 0)
                    got.insert({i % w, i / w - margin});
            ASSERT_EQ(got, want) << y0 << ' ' << dy;
        }
    }
}

} // namespace
