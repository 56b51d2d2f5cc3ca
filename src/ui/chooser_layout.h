// chooser_layout.h: where the picture chooser puts its entries. One column
// with its corner at the pointer while that fits; else columns side by side
// as tall as the room allows; else pages of columns with a row of page
// arrows at the bottom. Pure, so a fuzzer can check that every entry stays
// within reach of the pointer whatever the catalogue and the screen.
#pragma once

#include <span>
#include <vector>

// The part of the parent window that the chooser may cover: the part that
// is on the screen. Parent coordinates.
struct ChooserArea {
    int x;
    int y;
    int width;
    int height;
};

struct ChooserColumn {
    int first;  // its top entry
    int count;  // its entries
    int x;      // left edge of its text in the window
    int chars;  // row width in characters: a space, the widest name, a space; cut to fit
    int page;
};

struct ChooserLayout {
    int x = 0;  // window position in the parent
    int y = 0;
    int width = 0;  // border excluded
    int height = 0;
    int rows_per_column = 1;  // every column but the last of all is full
    int page_count = 1;       // above 1, the bottom row holds the page arrows
    std::vector<ChooserColumn> columns;      // in entry order
    std::vector<int> page_first_column;      // per page, its first column

    const ChooserColumn& column_of(int entry) const {
        return columns[static_cast<std::size_t>(entry / rows_per_column)];
    }
};

// What chooser_item_at finds besides an entry index.
constexpr int CHOOSER_NOTHING = -1;
constexpr int CHOOSER_PREVIOUS_PAGE = -2;
constexpr int CHOOSER_NEXT_PAGE = -3;

// `name_lengths`: the bytes of each entry's name, in catalogue order. The
// window opens at (pointer_x, pointer_y) in the parent.
ChooserLayout layout_chooser(std::span<const int> name_lengths, int char_width, ChooserArea area, int pointer_x,
                             int pointer_y);

// What lies under (x, y), window coordinates, while `page` is shown. As in a
// menu, the window's edges count as inside and a point above the first row
// belongs to it; a page arrow that leads nowhere is nothing.
int chooser_item_at(const ChooserLayout& layout, int page, int x, int y);
