// rules.cpp: highlighting, removal with gravity and column closing, scoring
// and the one-step undo. Every cell change is repainted at once through
// cell_painter, in an order the painting code may rely on; the rules never
// look at what was drawn and never allocate.
#include "board/rules.h"

#include <cstring>

#include "board/cell_painter.h"

UndoSnapshot undo_snapshot = {};

namespace {

void paint_default(int column, int row) { cell_painter.paint_cell(column, row, TILE_DEFAULT); }

// Walks down column x from row y, marking and painting each cell, and
// branches left, right and (from the walk's first cell only, since every
// later cell's upper neighbour is the previous, marked cell) up. Marks are
// read at the moment of each test, so no tile is visited twice. The
// recursion is at most as deep as the cluster is large (600 tiles).
void walk_cluster(int x, int y) {
    for (int r = y;; ++r) {
        cell_painter.paint_cell_boxed(x, r);
        board.marks[x][r] = 1;
        const std::int32_t colour = board.cells[x][r];
        if (x > 0 && board.cells[x - 1][r] == colour && board.marks[x - 1][r] == 0) walk_cluster(x - 1, r);
        if (x < board.columns - 1 && board.cells[x + 1][r] == colour && board.marks[x + 1][r] == 0)
            walk_cluster(x + 1, r);
        if (r > 0 && board.cells[x][r - 1] == colour && board.marks[x][r - 1] == 0) walk_cluster(x, r - 1);
        if (r == board.rows - 1 || board.cells[x][r + 1] != colour || board.marks[x][r + 1] == 1) return;
    }
}

}  // namespace

void highlight_cluster(int column, int row) {
    unmark_all();
    if (has_same_neighbour(column, row)) mark_cluster(column, row);
}

void mark_cluster(int column, int row) {
    // Marks must stand only on tiles of the play field: a marked empty cell
    // would be "removed" and counted against rests.
    if (!in_play_field(column, row)) return;
    if (board.cells[column][row] == 0) return;
    walk_cluster(column, row);
}

void unmark_all() {
    for (int column = 0; column < board.columns; ++column) {
        for (int row = 0; row < board.rows; ++row) {
            if (board.marks[column][row] == 1) {
                board.marks[column][row] = 0;
                paint_default(column, row);
            }
        }
    }
}

int remove_marked() {
    // Top rows first: a drop moves only the cells above it, so each marked
    // tile is still in place when its row comes, and the marks moved down
    // into a visited row are already cleared.
    int count = 0;
    for (int row = 0; row < board.rows; ++row) {
        for (int column = 0; column < board.columns; ++column) {
            if (board.marks[column][row] == 1) {
                drop_cell(column, row);
                ++count;
            }
        }
    }
    // Nothing removed means nothing to score, close or award: without this a
    // stray call on a cleared board would pay the clear bonus again.
    if (count == 0) return 0;

    // rests counts the tiles left, whatever the size of the removal.
    score_state.rests -= count;
    if (count >= 2) score_state.gets += (count - 2) * (count - 2);

    int rightmost = board.columns - 1;
    while (rightmost >= 0 && board.cells[rightmost][board.rows - 1] == 0) --rightmost;
    if (rightmost < 0) {
        score_state.gets += board.columns * board.rows;
        return count;
    }
    // From the right, so a closing shifts only columns already visited.
    for (int column = rightmost; column >= 0; --column) {
        if (board.cells[column][board.rows - 1] == 0) close_column(column);
    }
    return count;
}

void drop_cell(int column, int row) {
    for (int r = row; r >= 1; --r) {
        board.cells[column][r] = board.cells[column][r - 1];
        board.marks[column][r] = board.marks[column][r - 1];
        paint_default(column, r);
    }
    board.cells[column][0] = 0;
    board.marks[column][0] = 0;
    paint_default(column, 0);
}

void close_column(int column) {
    const int last = board.columns - 1;
    for (int j = column; j < last; ++j) {
        for (int row = 0; row < board.rows; ++row) {
            board.cells[j][row] = board.cells[j + 1][row];
            board.marks[j][row] = board.marks[j + 1][row];
            paint_default(j, row);
        }
    }
    for (int row = 0; row < board.rows; ++row) {
        board.cells[last][row] = 0;
        board.marks[last][row] = 0;
        paint_default(last, row);
    }
}

void take_snapshot() {
    std::memcpy(undo_snapshot.cells, board.cells, sizeof board.cells);
    undo_snapshot.gets = score_state.gets;
    undo_snapshot.rests = score_state.rests;
}

void restore_snapshot() {
    std::memcpy(board.cells, undo_snapshot.cells, sizeof board.cells);
    score_state.gets = undo_snapshot.gets;
    score_state.rests = undo_snapshot.rests;
}
