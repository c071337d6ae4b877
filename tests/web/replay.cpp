// Writes what the native program shows and plays after a first frame without keys and then
// frames of held keys: the RGB rows, then one sound-loop refresh, then the overlay's texts of
// the selected slot and the view, a line each: slot text, harmonic number, scale and speed
// texts, zoom text, y-scale text. Usage: kurvello_replay START [FRAME...]. START: a or b, c
// (the values on standard input), a state described as expected.txt's link cases describe it
// ("a active=5 speed2=0.01"), or a link's fragment with its "#", read as the page reads it (a
// bad one: its German line written, status 3). FRAME: SDL key names joined by ",", with "*N"
// for N frames.
#include "app/frame.h"
#include "app/startup.h"
#include "draw/value_overlay.h"
#include "draw/value_text.h"
#include "sound/sound.h"
#include "support/described_state.h"
#include "web/share_link.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <sstream>
#include <string>

namespace {

void run_frames(SDL_Surface &surface, SynthesisState &state, FrameCache &cache,
                const std::string &frame) {
    Uint8 keys[SDLK_LAST] = {};
    int mods = 0;
    std::istringstream names(frame.substr(0, frame.find('*')));
    for (std::string name; std::getline(names, name, ',');) {
        int key = 0;
        while (key < SDLK_LAST && name != SDL_GetKeyName(SDLKey(key)))
            key++;
        if (key == SDLK_LAST)
            std::exit(2); // a test asking for a key that has no such name
        keys[key] = 1;
        mods |= key == SDLK_LCTRL ? KMOD_LCTRL : key == SDLK_LSHIFT ? KMOD_LSHIFT : 0;
    }
    const std::size_t star = frame.find('*');
    for (int i = star == std::string::npos ? 1 : std::atoi(&frame[star + 1]); i > 0; i--)
        run_frame(surface, state, cache, keys, SDLMod(mods), StillFrame::show);
}

SynthesisState start_state(const SDL_PixelFormat &format, const std::string &start) {
    if (start == "c") {
        HarmonicNumbers harmonic{};
        fill_harmonic_numbers('c', stdin, std::fopen("/dev/null", "w"), harmonic);
        return init_synthesis_state(format, harmonic);
    }
    if (start.starts_with('#')) {
        SynthesisState state = init_synthesis_state(format, HarmonicNumbers{});
        const ShareLinkStatus status = decode_share_link(start, state);
        if (status != ShareLinkStatus::ok) {
            std::puts(share_link_message(status));
            std::exit(3);
        }
        return state;
    }
    std::istringstream words(start);
    std::vector<std::string> description;
    for (std::string word; words >> word;)
        description.push_back(word);
    return described_state(format, description);
}

} // namespace

int main(int argc, char **argv) {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    SDL_Init(SDL_INIT_VIDEO); // the key names
    SDL_Surface *surface = SDL_CreateRGBSurface(0, 1024, 768, 32, 0xFF0000, 0xFF00, 0xFF, 0);
    SynthesisState state = start_state(*surface->format, argc > 1 ? argv[1] : "a");
    const auto cache = std::make_unique<FrameCache>();
    for (int i = 1; i < argc; i++)
        run_frames(*surface, state, *cache, i == 1 ? "" : argv[i]);
    for (int i = 0; i < 1024 * 768; i++) {
        const Uint32 pixel = static_cast<const Uint32 *>(surface->pixels)[i];
        const Uint8 rgb[3] = {Uint8(pixel >> 16), Uint8(pixel >> 8), Uint8(pixel)};
        std::fwrite(rgb, 1, 3, stdout);
    }
    Uint8 loop[SOUND_LOOP_BYTES] = {};
    sound_loop = SoundLoop{loop, 0, SOUND_LOOP_BYTES};
    synthesize_sound_loop(state, cache->loop);
    std::fwrite(loop, 1, SOUND_LOOP_BYTES, stdout);
    const int slot = state.selected;
    std::printf("%s\n%s\n%s\n%s\n%s\n%s\n", slot_text(slot, state.active_count).data(),
                format_integer(state.harmonic[slot]).data(), format_value(state.scale[slot]).data(),
                format_value(state.shift_speed[slot]).data(), zoom_text(state.zoom).data(),
                format_value(state.y_scale).data());
}
