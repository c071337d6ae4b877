// Everything that writes pixels into the locked surface.
#pragma once

#include "draw/pixel.h"
#include "draw/plot.h"
#include "draw/text.h"
#include "draw/value_overlay.h"
#include "draw/value_text.h"
