// The key map of the graphics window, applied once per frame from the key state.
#pragma once

#include "app/synthesis_state.h"

#include <SDL.h>

// Applies every key but Escape to the state; r clears the surface, s opens or closes sound.
void apply_keyboard(SynthesisState &state, const Uint8 *keys, SDLMod modifiers,
                    SDL_Surface &surface);
