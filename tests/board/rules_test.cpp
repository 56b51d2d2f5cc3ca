// rules_test.cpp: marking, removal with gravity and closing, scoring and
// undo, with the repaints the rules ask for recorded in order.
#include "board/rules.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "board/board_text.h"

using namespace board_text;

namespace {

using Rows = std::vector<std::string>;

class RulesTest : public ::testing::Test {
protected:
    void SetUp() override { reset_all(); }
};

// A U of seven 1s whose right arm is reached only by climbing column 2; the
// 1 at the top right touches it only diagonally.
const Rows U_BOARD = {"1.1.1",
                      "12133",
                      "11122"};

// ---- marking -----------------------------------------------------------------

TEST_F(RulesTest, MarkingPaintsEachTileOnceInWalkOrder) {
    set_board(U_BOARD);
    highlight_cluster(0, 0);
    EXPECT_EQ(mark_rows(), (Rows{"x.x..",
                                 "x.x..",
                                 "xxx.."}));
    EXPECT_EQ(painted, (Calls{{0, 0, BOXED}, {0, 1, BOXED}, {0, 2, BOXED}, {1, 2, BOXED},
                              {2, 2, BOXED}, {2, 1, BOXED}, {2, 0, BOXED}}));
}

TEST_F(RulesTest, EveryTileOfTheClusterFindsTheSameSet) {
    const Rows expected = {"x.x..",
                           "x.x..",
                           "xxx.."};
    const std::pair<int, int> starts[] = {{0, 0}, {2, 0}, {1, 2}, {2, 1}, {0, 2}};
    for (const auto& [column, row] : starts) {
        reset_all();
        set_board(U_BOARD);
        highlight_cluster(column, row);
        EXPECT_EQ(mark_rows(), expected) << "from " << column << "," << row;
        EXPECT_EQ(painted.size(), 7u) << "from " << column << "," << row;
    }
}

TEST_F(RulesTest, PointingAtALoneTileOrAGapOnlyRemovesTheOldHighlight) {
    for (const auto& [column, row] : {std::pair{4, 0}, std::pair{3, 0}}) {
        reset_all();
        set_board(U_BOARD);
        highlight_cluster(3, 1);  // the pair of 3s
        painted.clear();

        highlight_cluster(column, row);

        EXPECT_FALSE(any_marked());
        EXPECT_EQ(painted, (Calls{{3, 1, TILE_DEFAULT}, {4, 1, TILE_DEFAULT}}));
        const Rows before = board_rows();
        EXPECT_EQ(remove_marked(), 0);
        EXPECT_EQ(board_rows(), before);
        EXPECT_EQ(score_state.gets, 0);
        EXPECT_EQ(score_state.rests, 13);
    }
}

TEST_F(RulesTest, MarkingNeverWalksOutOfTheArea) {
    reset_all(1);  // every cell outside holds colour 1
    set_board({"2.1",
               "313"});
    highlight_cluster(2, 0);
    EXPECT_FALSE(any_marked());

    mark_cluster(1, 0);  // empty: marking it would count a gap as a tile
    mark_cluster(3, 0);  // outside the area
    EXPECT_FALSE(any_marked());
    EXPECT_TRUE(painted.empty());

    mark_cluster(2, 0);  // a lone tile: only the controller's guard is skipped
    mark_cluster(1, 1);
    EXPECT_EQ(mark_rows(), (Rows{"..x",
                                 ".x."}));
    EXPECT_EQ(board.marks[3][0], 0);
    EXPECT_EQ(board.marks[1][2], 0);
}

// ---- removal -------------------------------------------------------------------

TEST_F(RulesTest, RemovalRepaintsDropsThenClosings) {
    set_board({"21.",
               "113"});
    highlight_cluster(1, 1);
    painted.clear();

    EXPECT_EQ(remove_marked(), 3);

    EXPECT_EQ(board_rows(), (Rows{"...",
                                  "23."}));
    const int D = TILE_DEFAULT;
    EXPECT_EQ(painted, (Calls{// row 0: (1,0) drops, nothing above
                              {1, 0, D},
                              // row 1: (0,1) takes (0,0), then (1,1) takes the gap
                              {0, 1, D}, {0, 0, D}, {1, 1, D}, {1, 0, D},
                              // column 1 closes: column 2 moves in, column 2 cleared
                              {1, 0, D}, {1, 1, D}, {2, 0, D}, {2, 1, D}}));
    EXPECT_EQ(mark_rows(), (Rows{"...", "..."}));
}

TEST_F(RulesTest, VerticalRunLetsTheTilesAboveFallByItsLength) {
    set_board({"42.",
               "52.",
               "13.",
               "14.",
               "15."});
    highlight_cluster(0, 3);
    EXPECT_EQ(remove_marked(), 3);
    EXPECT_EQ(board_rows(), (Rows{".2.",
                                  ".2.",
                                  ".3.",
                                  "44.",
                                  "55."}));
}

TEST_F(RulesTest, SevenTilesScoreTwentyFiveAndEmptiedColumnsClose) {
    set_board(U_BOARD);
    score_state.gets = 10;
    highlight_cluster(0, 0);
    EXPECT_EQ(remove_marked(), 7);
    EXPECT_EQ(score_state.gets, 35);
    EXPECT_EQ(score_state.rests, 6);
    // Columns 0 and 2 emptied; the rest keep their order, packed to the left.
    EXPECT_EQ(board_rows(), (Rows{"..1..",
                                  ".33..",
                                  "222.."}));
}

TEST_F(RulesTest, TwoSeparateEmptiedColumnsBothClose) {
    set_board({"21115",
               "31213"});
    highlight_cluster(1, 0);
    EXPECT_EQ(remove_marked(), 5);
    EXPECT_EQ(board_rows(), (Rows{"2.5..",
                                  "323.."}));
    EXPECT_EQ(score_state.gets, 9);
    EXPECT_EQ(score_state.rests, 5);
}

TEST_F(RulesTest, EmptyingTheRightmostColumnClosesNothingAndAPairScoresNothing) {
    set_board({"3.1",
               "241"});
    score_state.gets = 4;
    highlight_cluster(2, 1);
    painted.clear();
    EXPECT_EQ(remove_marked(), 2);
    EXPECT_EQ(board_rows(), (Rows{"3..",
                                  "24."}));
    for (const Call& call : painted) EXPECT_EQ(std::get<0>(call), 2) << "only column 2 is repainted";
    EXPECT_EQ(score_state.gets, 4);
    EXPECT_EQ(score_state.rests, 3);
}

TEST_F(RulesTest, ClearingTheBoardAddsTheBonusOnce) {
    Rows rows(10, std::string(20, '.'));
    rows[9].replace(0, 3, "444");
    set_board(rows);
    score_state.gets = 50;

    highlight_cluster(1, 9);
    EXPECT_EQ(remove_marked(), 3);
    EXPECT_EQ(score_state.gets, 50 + 1 + 200);
    EXPECT_EQ(score_state.rests, 0);
    EXPECT_FALSE(any_move_left());

    // A stray removal on the cleared board must not pay the bonus again.
    EXPECT_EQ(remove_marked(), 0);
    EXPECT_EQ(score_state.gets, 251);
}

TEST_F(RulesTest, ClearingAFullBoardOfOneColour) {
    set_board(Rows(10, std::string(20, '2')));
    highlight_cluster(7, 4);
    EXPECT_EQ(remove_marked(), 200);
    EXPECT_EQ(score_state.gets, 198 * 198 + 200);
    EXPECT_EQ(score_state.rests, 0);
    EXPECT_EQ(board_rows(), Rows(10, std::string(20, '.')));
}

TEST_F(RulesTest, ALoneMarkedTileLeavesTheBoardButScoresNothing) {
    // Only a direct mark_cluster can mark a single tile; rests must still
    // follow the tiles, and (1 - 2)^2 is no reward.
    set_board({"3.1",
               "241"});
    mark_cluster(0, 0);
    EXPECT_EQ(remove_marked(), 1);
    EXPECT_EQ(board_rows(), (Rows{"..1",
                                  "241"}));
    EXPECT_EQ(score_state.gets, 0);
    EXPECT_EQ(score_state.rests, 4);
}

// ---- undo ----------------------------------------------------------------------

TEST_F(RulesTest, UndoRestoresCellsAndScoreButNoMarks) {
    set_board(U_BOARD);
    score_state = {10, 0, 13, 0};
    highlight_cluster(0, 0);
    take_snapshot();
    remove_marked();
    highlight_cluster(1, 1);  // the 3s have fallen together with other tiles
    ASSERT_TRUE(any_marked());
    painted.clear();

    restore_snapshot();

    EXPECT_EQ(board_rows(), U_BOARD);
    EXPECT_EQ(score_state.gets, 10);
    EXPECT_EQ(score_state.rests, 13);
    EXPECT_TRUE(painted.empty()) << "the controller redraws the board itself";
    EXPECT_TRUE(any_marked()) << "marks are the painter's business after undo";
}

}  // namespace
