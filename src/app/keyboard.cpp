#include "keyboard.h"

void apply_keyboard(SynthesisState &, const Uint8 *, SDLMod, SDL_Surface &) {}
