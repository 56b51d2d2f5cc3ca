// picture_limits_test.cpp: the largest tiles each board size takes, worked
// out by hand from X's 32767-pixel sides and the 32 x 48 frame.
#include "pictures/picture_limits.h"

#include <gtest/gtest.h>

#include "board/board_sizes.h"

namespace {

struct Largest {
    int tile_width;
    int tile_height;
};

// Per size class: 15 x 2182 + 32 = 32762, one more is 32777; 8 x 4089 + 48 =
// 32760, one more is 32768; and so on.
constexpr Largest LARGEST[] = {{2182, 4089}, {1636, 3271}, {1309, 2181}, {1091, 1635}};

TEST(PictureLimits, EachBoardSizeTakesTilesUpToItsLargestWindow) {
    for (std::size_t i = 0; i < BOARD_SIZES.size(); ++i) {
        const int columns = BOARD_SIZES[i].columns;
        const int rows = BOARD_SIZES[i].rows;
        const Largest largest = LARGEST[i];
        SCOPED_TRACE(BOARD_SIZES[i].label);
        EXPECT_TRUE(tile_size_fits_board(largest.tile_width, largest.tile_height, columns, rows));
        EXPECT_TRUE(tile_size_fits_board(largest.tile_width - 1, largest.tile_height - 1, columns, rows));
        EXPECT_FALSE(tile_size_fits_board(largest.tile_width + 1, largest.tile_height, columns, rows));
        EXPECT_FALSE(tile_size_fits_board(largest.tile_width, largest.tile_height + 1, columns, rows));
    }
    // The largest board is the one every set must fit to fit them all.
    EXPECT_TRUE(tile_size_fits_every_board(1091, 1635));
    EXPECT_FALSE(tile_size_fits_every_board(1092, 1));
    EXPECT_FALSE(tile_size_fits_every_board(1, 1636));
}

TEST(PictureLimits, EmptyAndHugeSidesNeverFitAndNeverOverflow) {
    EXPECT_FALSE(tile_size_fits_board(0, 24, 15, 8));
    EXPECT_FALSE(tile_size_fits_board(24, -1, 15, 8));
    EXPECT_FALSE(tile_size_fits_board(1 << 30, 1, 15, 8));  // 15 tiles of it wrap an int
    EXPECT_TRUE(pixmap_size_fits(X_SIDE_MAX, 1));
    EXPECT_FALSE(pixmap_size_fits(X_SIDE_MAX + 1, 1));
    EXPECT_FALSE(pixmap_size_fits(65537, 1));  // 1 in 16 bits
}

}  // namespace
