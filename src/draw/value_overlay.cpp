#include "value_overlay.h"

void draw_value_overlay(SDL_Surface &, double, double, int, int, const SlotValues &,
                        const SlotValues &) {}
