// chooser_layout_fuzz.cpp: the chooser laid out for any catalogue, screen
// and pointer. Bytes 0-2 give the entry count (up to 262,143), byte 3 the
// character width, bytes 4-11 the area the window may cover, bytes 12-15
// the pointer, and the rest the name lengths, used in turn. The window stays
// inside 16 bits and, when the area has room for a row and the arrows,
// inside the area; every entry and every page arrow that leads somewhere is
// a point of the area that the hit test answers with it; and a catalogue
// whose one column fits at the pointer gets exactly that column.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "pictures/picture_limits.h"
#include "ui/chooser_layout.h"

namespace {

void check(bool condition) {
    if (!condition) std::abort();
}

int u16(const std::uint8_t* data, std::size_t at) { return data[at] | data[at + 1] << 8; }
int s16(const std::uint8_t* data, std::size_t at) { return static_cast<std::int16_t>(u16(data, at)); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 16) return 0;
    const int count = u16(data, 0) | (data[2] & 3) << 16;
    const int char_width = data[3] % 16 + 1;
    const ChooserArea area = {u16(data, 4) & 0x7fff, u16(data, 6) & 0x7fff, u16(data, 8) & 0x7fff,
                              u16(data, 10) & 0x7fff};
    const int pointer_x = s16(data, 12);
    const int pointer_y = s16(data, 14);
    std::vector<int> lengths(static_cast<std::size_t>(count), 1);
    for (std::size_t i = 0; size > 16 && i < lengths.size(); ++i) lengths[i] = data[16 + i % (size - 16)];

    const ChooserLayout layout = layout_chooser(lengths, char_width, area, pointer_x, pointer_y);
    check(layout.width > 0 && layout.width <= X_SIDE_MAX && layout.height > 0 && layout.height <= X_SIDE_MAX);
    check(layout.x >= -32768 && layout.x <= X_SIDE_MAX && layout.y >= -32768 && layout.y <= X_SIDE_MAX);

    const long long right = static_cast<long long>(area.x) + area.width;
    const long long bottom = static_cast<long long>(area.y) + area.height;
    const bool roomy = area.width >= 2 + 4 + 3 * char_width && area.height >= 2 + 6 + 2 * 14;
    const auto inside_area = [&](long long x, long long y) {
        return !roomy || (x >= area.x && y >= area.y && x < right && y < bottom);
    };
    check(inside_area(layout.x, layout.y) && inside_area(layout.x + layout.width + 1, layout.y + layout.height + 1));

    // Every entry once, in order, drawn inside the window and found where
    // it is drawn. Window point (x, y) is at parent point x + 1, y + 1.
    int next = 0;
    for (const ChooserColumn& column : layout.columns) {
        check(column.first == next && column.count >= 1 && column.count <= layout.rows_per_column);
        check(column.page >= 0 && column.page < layout.page_count);
        check(column.x >= 2 && column.x + static_cast<long long>(column.chars) * char_width <= layout.width - 2);
        next += column.count;
        for (int row = 0; row < column.count; ++row) {
            const int x = column.x + 1;
            const int y = 3 + 14 * row + 7;
            check(y <= layout.height && inside_area(layout.x + 1 + x, layout.y + 1 + y));
            check(chooser_item_at(layout, column.page, x, y) == column.first + row);
        }
    }
    check(next == count);

    const int arrows_y = 3 + 14 * layout.rows_per_column + 7;
    for (int page = 0; layout.page_count > 1 && page < layout.page_count; ++page) {
        check(arrows_y <= layout.height && inside_area(layout.x + 1, layout.y + 1 + arrows_y) &&
              inside_area(layout.x + layout.width, layout.y + 1 + arrows_y));
        if (page > 0) check(chooser_item_at(layout, page, 0, arrows_y) == CHOOSER_PREVIOUS_PAGE);
        if (page + 1 < layout.page_count)
            check(chooser_item_at(layout, page, layout.width - 1, arrows_y) == CHOOSER_NEXT_PAGE);
    }

    const long long longest = lengths.empty() ? 0 : *std::max_element(lengths.begin(), lengths.end());
    const long long one_width = (longest + 2) * char_width + 4;
    const long long one_height = 14LL * count + 6;
    if (pointer_x >= area.x && pointer_y >= area.y && pointer_x + one_width + 2 <= right &&
        pointer_y + one_height + 2 <= bottom) {
        check(layout.x == pointer_x && layout.y == pointer_y && layout.width == one_width &&
              layout.height == one_height && layout.page_count == 1);
    }
    return 0;
}
