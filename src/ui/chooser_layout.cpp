// chooser_layout.cpp: the chooser's columns and pages, worked out without a
// display. Sizes are computed in 64 bits: a catalogue of a million bytes
// holds far more rows than 16 bits of pixels.
#include "ui/chooser_layout.h"

#include <algorithm>
#include <climits>

#include "pictures/picture_limits.h"
#include "ui/layout.h"

namespace {

constexpr int OUTER = 2 * MENU_BORDER;  // the border, both sides together
// With fewer rows of room below the pointer, the window rises to the top of
// the area rather than make a long row of short columns.
constexpr int FEW_ROWS = 4;

// Entry rows in a window whose outer height is `room`.
int rows_in(long long room) {
    const long long rows = (room - OUTER - MENU_EXTRA_HEIGHT) / MENU_ROW_HEIGHT;
    return static_cast<int>(std::clamp(rows, 0LL, static_cast<long long>(INT_MAX)));
}

// A window of outer size `size` along one axis: at `wanted`, moved back
// inside [start, start + extent) as far as it goes.
int place(long long wanted, long long size, long long start, long long extent) {
    return static_cast<int>(std::max(std::min(wanted, start + extent - size), start));
}

// Lays the entries out in columns of `rows`; a column that would make its
// page wider than `page_room` pixels starts a new page. Returns the text
// width of the widest page.
long long fill_columns(ChooserLayout& layout, std::span<const int> lengths, int rows, int max_chars,
                       int char_width, long long page_room) {
    layout.columns.clear();
    layout.page_first_column.assign(1, 0);
    layout.rows_per_column = rows;
    long long used = 0;
    long long widest = 0;
    int page = 0;
    const int count = static_cast<int>(lengths.size());
    for (int first = 0, in_column = 0; first < count; first += in_column) {
        in_column = std::min(rows, count - first);
        const auto names = lengths.subspan(static_cast<std::size_t>(first), static_cast<std::size_t>(in_column));
        const long long longest = std::max(0, *std::max_element(names.begin(), names.end()));
        const int chars = static_cast<int>(std::clamp(longest + 2, 1LL, static_cast<long long>(max_chars)));
        const long long width = static_cast<long long>(chars) * char_width;
        if (used > 0 && used + width > page_room) {
            ++page;
            used = 0;
            layout.page_first_column.push_back(static_cast<int>(layout.columns.size()));
        }
        layout.columns.push_back({first, in_column, static_cast<int>(TEXT_X + used), chars, page});
        used += width;
        widest = std::max(widest, used);
    }
    layout.page_count = page + 1;
    return widest;
}

}  // namespace

ChooserLayout layout_chooser(std::span<const int> name_lengths, int char_width, ChooserArea area, int pointer_x,
                             int pointer_y) {
    char_width = std::max(char_width, 1);
    area.width = std::clamp(area.width, 0, X_SIDE_MAX);
    area.height = std::clamp(area.height, 0, X_SIDE_MAX);
    const long long right = static_cast<long long>(area.x) + area.width;
    const long long bottom = static_cast<long long>(area.y) + area.height;
    // A catalogue is read from at most a mebibyte, so this never cuts one.
    if (name_lengths.size() > static_cast<std::size_t>(INT_MAX / 2)) name_lengths = name_lengths.first(INT_MAX / 2);
    const int count = static_cast<int>(name_lengths.size());
    int longest = 0;
    for (int length : name_lengths) longest = std::max(longest, length);

    ChooserLayout layout;
    // The chooser as it always was, whenever it fits: one column, its top
    // left corner at the pointer.
    const long long one_width = (longest + 2LL) * char_width + MENU_EXTRA_WIDTH;
    const long long one_height = static_cast<long long>(count) * MENU_ROW_HEIGHT + MENU_EXTRA_HEIGHT;
    if (pointer_x >= area.x && pointer_y >= area.y && pointer_x + one_width + OUTER <= right &&
        pointer_y + one_height + OUTER <= bottom) {
        layout.x = pointer_x;
        layout.y = pointer_y;
        layout.width = static_cast<int>(one_width);
        layout.height = static_cast<int>(one_height);
        layout.rows_per_column = std::max(count, 1);
        layout.page_first_column = {0};
        if (count > 0) layout.columns.push_back({0, count, TEXT_X, longest + 2, 0});
        return layout;
    }

    const int max_chars = std::max(1, (area.width - OUTER - MENU_EXTRA_WIDTH) / char_width);
    long long top = area.y;
    if (pointer_y >= area.y && rows_in(bottom - pointer_y) >= std::min(count, FEW_ROWS)) top = pointer_y;
    const int rows = std::max(1, rows_in(bottom - top));
    const long long text_room = static_cast<long long>(area.width) - OUTER - MENU_EXTRA_WIDTH;

    long long widest = fill_columns(layout, name_lengths, std::max(1, std::min(rows, count)), max_chars,
                                    char_width, LLONG_MAX);
    long long height = static_cast<long long>(std::min(rows, count)) * MENU_ROW_HEIGHT + MENU_EXTRA_HEIGHT;
    if (widest > text_room) {
        // Pages of columns, one row shorter: the bottom row holds the arrows.
        const int per_column = std::max(1, rows - 1);
        widest = fill_columns(layout, name_lengths, per_column, max_chars, char_width, text_room);
        height = static_cast<long long>(per_column + 1) * MENU_ROW_HEIGHT + MENU_EXTRA_HEIGHT;
    }
    if (count == 0) widest = static_cast<long long>(std::min(2, max_chars)) * char_width;
    layout.width = static_cast<int>(widest + MENU_EXTRA_WIDTH);
    layout.height = static_cast<int>(height);
    layout.x = place(pointer_x, layout.width + OUTER, area.x, area.width);
    layout.y = place(top, layout.height + OUTER, area.y, area.height);
    return layout;
}

int chooser_item_at(const ChooserLayout& layout, int page, int x, int y) {
    const int row = menu_row_at(x, y, layout.width, layout.height);
    if (row == -1 || page < 0 || page >= layout.page_count) return CHOOSER_NOTHING;
    if (layout.page_count > 1 && row >= layout.rows_per_column) {
        if (2 * x < layout.width) return page > 0 ? CHOOSER_PREVIOUS_PAGE : CHOOSER_NOTHING;
        return page + 1 < layout.page_count ? CHOOSER_NEXT_PAGE : CHOOSER_NOTHING;
    }
    const auto page_index = static_cast<std::size_t>(page);
    const auto begin = layout.columns.begin() + layout.page_first_column[page_index];
    const auto end = page_index + 1 < layout.page_first_column.size()
                         ? layout.columns.begin() + layout.page_first_column[page_index + 1]
                         : layout.columns.end();
    if (begin == end) return CHOOSER_NOTHING;
    // The first column of a page also takes the left margin, the last one
    // the right margin.
    auto column = std::upper_bound(begin, end, x, [](int at, const ChooserColumn& c) { return at < c.x; });
    if (column != begin) --column;
    if (row >= column->count) return CHOOSER_NOTHING;
    return column->first + row;
}
