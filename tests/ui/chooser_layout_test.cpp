// chooser_layout_test.cpp: where the chooser puts its entries, for the main
// window of a 20 x 10 board of "Head" (672 x 368) with the chooser opened
// from "(other)" at (226, 87): one column while it fits, then columns, then
// pages with arrows.
#include "ui/chooser_layout.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr ChooserArea MAIN = {0, 0, 672, 368};
constexpr int AT_X = 226;
constexpr int AT_Y = 87;

ChooserLayout lay_out(const std::vector<int>& lengths) { return layout_chooser(lengths, 7, MAIN, AT_X, AT_Y); }

// The middle of entry `entry`'s row.
int item_at_entry(const ChooserLayout& layout, int entry) {
    const ChooserColumn& column = layout.column_of(entry);
    return chooser_item_at(layout, column.page, column.x + 3, 3 + 14 * (entry - column.first) + 7);
}

TEST(ChooserLayout, OneColumnAtThePointerUntilItReachesTheBottom) {
    // 87 + 19 x 14 + 6 + 2 = 361: the last row that still fits.
    const ChooserLayout fits = lay_out(std::vector<int>(19, 6));
    EXPECT_EQ((std::vector{fits.x, fits.y, fits.width, fits.height}), (std::vector{AT_X, AT_Y, 60, 272}));
    EXPECT_EQ(fits.columns.size(), 1u);
    EXPECT_EQ(chooser_item_at(fits, 0, 10, 0), 0);    // above the first row is the first row
    EXPECT_EQ(chooser_item_at(fits, 0, 60, 17), 1);   // the edges count as inside
    EXPECT_EQ(chooser_item_at(fits, 0, 10, 270), CHOOSER_NOTHING);  // bottom margin

    // One more wraps into a second column, as tall as the room below.
    const ChooserLayout wraps = lay_out(std::vector<int>(20, 6));
    EXPECT_EQ((std::vector{wraps.x, wraps.y, wraps.width, wraps.height}), (std::vector{AT_X, AT_Y, 116, 272}));
    EXPECT_EQ(wraps.page_count, 1);
    EXPECT_EQ(item_at_entry(wraps, 19), 19);
    EXPECT_EQ(chooser_item_at(wraps, 0, 100, 3 + 7), 19);
    EXPECT_EQ(chooser_item_at(wraps, 0, 100, 3 + 14 + 7), CHOOSER_NOTHING);  // below the short column
}

TEST(ChooserLayout, EachColumnIsAsWideAsItsWidestName) {
    std::vector<int> lengths(40, 3);
    lengths[20] = 10;
    const ChooserLayout layout = lay_out(lengths);
    ASSERT_EQ(layout.columns.size(), 3u);
    EXPECT_EQ(layout.columns[0].chars, 5);
    EXPECT_EQ(layout.columns[1].chars, 12);
    EXPECT_EQ(layout.columns[2].chars, 5);
    EXPECT_EQ(layout.columns[2].x, 2 + 7 * 17);
    EXPECT_EQ(layout.width, 7 * 22 + 4);
}

TEST(ChooserLayout, PastWhatColumnsHoldItPagesAndTheArrowsTurnThem) {
    // 70,000 pixels in one column: 18 rows a column (the arrows take the
    // 19th), 11 columns of 56 pixels a page, moved left to stay inside.
    const ChooserLayout layout = lay_out(std::vector<int>(5000, 6));
    EXPECT_EQ(layout.rows_per_column, 18);
    EXPECT_EQ(layout.page_count, 26);
    EXPECT_EQ((std::vector{layout.x, layout.y, layout.width, layout.height}), (std::vector{50, AT_Y, 620, 272}));
    EXPECT_EQ(layout.column_of(4999).page, 25);
    EXPECT_EQ(item_at_entry(layout, 4999), 4999);

    const int arrows_y = 3 + 18 * 14 + 7;
    EXPECT_EQ(chooser_item_at(layout, 0, 5, arrows_y), CHOOSER_NOTHING);  // no page before the first
    EXPECT_EQ(chooser_item_at(layout, 0, 615, arrows_y), CHOOSER_NEXT_PAGE);
    EXPECT_EQ(chooser_item_at(layout, 25, 5, arrows_y), CHOOSER_PREVIOUS_PAGE);
    EXPECT_EQ(chooser_item_at(layout, 25, 615, arrows_y), CHOOSER_NOTHING);
}

TEST(ChooserLayout, NearTheBottomTheWindowRisesAndLongNamesAreCut) {
    // Two rows of room below the pointer are too few for six entries.
    const ChooserLayout risen = layout_chooser(std::vector<int>(6, 6), 7, MAIN, AT_X, 330);
    EXPECT_EQ(risen.y, 0);
    EXPECT_EQ(risen.columns.size(), 1u);

    const ChooserLayout cut = layout_chooser(std::vector<int>{250}, 7, {0, 0, 332, 208}, AT_X, AT_Y);
    // 332 - 2 (border) - 4 (margins) holds 46 characters; its right edge
    // is the area's.
    EXPECT_EQ(cut.width, 7 * 46 + 4);
    EXPECT_EQ(cut.x, 332 - (cut.width + 2));
}

}  // namespace
