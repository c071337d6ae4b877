// Preloaded into the real program (LD_PRELOAD) by the whole-program tests: SDL_LockSurface
// refuses from its Nth call on, N in KURVELLO_REFUSE_LOCK_FROM. A window's surface needs no
// lock, so the program would never ask: the surface SDL_SetVideoMode returns is marked as
// blitted asynchronously (SDL_ASYNCBLIT), which SDL_MUSTLOCK counts, and from then on every
// frame locks it as it would a hardware surface. Locks before the Nth are SDL's own.
#include <SDL.h>
#include <dlfcn.h>

#include <cstdlib>

namespace {

int locks; // calls so far

template <typename Function> Function next(const char *name) {
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

} // namespace

extern "C" SDL_Surface *SDL_SetVideoMode(int width, int height, int bpp, Uint32 flags) {
    SDL_Surface *surface = next<SDL_Surface *(*)(int, int, int, Uint32)>("SDL_SetVideoMode")(
        width, height, bpp, flags);
    if (surface != nullptr) {
        surface->flags |= SDL_ASYNCBLIT;
    }
    return surface;
}

extern "C" int SDL_LockSurface(SDL_Surface *surface) {
    if (++locks >= std::atoi(std::getenv("KURVELLO_REFUSE_LOCK_FROM"))) {
        SDL_SetError("refused by the test");
        return -1;
    }
    return next<int (*)(SDL_Surface *)>("SDL_LockSurface")(surface);
}
