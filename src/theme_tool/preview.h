// preview.h: a picture of a set as the game draws it: the frame tiled over
// the whole picture and, PREVIEW_MARGIN pixels in from each edge, a board of
// 5 columns by 3 rows over the set's background. Column c shows colour
// c + 1; row 0 its tile at rest, row 1 highlighted (as a tile of the pointed
// cluster is drawn), row 2 pushed. Each cell is what the game's board shows
// for that colour and state on a 24-bit TrueColor screen.
#pragma once

#include "theme_tool/set_pictures.h"
#include "theme_tool/theme_image.h"

constexpr int PREVIEW_MARGIN = 16;
constexpr int PREVIEW_COLUMNS = NUM_COLOURS;
constexpr int PREVIEW_ROWS = 3;

RgbImage render_preview(const SetPictures& set);

// One cell as the board shows it, on the background the board window has
// there (`cell_x`, `cell_y` are its position in the board window).
RgbImage render_cell(const SetPictures& set, int colour, int state, int cell_x, int cell_y);
