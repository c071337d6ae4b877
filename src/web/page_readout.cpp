#include "web/page_readout.h"

#include "app/sine_inputs.h"
#include "draw/value_text.h"

#include <cstdio>
#include <cstring>

namespace {

enum Field { SLOT, HARMONIC, SCALE, SPEED, ZOOM, Y_SCALE };

constexpr const char *LABELS[READOUT_FIELDS] = {"Koeffizient", "Harmonische", "Skalierung",
                                                "Tempo",       "Zoom",        "y-Achse"};

void set_line(Readout &readout, int field, const char *text) {
    std::array<char, 64> &line = readout.line[field];
    line = {}; // whole lines are compared
    std::snprintf(line.data(), line.size(), "%s\t%s", LABELS[field], text);
}

// The text after the label and the tab.
const char *text_of(const std::array<char, 64> &line) {
    return std::strchr(line.data(), '\t') + 1;
}

void append(std::array<char, 256> &speech, const char *text) {
    std::strncat(speech.data(), text, speech.size() - 1 - std::strlen(speech.data()));
}

} // namespace

ReadoutInputs readout_inputs(const SynthesisState &state) {
    ReadoutInputs in;
    in.scale = bits_of(state.scale[state.selected]);
    in.speed = bits_of(state.shift_speed[state.selected]);
    in.zoom = bits_of(state.zoom);
    in.y_scale = bits_of(state.y_scale);
    in.selected = state.selected;
    in.harmonic = state.harmonic[state.selected];
    in.active_count = state.active_count;
    return in;
}

Readout make_readout(const SynthesisState &state) {
    Readout readout{};
    readout.inputs = readout_inputs(state);
    const int slot = state.selected;
    set_line(readout, SLOT, slot_text(slot, state.active_count).data());
    set_line(readout, HARMONIC, format_integer(state.harmonic[slot]).data());
    set_line(readout, SCALE, format_value(state.scale[slot]).data());
    set_line(readout, SPEED, format_value(state.shift_speed[slot]).data());
    set_line(readout, ZOOM, zoom_text(state.zoom).data());
    set_line(readout, Y_SCALE, format_value(state.y_scale).data());
    return readout;
}

void start_readout(ReadoutShown &page, const SynthesisState &state, double now_ms) {
    page.shown = make_readout(state);
    page.spoken = page.shown;
    page.spoken_ms = now_ms;
    page.speech = {};
}

bool update_readout(ReadoutShown &page, const SynthesisState &state) {
    if (readout_inputs(state) == page.shown.inputs) {
        return false;
    }
    page.shown = make_readout(state);
    return true;
}

bool due_speech(ReadoutShown &page, bool keys_held, double now_ms) {
    const Readout &now = page.shown;
    if (now.line == page.spoken.line ||
        (keys_held && now_ms - page.spoken_ms < SPOKEN_WHILE_HELD_MS)) {
        return false;
    }
    const bool new_slot = now.inputs.selected != page.spoken.inputs.selected;
    page.speech = {};
    for (int field = 0; field < READOUT_FIELDS; field++) {
        const bool of_slot = field == SLOT || field == HARMONIC || field == SCALE || field == SPEED;
        if (!(new_slot && of_slot) &&
            std::strcmp(now.line[field].data(), page.spoken.line[field].data()) == 0) {
            continue;
        }
        if (page.speech[0] != '\0') {
            append(page.speech, ", ");
        }
        append(page.speech, LABELS[field]);
        append(page.speech, " ");
        const char *text = text_of(now.line[field]);
        append(page.speech, text[0] == ' ' ? text + 1 : text); // a blank sign cell says nothing
    }
    page.spoken = now;
    page.spoken_ms = now_ms;
    return true;
}
