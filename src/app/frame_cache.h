// What frames keep of earlier frames, beside the state: the plot's and the loop's sines, the
// loop, and the picture the surface shows.
#pragma once

#include "app/synthesis_state.h"
#include "draw/plot.h"
#include "sound/sound.h"

#include <SDL.h>

// The surface a picture was drawn into, as the plot, the overlay and the lock see it.
struct SurfaceLayout {
    const void *surface; // the surface record
    const void *pixels;  // its pixel memory
    const void *format;  // its pixel format
    Uint32 flags;        // its SDL flags
    int w;               // columns
    int h;               // rows
    int pitch;           // bytes per row
    int bytes_per_pixel; // 1..4
};

// What a picture was drawn from: the whole state, but with 0 where nothing can change a pixel
// (its scratch, the frame count, the slots past active_count), and the surface. Compared as
// bytes, so that every field the state comes to hold counts unless it is cleared on purpose.
struct PictureInputs {
    SynthesisState state;  // as drawn, cleared where it cannot show
    SurfaceLayout surface; // drawn into
};

// What earlier frames worked out, reused while its inputs stay the same: the same sines of the
// same arguments, the same picture, the same loop. All zero (as a new record is, or after
// forget_kept_work): nothing kept. About 600 KB: the owner keeps it off the stack.
struct FrameCache {
    PlotCache plot;        // column sines
    LoopCache loop;        // sample sines and the loop last written
    PictureInputs picture; // the inputs of the last picture drawn
    int picture_drawn;     // 1 while the surface shows that picture; the reset's clear sets 0
};

// Forgets everything kept, so that the next frame works its sines, picture and loop out
// afresh: run before every frame, a cache that keeps nothing.
void forget_kept_work(FrameCache &cache);
