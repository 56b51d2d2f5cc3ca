// board_sizes.h: the four standard board sizes. Their order is the order of
// the Size menu and the number of the high-score class, so it never changes.
#pragma once

#include <array>

struct BoardSize {
    int columns;
    int rows;
    const char* label;  // the Size menu's row
};

inline constexpr std::array<BoardSize, 4> BOARD_SIZES = {{
    /* columns  rows  label    */
    {15,        8,    "Small"},
    {20,        10,   "Normal"},
    {25,        15,   "Large"},
    {30,        20,   "Huge"},
}};

// The size class of a board: its index in BOARD_SIZES, or -1 for any other
// size (a custom size from the settings file).
constexpr int size_class_of(int columns, int rows) {
    for (int i = 0; i < static_cast<int>(BOARD_SIZES.size()); ++i) {
        if (BOARD_SIZES[i].columns == columns && BOARD_SIZES[i].rows == rows) return i;
    }
    return -1;
}
