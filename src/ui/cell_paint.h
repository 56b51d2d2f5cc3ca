// cell_paint.h: drawing the board's cells into the board window, the only
// code that draws tiles. Keeps no state: it reads the Board, the current
// TileImages and GameUi, and leaves the flush to the controller.
#pragma once

void paint_cell(int column, int row, int state);
void paint_cell_boxed(int column, int row);
void paint_marked(int state);      // marks unchanged
void paint_all(int state);         // every mark cleared
void paint_board();                // paint_all in the default state
// The board after an Expose: one repaint for the whole burst of exposures
// queued, every tile pushed once the game is over.
void paint_exposed_board();

// Hands paint_cell and paint_cell_boxed to the rules.
void install_cell_painters();
