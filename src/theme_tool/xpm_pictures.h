// xpm_pictures.h: XPM images read as the game's loaders read them onto a
// 24-bit TrueColor screen, but without a display: libXpm's file reader
// (which needs no X server) parses the file, and each colour is resolved
// the way libXpm and Xlib resolve it for a colour screen.
#pragma once

#include <string>

#include "base/report.h"
#include "theme_tool/colour_names.h"
#include "theme_tool/theme_image.h"

// Reads the XPM file at `path`. Returns 0 with the image, or -1 when the
// game could not make a pixmap of it; `notes` says why, and names colours
// that the game draws in a way the author may not expect.
int read_xpm_file(const std::string& path, const ColourDatabase& database, RgbImage& out, Messages& notes);

// The same for in-memory XPM rows (the built-in images); `name` is for notes.
int decode_xpm_rows(const char* const* rows, const char* name, const ColourDatabase& database, RgbImage& out,
                    Messages& notes);
