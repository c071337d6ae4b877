#include "app/console.h"
#include "app/frame_loop.h"
#include "app/startup.h"
#include "app/synthesis_state.h"

#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace {

constexpr int SURFACE_WIDTH = 1024;
constexpr int SURFACE_HEIGHT = 768;

[[noreturn]] void die_with_sdl_error(const char *what) {
    std::fprintf(stderr, "%s: %s\n", what, SDL_GetError());
    std::exit(1);
}

} // namespace

int main(int argc, char **argv) {
    const bool full_screen = wants_full_screen(argc, argv);
    write_help_text(stdout, console_encoding());

    HarmonicNumbers harmonic{};
    if (!choose_harmonic_numbers(STDIN_FILENO, stdin, stdout, harmonic)) {
        // Without this the wait for a, b or c would spin on a closed input for ever.
        std::fputs("Eingabe beendet - kein Graph gewaehlt\n", stderr);
        std::exit(1);
    }

    if (SDL_Init(SDL_INIT_VIDEO) < 0) {
        die_with_sdl_error("Couldn't initialize SDL");
    }
    std::atexit(SDL_Quit);
    SDL_Surface *surface =
        SDL_SetVideoMode(SURFACE_WIDTH, SURFACE_HEIGHT, 0, full_screen ? SDL_FULLSCREEN : 0);
    if (surface == nullptr) {
        die_with_sdl_error("Couldn't set video mode");
    }
    SDL_WM_SetCaption("Kurvello", nullptr);

    // A lock failure comes back as 1: a failure must not end as a success.
    const int status = run_frame_loop(*surface, harmonic);
    SDL_Quit();
    std::exit(status);
}
