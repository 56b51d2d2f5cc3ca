// cell_painter.h: how the rules show a changed cell. ui installs the real
// painters at start-up; until then, and in tests that do not record, the
// painters do nothing. The rules never use a result.
#pragma once

struct CellPainter {
    void (*paint_cell)(int column, int row, int state);
    void (*paint_cell_boxed)(int column, int row);
};

extern CellPainter cell_painter;
