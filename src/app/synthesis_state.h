// The whole interactive state of the viewer and the operations that own it.
#pragma once

#include <SDL.h>

#include <array>
#include <cstdint>

constexpr int HARMONIC_SLOTS = 50;

using HarmonicNumbers = std::array<int, HARMONIC_SLOTS>;
using SlotValues = std::array<double, HARMONIC_SLOTS>;

// Was-down flags of the press-edge keys: 1 while the key was down when last evaluated.
struct KeyLatches {
    int clear_latch;        // c
    int thick_latch;        // d
    int line_latch;         // l
    int reset_latch;        // r
    int sound_latch;        // s
    int numbers_latch;      // y
    int enter_latch;        // keypad Enter, with and without Ctrl
    int select_down_latch;  // cursor left, frames without Ctrl
    int select_up_latch;    // cursor right, frames without Ctrl
    int count_down_latch;   // cursor left, frames with Ctrl
    int count_up_latch;     // cursor right, frames with Ctrl
    int count_up10_latch;   // cursor up, frames with Ctrl
    int count_down10_latch; // cursor down, frames with Ctrl
};

struct SynthesisState {
    HarmonicNumbers harmonic;                          // harmonic number k per slot, 0..100
    SlotValues scale;                                  // amplitude factor, unbounded
    SlotValues shift;                                  // phase offset, radians
    SlotValues shift_speed;                            // radians added to shift per frame
    std::array<Uint32, HARMONIC_SLOTS> harmonic_color; // mapped pixel value per slot
    SlotValues term;                                   // scratch: term value at a column or sample
    std::array<int, HARMONIC_SLOTS> last_y;            // line-mode scratch: row at previous column

    double zoom;      // pixels per unit on both axes
    double y_scale;   // extra vertical factor
    int active_count; // slots in use, 0..50
    int selected;     // slot the editing keys act on, 0..49

    int show_numbers; // toggle: value overlay
    int clear_screen; // toggle: fill with 0 before each frame's drawing
    int thick_curve;  // toggle: sum curve three rows thick
    int line_mode;    // toggle: join columns with runs
    int sound_on;     // toggle: sound device open and looping

    // Frames since the loop started. 64 bits so it never wraps in practice; the
    // tenth-frame rhythm depends on it staying non-negative.
    std::int64_t frame_counter;

    Uint32 axis_color; // mapped grey (128, 128, 128)
    Uint32 sum_color;  // mapped white (255, 255, 255)

    int last_sum_y;   // line-mode scratch: sum row at previous column
    int last_upper_y; // line-mode scratch: upper thick row at previous column
    int last_lower_y; // line-mode scratch: lower thick row at previous column

    KeyLatches latches; // press-edge flags
};

// Returns the start state for a surface's pixel format and the given harmonic numbers.
SynthesisState init_synthesis_state(const SDL_PixelFormat &format, const HarmonicNumbers &harmonic);

// Fills harmonic_color with the red-to-magenta ramp, five groups of ten slots.
void build_harmonic_colors(SynthesisState &state, const SDL_PixelFormat &format);

// The key r: scales, shifts, speeds, zoom, y_scale, active_count back to start; surface to 0.
void reset_synthesis_state(SynthesisState &state, SDL_Surface &surface);

// Adds every slot's shift_speed to its shift, used or not.
void advance_shifts(SynthesisState &state);
