// rules.h: highlighting, removal with gravity and column closing, scoring and
// the one-step undo. Every change of a cell is repainted at once through
// cell_painter; the rules never look at what the painter did.
#pragma once

#include "board/board.h"

struct UndoSnapshot {
    std::int32_t cells[MAX_COLUMNS][MAX_ROWS];
    std::int32_t gets;
    std::int32_t rests;
};

extern UndoSnapshot undo_snapshot;

void highlight_cluster(int column, int row);
void mark_cluster(int column, int row);
void unmark_all();
int remove_marked();
void drop_cell(int column, int row);
void close_column(int column);
void take_snapshot();
void restore_snapshot();
