// picture_limits.cpp: the message that refuses tiles too large for a board.
#include "pictures/picture_limits.h"

#include "base/report.h"

std::string tile_size_refusal(const char* name, int tile_width, int tile_height, int columns, int rows) {
    return format_message("Error: '%s': tiles of %dx%d are too large for a %dx%d board.\n", name, tile_width,
                          tile_height, columns, rows);
}
