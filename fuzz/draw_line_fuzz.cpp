// Lines within the primitive's contract (every column inside the surface, y0 + dy an int,
// rows anything) must stay in bounds and finish in bounded time.
#include "draw/pixel.h"
#include "fuzz_input.h"

#include <climits>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    FuzzInput in{data, size};
    SDL_Surface *surface = take_surface(in);
    if (surface == nullptr)
        return 0;
    const int dx = take_int(in, 0, surface->w - 1);
    const int x0 = take_int(in, 0, surface->w - 1 - dx);
    const auto y0 = static_cast<int>(take_bits(in, 4)), dy = static_cast<int>(take_bits(in, 4));
    const bool overflows =
        (dy > 0 && y0 > INT_MAX - dy) || (dy < 0 && y0 < INT_MIN - dy) || dy == INT_MIN;
    draw_line(*surface, static_cast<Uint32>(take_bits(in, 4)), x0, y0, dx, overflows ? 0 : dy);
    SDL_FreeSurface(surface);
    return 0;
}
