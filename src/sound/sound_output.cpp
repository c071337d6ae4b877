#include "sound/sound.h"

#include "app/console.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

SoundLoop sound_loop{};

namespace {

// The window closes through the exit registration of start-up.
[[noreturn]] void exit_without_sound_device() {
    // Split literal: "\xF6ff" would read as one escape.
    write_console_text(stderr,
                       "Audio-Ger\xE4t konnte nicht ge\xF6"
                       "ffnet werden: ",
                       console_encoding());
    std::fprintf(stderr, "%s\n", SDL_GetError());
    std::exit(1);
}

// The same request at every open: 44100 Hz, signed 16-bit little-endian, mono, 512 samples.
SDL_AudioSpec make_sound_spec() {
    SDL_AudioSpec request{};
    request.freq = 44100;
    request.format = AUDIO_S16LSB;
    request.channels = 1;
    request.samples = SOUND_LOOP_SAMPLES;
    request.callback = audio_callback;
    request.userdata = nullptr;
    return request;
}

} // namespace

void open_sound_output() {
    Uint8 *data = static_cast<Uint8 *>(std::malloc(SOUND_LOOP_BYTES));
    if (data == nullptr) {
        SDL_SetError("Out of memory"); // SDL_OutOfMemory's text; not every SDL has it
        exit_without_sound_device();
    }
    // No device is open yet, so the audio thread cannot see these stores.
    sound_loop.data = data;
    sound_loop.length = SOUND_LOOP_BYTES;
    sound_loop.position = 0;

    // SDL_OpenAudio writes silence and size back into what it is given: build it afresh.
    SDL_AudioSpec sound_spec = make_sound_spec();
    if (SDL_OpenAudio(&sound_spec, nullptr) < 0) {
        exit_without_sound_device();
    }
    SDL_LockAudio();
    std::memset(sound_loop.data, 0, SOUND_LOOP_BYTES);
    SDL_UnlockAudio();
    SDL_PauseAudio(0);
}

void close_sound_output() {
    // The callback has stopped for good once SDL_CloseAudio returns.
    SDL_CloseAudio();
    std::free(sound_loop.data);
    sound_loop = SoundLoop{};
}

void audio_callback(void *, Uint8 *stream, int len) {
    Uint32 n = sound_loop.length - sound_loop.position;
    if (static_cast<Uint32>(len) < n) {
        n = static_cast<Uint32>(len);
    }
    // Copied, not mixed: not every SDL hands the stream over silent. Natively it is, and
    // mixing into silence at full volume is this copy.
    std::memcpy(stream, sound_loop.data + sound_loop.position, n);
    std::memset(stream + n, 0, static_cast<Uint32>(len) - n);
    sound_loop.position += n;
    if (sound_loop.position >= sound_loop.length) {
        sound_loop.position = 0;
    }
}
