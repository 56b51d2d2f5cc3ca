// description_file.h: the parser of picture description files, the text
// files that name the XPM images of a picture set. Takes bytes and returns a
// PictureSet of file names plus the messages to print; knows nothing of X.
#pragma once

#include <string_view>

#include "base/report.h"
#include "pictures/picture_limits.h"  // MAX_TILE_SIDE
#include "pictures/picture_set.h"

// Parses the text of description file `name` (the name as the catalogue
// gives it, used in messages) into `set`, which is cleared first except for
// the tile size. Returns 0, or -1 after appending the error to `messages`;
// warnings are appended in both cases.
int parse_picture_text(std::string_view text, const char* name, PictureSet& set, Messages& messages);

// Opens `name` as written, then as data_dir + "/" + name, and parses it.
int parse_picture_file(PictureSet& set, const char* name, const char* data_dir, Messages& messages);
