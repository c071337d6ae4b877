// The whole interactive state of the viewer and the operations that own it.
#pragma once

#include <SDL.h>

#include <array>
#include <cstdint>
#include <cstring>

constexpr int HARMONIC_SLOTS = 50;
constexpr int SOUND_LOOP_SAMPLES = 512;                  // samples in one period of the loop
constexpr int SOUND_LOOP_BYTES = SOUND_LOOP_SAMPLES * 2; // signed 16-bit little-endian samples
constexpr int CACHED_COLUMNS = 1024; // columns 0..1023: surfaces up to this wide keep sines

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

// The inputs a slot's kept sines were made with. Doubles as bit patterns, so that a NaN
// matches itself and -0.0 does not match 0.0.
struct SineInputs {
    std::uint64_t shift; // bits of shift, radians
    std::uint64_t other; // bits of zoom (plot) or of shift_speed (sound)
    int k;               // harmonic number
    int extent;          // plot: surface width the columns were made for; sound: 1; 0: none kept
};

// The picture a frame drew, by everything the plot and the overlay read: slots past
// active_count stay 0. Compared as bytes, so it is cleared as a whole before it is filled.
struct PictureInputs {
    SlotValues scale;                                  // per slot in use
    SlotValues shift;                                  // per slot in use, radians
    SlotValues shift_speed;                            // per slot in use, radians per frame
    std::array<Uint32, HARMONIC_SLOTS> harmonic_color; // per slot in use
    HarmonicNumbers harmonic;                          // per slot in use
    double zoom;                                       // pixels per unit
    double y_scale;                                    // extra vertical factor
    const void *surface;                               // the surface record drawn into
    const void *pixels;                                // its pixel memory
    const void *format;                                // its pixel format
    Uint32 flags;                                      // its SDL flags
    Uint32 axis_color;                                 // mapped pixel value
    Uint32 sum_color;                                  // mapped pixel value
    int w;                                             // its columns
    int h;                                             // its rows
    int pitch;                                         // its bytes per row
    int bytes_per_pixel;                               // 1..4
    int active_count;                                  // slots in use
    int selected;                                      // slot shown in red
    int show_numbers;                                  // toggle
    int clear_screen;                                  // toggle
    int thick_curve;                                   // toggle
    int line_mode;                                     // toggle
};

// What earlier frames computed, reused while its inputs stay the same: the same sines of the
// same arguments, the same picture, the same loop.
struct FrameCache {
    int recompute_all; // switch: 1 computes every sine, picture and loop afresh, as if none kept
    int skip_unchanged_show; // switch: 1 neither locks nor shows a frame that drew nothing

    // sin(k * x / zoom - shift) of slot i at column x, as the plot forms the argument
    std::array<std::array<double, HARMONIC_SLOTS>, CACHED_COLUMNS> column_sine;
    std::array<SineInputs, HARMONIC_SLOTS> column_inputs; // what each slot's columns hold

    // sin(a) of slot j at loop sample i, a as the sound loop forms it
    std::array<std::array<double, HARMONIC_SLOTS>, SOUND_LOOP_SAMPLES> sample_sine;
    std::array<SineInputs, HARMONIC_SLOTS> sample_inputs; // what each slot's samples hold
    SlotValues loop_scale;                                // scales of the loop last written
    int loop_count;                                       // active_count of that loop
    std::array<Uint8, SOUND_LOOP_BYTES> loop_bytes;       // the bytes last written

    PictureInputs picture; // the inputs of the last picture drawn
    int picture_drawn;     // 1 while the surface shows that picture; the reset's clear sets 0
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

    FrameCache cache; // sines, picture and loop of earlier frames
};

// Returns the start state for a surface's pixel format and the given harmonic numbers.
SynthesisState init_synthesis_state(const SDL_PixelFormat &format, const HarmonicNumbers &harmonic);

// Fills harmonic_color with the red-to-magenta ramp, five groups of ten slots.
void build_harmonic_colors(SynthesisState &state, const SDL_PixelFormat &format);

// The key r: scales, shifts, speeds, zoom, y_scale, active_count back to start; surface to 0.
void reset_synthesis_state(SynthesisState &state, SDL_Surface &surface);

// Adds every slot's shift_speed to its shift, used or not.
void advance_shifts(SynthesisState &state);

// The bit pattern of a double, for change tests that see NaN and -0.0.
inline std::uint64_t bits_of(double value) {
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}
