// xpm_pixmap.h: the program's XPM calls, made with the one shared attribute
// record of GameUi. libXpm hands back a fresh list of allocated pixels on
// every call and never frees the previous one; these calls drop it at once,
// since nothing in the program reads it.
#pragma once

#include <X11/Xlib.h>

// XpmCreatePixmapFromData on the root window, no shape mask. Returns the
// libXpm status; `pixmap` is set only on XpmSuccess.
int make_pixmap_from_xpm(const char* const* data, Pixmap* pixmap);

// Releases the pixel list of the last XPM call (also for callers that use
// other XPM calls with game_ui.xpm_attributes).
void forget_returned_pixels();
