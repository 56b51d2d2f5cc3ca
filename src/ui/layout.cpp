// layout.cpp: window geometry, menu rows and the panel texts, computed
// without a display. Knows the shape of the interface, not how X draws it.
#include "ui/layout.h"

#include <algorithm>
#include <cstring>

#include "base/report.h"

std::array<ButtonSpan, NUM_BUTTONS> layout_buttons(std::span<const char* const, NUM_BUTTONS> labels, int char_width) {
    std::array<ButtonSpan, NUM_BUTTONS> spans{};
    int x = BOARD_X;
    for (std::size_t i = 0; i < labels.size(); ++i) {
        const int length = static_cast<int>(std::strlen(labels[i]));
        spans[i] = {x, char_width * (length + 1)};
        x += char_width * (length + 2);
    }
    return spans;
}

Size2 main_window_size(int columns, int rows, int tile_width, int tile_height) {
    return {columns * tile_width + FRAME_EXTRA_WIDTH, rows * tile_height + FRAME_EXTRA_HEIGHT};
}

Size2 board_window_size(int columns, int rows, int tile_width, int tile_height) {
    return {columns * tile_width, rows * tile_height};
}

int status_window_y(int rows, int tile_height) { return BOARD_Y + rows * tile_height + STATUS_GAP; }

int panel_window_x(int columns, int tile_width, int panel_width) {
    return (columns * tile_width + FRAME_EXTRA_WIDTH - panel_width) / 2;
}

PanelForm panel_form_for(int board_height) {
    if (board_height < PANEL_TALL_BOARD_HEIGHT) return {5, PANEL_SHORT_HEIGHT};
    return {10, PANEL_TALL_HEIGHT};
}

Size2 menu_window_size(int longest, int row_count, int char_width) {
    return {(longest + 3) * char_width + MENU_EXTRA_WIDTH, row_count * MENU_ROW_HEIGHT + MENU_EXTRA_HEIGHT};
}

int menu_row_at(int x, int y, int width, int height) {
    if (x < 0 || x > width || y < 0 || y > height) return -1;
    // Truncation toward zero lets y 0..2 answer to row 0 as well.
    return (y - MENU_TOP_MARGIN) / MENU_ROW_HEIGHT;
}

std::string_view menu_row_text(std::span<char> line, std::string_view label, bool current,
                               int label_columns) {
    const std::size_t width = std::min(static_cast<std::size_t>(label_columns + 2), line.size() - 1);
    std::fill(line.begin(), line.begin() + static_cast<std::ptrdiff_t>(width), ' ');
    if (current) line[0] = 'v';
    const std::size_t shown = std::min(label.size(), width > 2 ? width - 2 : 0);
    std::copy_n(label.begin(), shown, line.begin() + 2);
    line[width] = '\0';
    return {line.data(), width};
}

std::string status_line_text(int gets, int rests) {
    return format_message("Gets%6d  Rests%6d  Total%7d", gets, rests, gets - rests);
}

std::string_view entry_name(const HighScoreEntry& entry) {
    return {entry.name, strnlen(entry.name, HIGH_SCORE_NAME_BYTES)};
}

std::string score_row_label(int position, int rank, std::span<const HighScoreEntry, 10> entries) {
    const std::string name(entry_name(entries[static_cast<std::size_t>(position)]));
    if (position == rank) return format_message(">%2d. %s", rank + 1, name.c_str());
    return format_message(" %2d. %s", position + 1, name.c_str());
}

int pointer_cell_index(int position, int tile_size) {
    return position >= 0 ? position / tile_size : -1;
}
