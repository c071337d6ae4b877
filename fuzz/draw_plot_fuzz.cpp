// Arbitrary state values through whole frames (plot and overlay) on surfaces of every depth.
#include "app/frame.h"
#include "fuzz_input.h"

#include <array>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    static const bool video =
        setenv("SDL_VIDEODRIVER", "dummy", 1) == 0 && SDL_Init(SDL_INIT_VIDEO) == 0;
    static FrameCache *const cache = new FrameCache(); // off the stack; forgotten for each input
    FuzzInput in{data, size};
    SDL_Surface *surface = take_surface(in);
    if (!video || surface == nullptr)
        return 0;
    HarmonicNumbers harmonic{};
    for (int &k : harmonic)
        k = take_int(in, 0, 100);
    SynthesisState s = init_synthesis_state(*surface->format, harmonic);
    s.zoom = take_double(in), s.y_scale = take_double(in);
    s.active_count = take_int(in, 0, HARMONIC_SLOTS),
    s.selected = take_int(in, 0, HARMONIC_SLOTS - 1);
    s.clear_screen = take_int(in, 0, 1), s.thick_curve = take_int(in, 0, 1),
    s.line_mode = take_int(in, 0, 1);
    for (int i = 0; i < HARMONIC_SLOTS && in.size > 0; i++)
        s.scale[i] = take_double(in), s.shift[i] = take_double(in),
        s.shift_speed[i] = take_double(in);
    const std::array<Uint8, SDLK_LAST> no_keys{};
    forget_kept_work(*cache);
    for (int frame = take_int(in, 1, 2); frame > 0; frame--)
        run_frame(*surface, s, *cache, no_keys.data(), KMOD_NONE, StillFrame::show);
    SDL_FreeSurface(surface);
    return 0;
}
