// Start-up: window or full screen, the help text, the harmonic numbers and the surface.
#pragma once

#include "app/console.h"
#include "app/synthesis_state.h"

#include <SDL.h>

#include <cstdio>

// Returns false (a window) when the first argument begins with a lower-case n, else true.
bool wants_full_screen(int argc, const char *const *argv);

// Writes the 23 help texts, the last one without a line feed.
void write_help_text(std::FILE *out, ConsoleEncoding encoding);

// Reads key codes from fd until a, b or c arrives and returns it; -1 at end of input.
int wait_for_preset_key(int key_fd, std::FILE *out);

// Returns whether the key code chooses a preset: a, b or c.
bool is_preset_key(int key);

// Fills harmonic for preset a, b or c; c prompts on out and reads twenty values from in.
void fill_harmonic_numbers(int preset, std::FILE *in, std::FILE *out, HarmonicNumbers &harmonic);

// Waits for the preset key, then fills harmonic; false at end of input before a, b or c.
bool choose_harmonic_numbers(int key_fd, std::FILE *in, std::FILE *out, HarmonicNumbers &harmonic);

// Initialises SDL's video, registers SDL_Quit at exit and opens the 1024 x 768 surface;
// a failure ends the process with 1 and SDL's reason.
SDL_Surface &open_video_surface(bool full_screen);

// The page's preset-c dialogue over the whole lines typed so far: fills harmonic and writes
// what the console shows up to the prompt it would wait at; true once all twenty are read.
bool replay_typed_values(const char *typed, std::FILE *out, HarmonicNumbers &harmonic);
