// cell_painter.cpp: the no-op painters the rules start with.
#include "board/cell_painter.h"

namespace {
void paint_nothing(int, int, int) {}
void paint_nothing_boxed(int, int) {}
}  // namespace

CellPainter cell_painter = {paint_nothing, paint_nothing_boxed};
