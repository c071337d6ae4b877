// Runs frames of held keys through the native core, as the page tests describe them, and
// writes what the native program would then show and play: the surface's RGB rows, then one
// refresh of the sound loop, 1024 bytes.
// Usage: kurvello_replay PRESET [FRAME...]
//   PRESET a, b, or c with the typed values on standard input
//   FRAME  SDL key names joined by "," (as SDL_GetKeyName spells them), "*N" for N frames
// A first frame without keys always runs, as the page's first frame.
#include "app/frame.h"
#include "app/startup.h"
#include "sound/sound.h"

#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

SDLKey key_named(const std::string &name) {
    for (int key = 0; key < SDLK_LAST; key++) {
        if (name == SDL_GetKeyName(static_cast<SDLKey>(key))) {
            return static_cast<SDLKey>(key);
        }
    }
    std::fprintf(stderr, "no key named '%s'\n", name.c_str());
    std::exit(2);
}

void run_frames(SDL_Surface &surface, SynthesisState &state, const std::string &frame) {
    Uint8 keys[SDLK_LAST] = {};
    int mods = 0;
    const std::size_t star = frame.find('*');
    const std::string names = frame.substr(0, star);
    for (std::size_t at = 0; at < names.size();) {
        const std::size_t end = std::min(names.find(',', at), names.size());
        const SDLKey key = key_named(names.substr(at, end - at));
        keys[key] = 1;
        mods |= key == SDLK_LCTRL ? KMOD_LCTRL : key == SDLK_LSHIFT ? KMOD_LSHIFT : 0;
        at = end + 1;
    }
    const int count = star == std::string::npos ? 1 : std::atoi(frame.c_str() + star + 1);
    for (int i = 0; i < count; i++) {
        run_frame(surface, state, keys, static_cast<SDLMod>(mods));
    }
}

} // namespace

int main(int argc, char **argv) {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    SDL_Init(SDL_INIT_VIDEO); // the key names
    if (argc < 2) {
        std::fputs("usage: kurvello_replay PRESET [FRAME...]\n", stderr);
        return 2;
    }
    std::FILE *echo = std::fopen("/dev/null", "w");
    HarmonicNumbers harmonic{};
    fill_harmonic_numbers(argv[1][0], stdin, echo, harmonic);
    SDL_Surface *surface =
        SDL_CreateRGBSurface(SDL_SWSURFACE, 1024, 768, 32, 0xFF0000, 0xFF00, 0xFF, 0);
    SynthesisState state = init_synthesis_state(*surface->format, harmonic);
    run_frames(*surface, state, "");
    for (int i = 2; i < argc; i++) {
        run_frames(*surface, state, argv[i]);
    }

    const auto *pixels = static_cast<const Uint32 *>(surface->pixels);
    for (int i = 0; i < surface->w * surface->h; i++) {
        const Uint8 rgb[3] = {Uint8(pixels[i] >> 16), Uint8(pixels[i] >> 8), Uint8(pixels[i])};
        std::fwrite(rgb, 1, 3, stdout);
    }
    Uint8 loop[SOUND_LOOP_BYTES];
    sound_loop = SoundLoop{loop, 0, SOUND_LOOP_BYTES};
    synthesize_sound_loop(state);
    std::fwrite(loop, 1, SOUND_LOOP_BYTES, stdout);
    return 0;
}
