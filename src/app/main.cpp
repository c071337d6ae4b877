#include "frame_loop.h"
#include "synthesis_state.h"

#include <SDL.h>

#include <cstdio>
#include <cstdlib>

// Temporary start-up: preset from the first of a, b on standard input.
int main(int argc, char **argv) {
    const bool full_screen = !(argc > 1 && argv[1][0] == 'n');
    HarmonicNumbers harmonic{};
    int c;
    while ((c = std::getchar()) != EOF && c != 'a' && c != 'b') {
    }
    for (int i = 0; i < HARMONIC_SLOTS; i++) {
        harmonic[i] = c == 'b' ? i + 1 : 2 * i + 1;
    }
    if (SDL_Init(SDL_INIT_VIDEO) < 0) {
        std::fprintf(stderr, "Couldn't initialize SDL: %s\n", SDL_GetError());
        std::exit(1);
    }
    std::atexit(SDL_Quit);
    SDL_Surface *surface = SDL_SetVideoMode(1024, 768, 0, full_screen ? SDL_FULLSCREEN : 0);
    if (surface == nullptr) {
        std::fprintf(stderr, "Couldn't set video mode: %s\n", SDL_GetError());
        std::exit(1);
    }
    const int status = run_frame_loop(*surface, harmonic);
    SDL_Quit();
    std::exit(status);
}
