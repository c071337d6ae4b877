#include "app/frame_loop.h"

#include "app/frame.h"

#include <cstdlib>
#include <memory>

namespace {

// Drains the queue; a quit request ends the process at once.
void poll_events() {
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        if (event.type == SDL_QUIT) {
            std::exit(0);
        }
    }
}

} // namespace

int run_frame_loop(SDL_Surface &surface, const HarmonicNumbers &harmonic) {
    SynthesisState state = init_synthesis_state(*surface.format, harmonic);
    const std::unique_ptr<FrameCache> cache = std::make_unique<FrameCache>(); // zero: none kept
    for (;;) {
        poll_events();
        // Both taken after the queue is empty.
        const Uint8 *keys = SDL_GetKeyState(nullptr);
        const SDLMod modifiers = SDL_GetModState();
        switch (run_frame(surface, state, *cache, keys, modifiers, StillFrame::show)) {
        case FrameEnd::shown:
            break;
        case FrameEnd::escape:
            return 0;
        case FrameEnd::lock_failed:
            return 1;
        }
    }
}
