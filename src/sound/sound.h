// The looping tone: the loop buffer shared with the audio thread and what fills it.
#pragma once

#include "app/synthesis_state.h"

#include <SDL.h>

constexpr int SOUND_REFRESH_INTERVAL = 10; // frames between refreshes

// The record the audio thread plays from.
struct SoundLoop {
    Uint8 *data;     // SOUND_LOOP_BYTES while sound is on, else null
    Uint32 position; // byte offset of the next callback's start
    Uint32 length;   // bytes in data
};

extern SoundLoop sound_loop;

// Allocates the loop, opens the device and starts silent playback; exits with 1 on failure.
void open_sound_output();

// Closes the device, then frees the loop and zeroes the record.
void close_sound_output();

// Plays the rest of the loop from position into stream, at most len bytes.
void audio_callback(void *userdata, Uint8 *stream, int len);

// Rewrites the loop with one period of the current sum, under the audio lock, unless it
// already holds it; then state.term keeps the last sample's limited terms. Sound must be on.
void synthesize_sound_loop(SynthesisState &state);
