// board.cpp: the one Board and ScoreState, dealing, and the board questions.
// Owns the invariants of the active area (gravity, packing, rests); knows
// nothing of drawing, windows or files. Nothing here reads a cell outside the
// first `columns` columns and `rows` rows: those keep an older board's tiles.
#include "board/board.h"

#include <cstdlib>
#include <ctime>

Board board = {20, 10, {}, {}};
ScoreState score_state = {};
unsigned deal_seed = 0;

namespace {

bool inside_active_area(int column, int row) {
    return column >= 0 && column < board.columns && row >= 0 && row < board.rows;
}

// Whether the tile at (column, row) has an edge neighbour of its own colour,
// looking only inside the active area. The caller has checked the cell is a
// tile, so an empty neighbour never matches.
bool tile_has_same_neighbour(int column, int row) {
    const std::int32_t colour = board.cells[column][row];
    if (column > 0 && board.cells[column - 1][row] == colour) return true;
    if (column < board.columns - 1 && board.cells[column + 1][row] == colour) return true;
    if (row > 0 && board.cells[column][row - 1] == colour) return true;
    if (row < board.rows - 1 && board.cells[column][row + 1] == colour) return true;
    return false;
}

}  // namespace

void deal_board() {
    // Seeding at every deal makes two deals in the same second equal.
    deal_board_seeded(static_cast<unsigned>(std::time(nullptr)));
}

void deal_board_seeded(unsigned seed) {
    // The column-major order of the draws is what fixes the board for a seed.
    deal_seed = seed;
    std::srand(seed);
    for (int column = 0; column < board.columns; ++column) {
        for (int row = 0; row < board.rows; ++row) {
            const int draw = std::rand();
            board.cells[column][row] = (draw / 3) % NUM_COLOURS + 1;
            board.marks[column][row] = 0;
        }
    }
    score_state.gets = 0;
    score_state.recorded = 0;
    score_state.rests = board.columns * board.rows;
}

bool has_same_neighbour(int column, int row) {
    // A cell outside the play field has no neighbours; refusing it here keeps
    // a stray pointer position from reading past the arrays.
    if (!inside_active_area(column, row)) return false;
    if (board.cells[column][row] == 0) return false;
    return tile_has_same_neighbour(column, row);
}

bool any_move_left() {
    // Runs before every event: relies on gravity and packing to stop a
    // column at its first gap and the scan at the first empty column.
    for (int column = 0; column < board.columns; ++column) {
        if (board.cells[column][board.rows - 1] == 0) return false;
        for (int row = board.rows - 1; row >= 0; --row) {
            if (board.cells[column][row] == 0) break;
            if (tile_has_same_neighbour(column, row)) return true;
        }
    }
    return false;
}

bool any_marked() {
    for (int row = 0; row < board.rows; ++row) {
        for (int column = 0; column < board.columns; ++column) {
            if (board.marks[column][row] == 1) return true;
        }
    }
    return false;
}
