// board_text.h: test boards drawn as text rows, top row first: '1'..'5' a
// tile of that colour, '.' an empty cell. Also a painter that records every
// repaint the rules ask for, so tests can check the order.
#pragma once

#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#include "board/board.h"
#include "board/cell_painter.h"
#include "board/rules.h"

namespace board_text {

constexpr int BOXED = -1;  // state recorded for paint_cell_boxed

using Call = std::tuple<int, int, int>;  // column, row, state
using Calls = std::vector<Call>;

inline Calls painted;

inline void record_cell(int column, int row, int state) { painted.emplace_back(column, row, state); }
inline void record_boxed(int column, int row) { painted.emplace_back(column, row, BOXED); }

// Clears every module-level instance the rules touch, fills the cells outside
// the drawn area with `outside` (to prove they are never read), and installs
// the recording painter.
inline void reset_all(int outside = 0) {
    std::memset(&board, 0, sizeof board);
    for (auto& column : board.cells)
        for (auto& cell : column) cell = outside;
    std::memset(&score_state, 0, sizeof score_state);
    std::memset(&undo_snapshot, 0, sizeof undo_snapshot);
    cell_painter = {record_cell, record_boxed};
    painted.clear();
}

// Draws `rows` into the top-left corner and makes it the active area; rests
// becomes the number of tiles drawn. Marks of the area are cleared.
inline void set_board(const std::vector<std::string>& rows) {
    board.rows = static_cast<int>(rows.size());
    board.columns = static_cast<int>(rows.at(0).size());
    int tiles = 0;
    for (int r = 0; r < board.rows; ++r) {
        for (int c = 0; c < board.columns; ++c) {
            const char ch = rows[r].at(c);
            board.cells[c][r] = ch == '.' ? 0 : ch - '0';
            board.marks[c][r] = 0;
            if (ch != '.') ++tiles;
        }
    }
    score_state.rests = tiles;
}

// The active area as text rows, in the form set_board takes.
inline std::vector<std::string> board_rows() {
    std::vector<std::string> rows;
    for (int r = 0; r < board.rows; ++r) {
        std::string line;
        for (int c = 0; c < board.columns; ++c)
            line += board.cells[c][r] == 0 ? '.' : static_cast<char>('0' + board.cells[c][r]);
        rows.push_back(line);
    }
    return rows;
}

// The marks of the active area as text rows: 'x' marked, '.' not.
inline std::vector<std::string> mark_rows() {
    std::vector<std::string> rows;
    for (int r = 0; r < board.rows; ++r) {
        std::string line;
        for (int c = 0; c < board.columns; ++c) line += board.marks[c][r] == 1 ? 'x' : '.';
        rows.push_back(line);
    }
    return rows;
}

}  // namespace board_text
