// The numbers on screen: the box at the bottom left and the band of slot values.
#pragma once

#include "app/synthesis_state.h"

#include <SDL.h>

#include <array>

// Long enough for any text of the overlay, even with integers outside their ranges.
using OverlayText = std::array<char, 32>;

// Returns the zoom text: the value text of the zoom as a percentage of its default, then " %".
OverlayText zoom_text(double zoom);

// Returns the slot text: selected + 1, " / ", active_count, " K".
OverlayText slot_text(int selected, int active_count);

// Draws zoom, y_scale and slot texts in the box, and each used slot's values in the band.
void draw_value_overlay(SDL_Surface &surface, double y_scale, double zoom, int active_count,
                        int selected, const SlotValues &scale, const SlotValues &shift_speed);
