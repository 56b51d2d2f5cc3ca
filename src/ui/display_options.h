// display_options.h: the options the player sets in the X resource
// database, read once at start-up: the scale (applied by draw_scale) and
// keyboard play.
#pragma once

#include "ui/layout.h"

// clumpout.keyboard is on: the main window takes keys.
extern bool keyboard_play;

// Reads the options and sets draw_scale, the largest wanted scale at which
// the start-up window (`window`, at scale 1 with its border) fits the
// screen. A bad value is one warning and the default.
void read_display_options(Size2 window);
