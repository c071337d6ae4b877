#include "sound.h"

void synthesize_sound_loop(SynthesisState &) {}
