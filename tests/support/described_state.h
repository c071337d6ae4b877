// A state set field by field as expected.txt's link cases describe it, for the tests and the
// replay: the harmonic numbers (a, b, or k,k,... for the first slots, the rest 0), then what
// differs from the start: toggles=SCTL (show_numbers clear_screen thick_curve line_mode),
// active=N, selected=N, zoom=X, y_scale=X, and of slot I scaleI=X, shiftI=X, speedI=X.
#pragma once

#include "app/startup.h"
#include "app/synthesis_state.h"

#include <algorithm>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

inline SynthesisState described_state(const SDL_PixelFormat &format,
                                      const std::vector<std::string> &args) {
    HarmonicNumbers harmonic{};
    if (args[0].find(',') == std::string::npos) {
        fill_harmonic_numbers(args[0] == "b" ? 'b' : 'a', nullptr, nullptr, harmonic);
    } else {
        std::istringstream list(args[0]);
        int i = 0;
        for (std::string k; std::getline(list, k, ',');)
            harmonic.at(i++) = std::stoi(k);
    }
    SynthesisState s = init_synthesis_state(format, harmonic);
    for (size_t a = 1; a < args.size(); a++) {
        const size_t equals = args[a].find('='), digits = args[a].find_first_of("0123456789");
        const std::string field = args[a].substr(0, std::min(equals, digits)),
                          value = args[a].substr(equals + 1);
        const int slot = digits < equals ? std::stoi(args[a].substr(digits)) : 0;
        if (field == "toggles")
            s.show_numbers = value[0] - '0', s.clear_screen = value[1] - '0',
            s.thick_curve = value[2] - '0', s.line_mode = value[3] - '0';
        else if (field == "active" || field == "selected")
            (field == "active" ? s.active_count : s.selected) = std::stoi(value);
        else
            (field == "zoom"      ? s.zoom
             : field == "y_scale" ? s.y_scale
             : field == "scale"   ? s.scale.at(slot)
             : field == "shift"   ? s.shift.at(slot)
                                  : s.shift_speed.at(slot)) = std::strtod(value.c_str(), nullptr);
    }
    return s;
}
