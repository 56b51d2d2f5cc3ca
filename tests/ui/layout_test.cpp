// Layout numbers and texts of the window interface, without a display.
#include "board/board_sizes.h"
#include "ui/layout.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>

namespace {

constexpr std::array<const char*, 5> LABELS = {"Quit", "NewGame", "Undo", "Size", "Pictures"};

TEST(SizeClassTest, OnlyTheFourMenuSizesHaveAClass) {
    EXPECT_EQ(size_class_of(15, 8), 0);
    EXPECT_EQ(size_class_of(20, 10), 1);
    EXPECT_EQ(size_class_of(25, 15), 2);
    EXPECT_EQ(size_class_of(30, 20), 3);
    EXPECT_EQ(size_class_of(20, 8), -1);   // a custom size from the settings file
    EXPECT_EQ(size_class_of(8, 15), -1);   // columns and rows swapped
    EXPECT_EQ(size_class_of(30, 10), -1);
}

TEST(ButtonLayoutTest, SevenPixelFontGivesTheKnownRow) {
    const auto spans = layout_buttons(LABELS, 7);
    const std::array<int, 5> xs = {16, 58, 121, 163, 205};
    const std::array<int, 5> widths = {35, 56, 35, 35, 63};
    for (std::size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(spans[i].x, xs[i]) << LABELS[i];
        EXPECT_EQ(spans[i].width, widths[i]) << LABELS[i];
    }
}

TEST(ButtonLayoutTest, FollowsTheMeasuredCharacterWidth) {
    // The fallback font may be wider; the gap stays one character.
    const auto spans = layout_buttons(LABELS, 9);
    EXPECT_EQ(spans[0].width, 45);
    EXPECT_EQ(spans[1].x, 16 + 9 * 6);
    EXPECT_EQ(spans[4].x - (spans[3].x + spans[3].width), 9);
}

TEST(WindowLayoutTest, SmallBoardWithMarbleTiles) {
    const Size2 main = main_window_size(15, 8, 20, 20);
    EXPECT_EQ(main.width, 332);
    EXPECT_EQ(main.height, 208);
    const Size2 board = board_window_size(15, 8, 20, 20);
    EXPECT_EQ(board.width, 300);
    EXPECT_EQ(board.height, 160);
    EXPECT_EQ(panel_window_x(15, 20, 176), 78);
    EXPECT_EQ(status_window_y(8, 20), 188);  // 20 above the main window's bottom
    EXPECT_EQ(panel_form_for(board.height).rows_shown, 5);
}

TEST(WindowLayoutTest, NormalBoardWithHeadTiles) {
    const Size2 main = main_window_size(20, 10, 32, 32);
    EXPECT_EQ(main.width, 672);
    EXPECT_EQ(main.height, 368);
    const PanelForm form = panel_form_for(board_window_size(20, 10, 32, 32).height);
    EXPECT_EQ(form.rows_shown, 10);
    EXPECT_EQ(form.height, 208);
    EXPECT_EQ(panel_window_x(20, 32, 176), 248);
}

TEST(WindowLayoutTest, TenScoreRowsFrom203PixelsOfBoard) {
    EXPECT_EQ(panel_form_for(202).rows_shown, 5);
    EXPECT_EQ(panel_form_for(202).height, 128);
    EXPECT_EQ(panel_form_for(203).rows_shown, 10);
    EXPECT_EQ(panel_form_for(203).height, 208);
}

TEST(MenuGeometryTest, MenusOfTheSevenPixelFont) {
    const Size2 size_menu = menu_window_size(6, 4, 7);  // "Normal"
    EXPECT_EQ(size_menu.width, 67);
    EXPECT_EQ(size_menu.height, 62);
    const Size2 pictures_menu = menu_window_size(7, 5, 7);  // "(other)"
    EXPECT_EQ(pictures_menu.width, 74);
    EXPECT_EQ(pictures_menu.height, 76);
}

TEST(MenuGeometryTest, RowUnderThePointer) {
    const int width = 67;
    const int height = 62;  // four rows
    EXPECT_EQ(menu_row_at(10, 0, width, height), 0);  // (0 - 3) / 14 truncates to 0
    EXPECT_EQ(menu_row_at(10, 2, width, height), 0);
    EXPECT_EQ(menu_row_at(10, 16, width, height), 0);
    EXPECT_EQ(menu_row_at(10, 17, width, height), 1);
    EXPECT_EQ(menu_row_at(10, 14 * 3 + 3, width, height), 3);
    EXPECT_EQ(menu_row_at(10, 14 * 3 + 16, width, height), 3);
}

TEST(MenuGeometryTest, BottomMarginAndEdges) {
    const int width = 67;
    const int height = 62;
    // The margin below the last row answers with the row count: no row.
    EXPECT_EQ(menu_row_at(10, 14 * 4 + 3, width, height), 4);
    EXPECT_EQ(menu_row_at(10, height, width, height), 4);  // the far edge counts as inside
    EXPECT_EQ(menu_row_at(width, 20, width, height), 1);
    EXPECT_EQ(menu_row_at(width + 1, 20, width, height), -1);
    EXPECT_EQ(menu_row_at(10, height + 1, width, height), -1);
    EXPECT_EQ(menu_row_at(-1, 20, width, height), -1);
    EXPECT_EQ(menu_row_at(10, -1, width, height), -1);
}

TEST(MenuRowTextTest, CurrentRowIsMarkedAndEveryRowPaddedToTheSameWidth) {
    const int label_columns = 7;  // longest label "Normal" + 1
    char line[label_columns + 3];
    std::memset(line, 'x', sizeof line);
    EXPECT_EQ(menu_row_text(line, "Normal", true, label_columns), "v Normal ");
    EXPECT_EQ(line[9], '\0');
    EXPECT_EQ(menu_row_text(line, "Small", false, label_columns), "  Small  ");
    EXPECT_EQ(menu_row_text(line, "Huge", false, label_columns).size(), 9u);
}

TEST(MenuRowTextTest, NeverWritesPastTheLineBuffer) {
    char line[6];
    // A label longer than the caller promised is cut, not overrun.
    EXPECT_EQ(menu_row_text(line, "Pictures", false, 3), "  Pic");
}

TEST(StatusLineTest, FixedWidthFields) {
    const std::string text = status_line_text(0, 200);
    EXPECT_EQ(text, "Gets     0  Rests   200  Total   -200");
    EXPECT_EQ(text.size(), 37u);
    EXPECT_EQ(status_line_text(12345, 0), "Gets 12345  Rests     0  Total  12345");
}

HighScoreEntry entry(int score, const char* name) {
    HighScoreEntry result = {};
    result.score = score;
    std::memcpy(result.name, name, std::min<std::size_t>(std::strlen(name), sizeof result.name));
    return result;
}

TEST(ScoreRowTest, MarksOnlyTheNewRank) {
    std::array<HighScoreEntry, 10> entries = {};
    for (int i = 0; i < 10; ++i) entries[static_cast<std::size_t>(i)] = entry(100 - i, "--------");
    entries[2] = entry(98, "alice");
    EXPECT_EQ(score_row_label(0, 2, entries), "  1. --------");
    EXPECT_EQ(score_row_label(2, 2, entries), "> 3. alice");
    EXPECT_EQ(score_row_label(9, 10, entries), " 10. --------");
}

TEST(ScoreRowTest, NameEndsAtNulOrAfterTwentyBytes) {
    std::array<HighScoreEntry, 10> entries = {};
    entries[0] = entry(5, "abcdefghijklmnopqrstuvwxyz");  // fills all 20 bytes, no terminator
    entries[1] = entry(4, "bob");
    entries[1].name[10] = 'z';  // garbage after the terminator is not shown
    EXPECT_EQ(entry_name(entries[0]), "abcdefghijklmnopqrst");
    EXPECT_EQ(score_row_label(0, 10, entries), "  1. abcdefghijklmnopqrst");
    EXPECT_EQ(score_row_label(1, 10, entries), "  2. bob");
}

TEST(PointerCellTest, NegativePositionsAreNoCell) {
    // Plain division would put x -1..-31 in column 0.
    EXPECT_EQ(pointer_cell_index(-1, 32), -1);
    EXPECT_EQ(pointer_cell_index(-40, 32), -1);
    EXPECT_EQ(pointer_cell_index(0, 32), 0);
    EXPECT_EQ(pointer_cell_index(31, 32), 0);
    EXPECT_EQ(pointer_cell_index(32, 32), 1);
}

}  // namespace
