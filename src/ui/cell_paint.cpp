// cell_paint.cpp: one cell in one tile state, the marked cells, the whole
// board. Knows the tile images and the board window; knows nothing of the
// rules beyond the board's cells and marks.
#include "ui/cell_paint.h"

#include "board/board.h"
#include "board/cell_painter.h"
#include "pictures/cell_look.h"
#include "x11/tile_images.h"
#include "ui/game_ui.h"
#include "x11/draw_scale.h"
#include "x11/x_display.h"

void paint_cell(int column, int row, int state) {
    const int width = tile_images.tile_width;
    const int height = tile_images.tile_height;
    const int x = column * width;
    const int y = row * height;
    const int colour = board.cells[column][row];
    if (colour == 0) {
        // No Expose: an empty cell is just the window background showing.
        clear_scaled_area(game_ui.board_window, x, y, width, height);
        return;
    }
    const int drawn = drawn_state(tile_images.state_enabled, state);
    copy_scaled_area(tile_images.images[drawn][colour - 1], game_ui.board_window, game_ui.gc, width, height, x, y);
}

void paint_cell_boxed(int column, int row) {
    paint_cell(column, row, TILE_SELECTED);
    if (tile_images.box != 1) return;
    // The foreground stays box_pixel; every other drawing sets its own.
    XSetForeground(x_display.display, game_ui.gc, tile_images.box_pixel);
    const CellOutline outline = cell_outline(column * tile_images.tile_width, row * tile_images.tile_height,
                                             tile_images.tile_width, tile_images.tile_height);
    draw_scaled_rectangle(game_ui.board_window, game_ui.gc, outline.x, outline.y, outline.width, outline.height);
}

void paint_marked(int state) {
    for (int column = 0; column < board.columns; ++column) {
        for (int row = 0; row < board.rows; ++row) {
            if (board.marks[column][row] == 1) paint_cell(column, row, state);
        }
    }
}

void paint_all(int state) {
    for (int column = 0; column < board.columns; ++column) {
        for (int row = 0; row < board.rows; ++row) {
            paint_cell(column, row, state);
            board.marks[column][row] = 0;
        }
    }
}

void paint_board() { paint_all(TILE_DEFAULT); }

void install_cell_painters() {
    cell_painter.paint_cell = paint_cell;
    cell_painter.paint_cell_boxed = paint_cell_boxed;
}

void paint_exposed_board() {
    XEvent queued;
    while (XCheckWindowEvent(x_display.display, game_ui.board_window, ExposureMask, &queued)) {
    }
    // The window is mapped without a background (see configure_windows);
    // empty cells are cleared to it.
    XSetWindowBackgroundPixmap(x_display.display, game_ui.board_window, tile_images.background);
    if (score_state.game_over == 0) {
        paint_board();
    } else {
        paint_all(TILE_PUSHED);
    }
}
