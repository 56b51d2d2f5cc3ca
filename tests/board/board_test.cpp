// board_test.cpp: dealing and the three board questions, on boards drawn as
// text. Cells outside the active area are filled with a tile colour in the
// cases that must prove they are never read.
#include "board/board.h"

#include <cstdlib>
#include <cstring>
#include <ctime>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "board/board_text.h"

using namespace board_text;

namespace {

class BoardTest : public ::testing::Test {
protected:
    void SetUp() override { reset_all(); }
};

// ---- dealing ----------------------------------------------------------------

TEST_F(BoardTest, DealFillsTheAreaWithColoursAndResetsTheScore) {
    for (const auto& [columns, rows] : {std::pair{20, 10}, std::pair{30, 20}, std::pair{15, 8}}) {
        board.columns = columns;
        board.rows = rows;
        for (auto& column : board.marks)
            for (auto& mark : column) mark = 1;
        score_state = {77, 1, 3, 1};

        deal_board();

        bool colours_seen[NUM_COLOURS + 1] = {};
        for (int c = 0; c < columns; ++c) {
            for (int r = 0; r < rows; ++r) {
                ASSERT_GE(board.cells[c][r], 1) << c << "," << r;
                ASSERT_LE(board.cells[c][r], NUM_COLOURS) << c << "," << r;
                ASSERT_EQ(board.marks[c][r], 0) << c << "," << r;
                colours_seen[board.cells[c][r]] = true;
            }
        }
        for (int colour = 1; colour <= NUM_COLOURS; ++colour) EXPECT_TRUE(colours_seen[colour]) << colour;
        EXPECT_EQ(score_state.gets, 0);
        EXPECT_EQ(score_state.recorded, 0);
        EXPECT_EQ(score_state.rests, columns * rows);
        EXPECT_EQ(score_state.game_over, 1) << "dealing leaves game_over to the controller";
    }
}

TEST_F(BoardTest, DealsInTheSameSecondGiveTheBoardOfThatSeed) {
    board.columns = 30;
    board.rows = 20;
    // Retry when the clock ticks between the two deals.
    for (int attempt = 0; attempt < 10; ++attempt) {
        const std::time_t before = std::time(nullptr);
        deal_board();
        Board first = board;
        deal_board();
        if (std::time(nullptr) != before) continue;

        EXPECT_EQ(std::memcmp(first.cells, board.cells, sizeof board.cells), 0);
        EXPECT_EQ(deal_seed, static_cast<unsigned>(before)) << "the journal writes down this seed";
        // One draw per cell, column by column, colour (r / 3) % 5 + 1.
        std::srand(static_cast<unsigned>(before));
        for (int c = 0; c < board.columns; ++c) {
            for (int r = 0; r < board.rows; ++r) {
                const int draw = std::rand();
                ASSERT_EQ(board.cells[c][r], (draw / 3) % 5 + 1) << c << "," << r;
            }
        }
        return;
    }
    FAIL() << "the clock ticked during every attempt";
}

TEST_F(BoardTest, SmallerDealLeavesCellsOutsideTheAreaAlone) {
    reset_all(9);
    board.columns = 15;
    board.rows = 8;
    deal_board();
    for (int c = 0; c < MAX_COLUMNS; ++c) {
        for (int r = 0; r < MAX_ROWS; ++r) {
            if (c < 15 && r < 8) continue;
            ASSERT_EQ(board.cells[c][r], 9) << c << "," << r;
        }
    }
}

// ---- has_same_neighbour ------------------------------------------------------

TEST_F(BoardTest, SameNeighbourLooksAtTheFourEdgesOnly) {
    set_board({"3.1",
               "312",
               "425"});
    EXPECT_FALSE(has_same_neighbour(1, 0)) << "an empty cell has no neighbours";
    EXPECT_TRUE(has_same_neighbour(0, 0)) << "its only equal neighbour is below";
    EXPECT_TRUE(has_same_neighbour(0, 1)) << "its only equal neighbour is above";
    EXPECT_FALSE(has_same_neighbour(1, 1)) << "diagonal 1 at (2,0) does not count";
    EXPECT_FALSE(has_same_neighbour(2, 0));
    EXPECT_FALSE(has_same_neighbour(1, 2));

    set_board({"12", "33"});
    EXPECT_TRUE(has_same_neighbour(0, 1)) << "right";
    EXPECT_TRUE(has_same_neighbour(1, 1)) << "left";
}

TEST_F(BoardTest, CellsOutsideTheAreaAreNeverNeighbours) {
    reset_all(1);  // every cell outside holds colour 1
    set_board({"2.1",
               "313"});
    EXPECT_FALSE(has_same_neighbour(2, 0)) << "column 3 lies outside";
    EXPECT_FALSE(has_same_neighbour(1, 1)) << "row 2 lies outside";
    EXPECT_FALSE(any_move_left());
    EXPECT_FALSE(has_same_neighbour(3, 0)) << "a cell outside is no argument";
    EXPECT_FALSE(has_same_neighbour(-1, 0));
    EXPECT_FALSE(has_same_neighbour(0, 2));
}

// ---- any_move_left -----------------------------------------------------------

TEST_F(BoardTest, MoveLeftCases) {
    struct Case {
        const char* name;
        std::vector<std::string> rows;
        bool expected;
    };
    const Case cases[] = {
        {"empty board", {"...", "...", "..."}, false},
        {"single tile", {"...", "...", "4.."}, false},
        {"pair stacked at the top of a column", {"2..", "2..", "3..", "4.."}, true},
        {"pair side by side at the top right", {"...55", "12121", "21212"}, true},
        {"full board without a pair", {"12345", "34512", "51234", "23451"}, false},
        {"only pair in the last column's bottom", {"123.", "2143", "3213"}, true},
    };
    for (const Case& c : cases) {
        reset_all();
        set_board(c.rows);
        EXPECT_EQ(any_move_left(), c.expected) << c.name;
    }
}

TEST_F(BoardTest, MoveTestStopsAtTheFirstEmptyColumn) {
    // Not a board play can make: the pair right of the empty column 0 proves
    // that the scan trusts packing and looks no further.
    set_board({".1",
               ".1"});
    EXPECT_FALSE(any_move_left());
}

// ---- any_marked --------------------------------------------------------------

TEST_F(BoardTest, MarkedLooksOnlyInsideTheArea) {
    board.columns = 20;
    board.rows = 10;
    deal_board();
    EXPECT_FALSE(any_marked());

    board.marks[20][0] = 1;  // outside: a wider board's leftover
    board.marks[0][10] = 1;
    EXPECT_FALSE(any_marked());

    board.marks[19][9] = 1;
    EXPECT_TRUE(any_marked());
}

// ---- list_clusters -------------------------------------------------------------

TEST_F(BoardTest, ClustersComeInColumnOrderOfTheirFirstTileAndStayInTheArea) {
    reset_all(1);  // a 1 outside would join the single 1 at the bottom right
    set_board({"1.2",
               "112",
               "331"});
    Cluster clusters[MAX_CLUSTERS];
    const int count = list_clusters(clusters);
    std::vector<std::tuple<int, int, int, int>> found;
    for (int i = 0; i < count; ++i)
        found.emplace_back(clusters[i].column, clusters[i].row, clusters[i].size, clusters[i].colour);
    EXPECT_EQ(found, (std::vector<std::tuple<int, int, int, int>>{{0, 0, 3, 1}, {0, 2, 2, 3}, {2, 0, 2, 2}}));
}

}  // namespace
