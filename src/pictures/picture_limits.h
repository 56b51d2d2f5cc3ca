// picture_limits.h: the largest pictures and windows the X server can be
// given, and whether a tile size fits a board. Pure, so a headless checker
// of picture sets refuses exactly what the game refuses; the window layout
// uses the same frame sizes.
#pragma once

#include <string>

#include "board/board.h"

// X carries widths and heights in 16 bits and positions (of windows, and of
// every drawing request) in signed 16 bits. The server refuses pixmaps over
// 32767 pixels a side, and a window wider or taller than that could not be
// drawn to all over: the tiles at its far edge would sit at positions that
// wrap. So no pixmap side and no window side may exceed this.
constexpr int X_SIDE_MAX = 32767;

// The largest tile side a description file may ask for: a tile is a pixmap.
constexpr int MAX_TILE_SIDE = X_SIDE_MAX;

// The main window is the board plus a frame: this much beside the board (on
// both sides together), and this much above and below it (the buttons and
// the status line).
constexpr int FRAME_EXTRA_WIDTH = 32;
constexpr int FRAME_EXTRA_HEIGHT = 48;

// A pixmap of this size can be made: each side 1 to X_SIDE_MAX.
constexpr bool pixmap_size_fits(long long width, long long height) {
    return width >= 1 && height >= 1 && width <= X_SIDE_MAX && height <= X_SIDE_MAX;
}

// Tiles of this size give a board of columns x rows, and the main window
// around it, that X can carry. Worked out in 64 bits, so any int is safe.
constexpr bool tile_size_fits_board(int tile_width, int tile_height, int columns, int rows) {
    return pixmap_size_fits(tile_width, tile_height) &&
           static_cast<long long>(columns) * tile_width + FRAME_EXTRA_WIDTH <= X_SIDE_MAX &&
           static_cast<long long>(rows) * tile_height + FRAME_EXTRA_HEIGHT <= X_SIDE_MAX;
}

// Fits the largest board, and so every board the game can show.
constexpr bool tile_size_fits_every_board(int tile_width, int tile_height) {
    return tile_size_fits_board(tile_width, tile_height, MAX_COLUMNS, MAX_ROWS);
}

// The message that refuses the set of description file `name` (as the
// catalogue gives it) whose tiles do not fit a board of columns x rows.
std::string tile_size_refusal(const char* name, int tile_width, int tile_height, int columns, int rows);
