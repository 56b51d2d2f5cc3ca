// picture_loader.h: filling TileImages from the chosen picture set, a
// built-in one or a catalogue entry; the picture choice decides the fallback.
#pragma once

#include <string>

#include "pictures/picture_set.h"

// Fills TileImages from the chosen set, falling back to "Head". Returns 0,
// or -1 when not even the fallback could be made (nothing can be drawn then).
int load_picture_set(const char* data_dir);
int load_builtin_set(const PictureSet& set);
// The outline colour of a set; white when the name cannot be allocated or
// its pixel is 0.
unsigned long box_pixel_for(const std::string& colour_name);
