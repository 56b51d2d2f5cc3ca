// settings.h: the per-user settings file, HOME + "/.Clumpout": board size
// and the Pictures number kept from one run to the next. Knows the file's
// format only; what the numbers mean belongs to the board and the pictures.
#pragma once

#include <string_view>

// HOME + "/.Clumpout", made by read_settings; null when HOME is unset, and
// then no settings file is read or written during the run.
extern const char* settings_path;

// Stores the defaults (20, 10, 1), then applies the lines of `text` in order:
// "Width", "Height" and "Pictures" as prefixes after leading spaces, "#" cuts
// the line, the number follows the key; clamps to the board's range and turns
// a negative Pictures number into 1. A key whose number cannot be read leaves
// the value from before that line. Pure: used by read_settings and tests.
void parse_settings(std::string_view text, int* columns, int* rows, int* pictures);

// Defaults, then the file when there is one. 0 when read or absent; -1 when
// HOME is unset (the defaults stand).
int read_settings(int* columns, int* rows, int* pictures);

// Rewrites the file with four lines: written beside it and renamed over it
// (keeping its mode), so a failed write leaves the old file as it was. A
// settings path that names no regular file (a FIFO, a device) is left
// alone. 0 when written or when there is no settings path; -1 when the file
// cannot be written.
int write_settings(int columns, int rows, int pictures);
