// The looping tone: the loop buffer shared with the audio thread and what fills it.
#pragma once

#include "app/sine_inputs.h"
#include "app/synthesis_state.h"

#include <SDL.h>

#include <array>

constexpr int SOUND_LOOP_SAMPLES = 512;                  // samples in one period of the loop
constexpr int SOUND_LOOP_BYTES = SOUND_LOOP_SAMPLES * 2; // signed 16-bit little-endian samples
constexpr int SOUND_REFRESH_INTERVAL = 10;               // frames between refreshes

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

// The sample sines and the loop of earlier refreshes, reused while their inputs stay the same.
// All zero (as a new record is): nothing kept.
struct LoopCache {
    // sin(a) of slot j at loop sample i, a as the sound loop forms it
    std::array<std::array<double, HARMONIC_SLOTS>, SOUND_LOOP_SAMPLES> sample_sine;
    std::array<SineInputs, HARMONIC_SLOTS> sample_inputs; // what each slot's samples hold
    SlotValues loop_scale;                                // scales of the loop last written
    int loop_count;                                       // active_count of that loop
    std::array<Uint8, SOUND_LOOP_BYTES> loop_bytes;       // the bytes last written
};

// Rewrites the loop with one period of the current sum, under the audio lock, unless it
// already holds it (as kept tells); then state.term keeps the last sample's limited terms.
// Sound must be on.
void synthesize_sound_loop(SynthesisState &state, LoopCache &kept);
