// The page's readout: the overlay's texts for the selected slot and the view, as lines of
// text the page shows, and what of them a screen reader is told, once they settle.
#pragma once

#include "app/synthesis_state.h"
#include "draw/value_overlay.h"

#include <array>
#include <cstdint>

constexpr int READOUT_FIELDS = 6; // slot, harmonic, scale, speed, zoom, y-scale
constexpr double SPOKEN_WHILE_HELD_MS =
    1000; // least time between two announcements while keys are held

// What the readout is made of, as bits, so that NaN and -0.0 count as what they are.
struct ReadoutInputs {
    std::uint64_t scale;   // of the selected slot
    std::uint64_t speed;   // shift speed of the selected slot
    std::uint64_t zoom;    // pixels per unit
    std::uint64_t y_scale; // extra vertical factor
    int selected;          // slot the editing keys act on
    int harmonic;          // its harmonic number
    int active_count;      // slots in use

    bool operator==(const ReadoutInputs &) const = default;
};

// The readout's texts, each a field's German label, a tab and the overlay's text.
struct Readout {
    ReadoutInputs inputs;                                  // what the texts were made from
    std::array<std::array<char, 64>, READOUT_FIELDS> line; // NUL-terminated
};

// What the page last showed and said.
struct ReadoutShown {
    Readout shown;                // the texts on the page
    Readout spoken;               // the texts the screen reader was last told
    double spoken_ms;             // when, in ms of the page's clock
    std::array<char, 256> speech; // the latest announcement, NUL-terminated
};

// Returns the readout's inputs in a state.
ReadoutInputs readout_inputs(const SynthesisState &state);

// Returns the readout of a state: the slot and zoom texts and the value texts of the overlay,
// the harmonic number in decimal.
Readout make_readout(const SynthesisState &state);

// Starts with the state's readout shown and taken as said.
void start_readout(ReadoutShown &page, const SynthesisState &state, double now_ms);

// Remakes the shown readout when its inputs changed; returns whether it did.
bool update_readout(ReadoutShown &page, const SynthesisState &state);

// Writes into page.speech the fields that differ from those last spoken ("Label text",
// joined by ", "; a new slot brings all of its own), when they settled: no key held, or a
// second since the last announcement. Returns whether there is one to speak now.
bool due_speech(ReadoutShown &page, bool keys_held, double now_ms);
