#include "app/console.h"
#include "app/frame_loop.h"
#include "app/startup.h"
#include "app/synthesis_state.h"

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

int main(int argc, char **argv) {
    const bool full_screen = wants_full_screen(argc, argv);
    write_help_text(stdout, console_encoding());

    HarmonicNumbers harmonic{};
    if (!choose_harmonic_numbers(STDIN_FILENO, stdin, stdout, harmonic)) {
        // Without this the wait for a, b or c would spin on a closed input for ever.
        std::fputs("Eingabe beendet - kein Graph gewaehlt\n", stderr);
        std::exit(1);
    }

    SDL_Surface &surface = open_video_surface(full_screen);
    // A lock failure comes back as 1: a failure must not end as a success.
    const int status = run_frame_loop(surface, harmonic);
    SDL_Quit();
    std::exit(status);
}
