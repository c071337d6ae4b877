// The numbers on screen: the box at the bottom left and the band of slot values.
#pragma once

#include "app/synthesis_state.h"

#include <SDL.h>

// Draws zoom, y_scale and slot texts in the box, and each used slot's values in the band.
void draw_value_overlay(SDL_Surface &surface, double y_scale, double zoom, int active_count,
                        int selected, const SlotValues &scale, const SlotValues &shift_speed);
