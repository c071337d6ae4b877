// Everything that writes pixels into the locked surface.
#pragma once

#include "pixel.h"
#include "plot.h"
#include "text.h"
#include "value_overlay.h"
#include "value_text.h"
