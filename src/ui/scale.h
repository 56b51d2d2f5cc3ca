// scale.h: the player's display options as the X resources give them: the
// scale of the whole interface and keyboard play. Pure: the resource texts
// come in, numbers go out; reading the database is x_resources'.
#pragma once

#include <string>
#include <string_view>

#include "ui/layout.h"

// clumpout.scale: a whole number; below 1 gives 1, above 4 gives 4. -1
// when the text is not a number.
int parse_scale(std::string_view text);
// Xft.dpi: dots per inch, 96 being scale 1; rounded, at least 1, at most 4.
// -1 when the text is not a positive number.
int scale_for_dpi(std::string_view text);
// The largest scale up to `wanted` at which a window of `window` pixels (at
// scale 1, borders included) fits `screen`; never below 1.
int fitting_scale(int wanted, Size2 window, Size2 screen);
// clumpout.keyboard: 1 for on/true/yes/1, 0 for off/false/no/0 (any case),
// -1 otherwise.
int parse_switch(std::string_view text);

// The warning for a resource value that cannot be used, ending in what is
// used instead.
std::string bad_resource_warning(const char* name, std::string_view value, const char* replacement);
