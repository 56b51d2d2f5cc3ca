// play_test.cpp: whole games played through the pointer, with every removal
// checked cell by cell against the rules, the end of the game, and Undo.
#include "e2e/e2e_fixture.h"

#include <filesystem>

namespace {

class PlayTest : public E2eTest {
protected:
    // Checks the finished game: every tile drawn pushed (play_cluster saw
    // that), the panel shown, Undo gray; then Undo and a board Expose must
    // change nothing.
    void expect_game_over(const BoardCells& last, const Score& score)
    {
        find_windows();
        EXPECT_TRUE(windows.panel.mapped) << "score panel not shown at the end";
        EXPECT_EQ(count_differences(driver.read(windows.buttons[E2E_UNDO].id), expected_button(E2E_UNDO, true, false)), 0)
            << "Undo not drawn gray at the end";

        click_top_button(E2E_UNDO);
        BoardCells after_undo = read_board();
        EXPECT_TRUE(same_cells(after_undo, last)) << "Undo after the end changed the board\n" << after_undo.text();
        expect_status(score, "after Undo at the end");
        EXPECT_TRUE(find_windows().panel.mapped) << "Undo after the end hid the panel";

        send_board_exposes(3);
        BoardCells exposed = read_board();
        EXPECT_TRUE(same_cells(exposed, last));
        for (int c = 0; c < last.columns; ++c)
            for (int r = 0; r < last.rows; ++r)
                if (exposed.colour[c][r] > 0) {
                    EXPECT_TRUE(exposed.look[c][r].pushed) << "not pushed after Expose: " << c << "," << r;
                }
    }
};

TEST_F(PlayTest, WholeGameWithPushedImagesRemovesOnRelease)
{
    start_game();  // 20 x 10, "Head"
    ASSERT_TRUE(windows.complete);
    use_builtin_set(SET_HEAD);
    BoardCells cells = read_board();
    ASSERT_TRUE(cells.all_known()) << cells.text();
    Score score{0, 200};
    expect_status(score, "after the deal");

    BoardCells last = play_to_end(cells, score);
    ASSERT_FALSE(HasFailure());
    ASSERT_FALSE(any_pair_left(last));
    expect_game_over(last, score);
}

TEST_F(PlayTest, WholeGameWithoutPushedImagesRemovesOnPress)
{
    write_settings(15, 8, SET_MARBLE);
    start_game();
    ASSERT_TRUE(windows.complete);
    use_builtin_set(SET_MARBLE);
    BoardCells cells = read_board();
    ASSERT_TRUE(cells.all_known()) << cells.text();
    Score score{0, 120};

    BoardCells last = play_to_end(cells, score);
    ASSERT_FALSE(HasFailure());
    expect_game_over(last, score);
}

TEST_F(PlayTest, UndoRestoresBoardAndNumbersOnce)
{
    start_game();
    ASSERT_TRUE(windows.complete);
    use_builtin_set(SET_HEAD);
    BoardCells dealt = read_board();
    ASSERT_TRUE(dealt.all_known());
    Score dealt_score{0, 200};
    EXPECT_EQ(count_differences(driver.read(windows.buttons[E2E_UNDO].id), expected_button(E2E_UNDO, true, false)), 0)
        << "Undo not gray after the deal";

    Score score = dealt_score;
    play_cluster(dealt, biggest_cluster(dealt), score);
    ASSERT_FALSE(HasFailure());
    EXPECT_EQ(count_differences(driver.read(windows.buttons[E2E_UNDO].id), expected_button(E2E_UNDO, false, false)), 0)
        << "Undo not enabled after a removal";

    // Hovering the enabled button frames it.
    driver.move_to(windows.buttons[E2E_UNDO].id, 10, 7);
    settle();
    EXPECT_EQ(count_differences(driver.read(windows.buttons[E2E_UNDO].id), expected_button(E2E_UNDO, false, true)), 0)
        << "no hover frame on the enabled Undo";

    click_top_button(E2E_UNDO);
    BoardCells undone = read_board();
    EXPECT_TRUE(same_cells(undone, dealt)) << "after Undo\n" << undone.text() << "dealt\n" << dealt.text();
    for (int c = 0; c < dealt.columns; ++c)
        for (int r = 0; r < dealt.rows; ++r) EXPECT_TRUE(undone.look[c][r].plain) << c << "," << r;
    expect_status(dealt_score, "after Undo");
    EXPECT_EQ(count_differences(driver.read(windows.buttons[E2E_UNDO].id), expected_button(E2E_UNDO, true, false)), 0)
        << "Undo not gray (and unframed) after use";

    click_top_button(E2E_UNDO);
    EXPECT_TRUE(same_cells(read_board(), dealt)) << "a second Undo changed the board";
    expect_status(dealt_score, "after a second Undo");

    // Play on from the restored board: the snapshot does not leak into play.
    score = dealt_score;
    play_cluster(dealt, biggest_cluster(dealt), score);
}

TEST_F(PlayTest, WheelStepRemovesLikeAClick)
{
    start_game();
    ASSERT_TRUE(windows.complete);
    use_builtin_set(SET_HEAD);
    BoardCells dealt = read_board();
    Score score{0, 200};
    play_cluster(dealt, biggest_cluster(dealt), score, 4);
}

TEST_F(PlayTest, PressOnLoneTileRemovesNothing)
{
    GameOptions options = game_options();
    options.environment = {"CLUMPOUT_DEAL=7"};  // a deal with a lone tile
    start_game(options);
    ASSERT_TRUE(windows.complete);
    use_builtin_set(SET_HEAD);
    BoardCells dealt = read_board();
    Cell lone{-1, -1};
    for (int c = 0; c < dealt.columns && lone.first < 0; ++c)
        for (int r = 0; r < dealt.rows && lone.first < 0; ++r)
            if (cluster_of(dealt, {c, r}).size() == 1) lone = {c, r};
    ASSERT_GE(lone.first, 0) << "the deal has no lone tile";

    point_at_cell(lone.first, lone.second);
    press_board();
    release_board();
    BoardCells now = read_board();
    EXPECT_TRUE(same_cells(now, dealt));
    for (int c = 0; c < dealt.columns; ++c)
        for (int r = 0; r < dealt.rows; ++r) EXPECT_TRUE(now.look[c][r].plain) << c << "," << r;
    expect_status({0, 200}, "after a press on a lone tile");
    EXPECT_EQ(count_differences(driver.read(windows.buttons[E2E_UNDO].id), expected_button(E2E_UNDO, true, false)), 0)
        << "Undo enabled without a removal";
}

TEST_F(PlayTest, NewGameDealsAtOnce)
{
    start_game();
    ASSERT_TRUE(windows.complete);
    use_builtin_set(SET_HEAD);
    BoardCells dealt = read_board();
    Score score{0, 200};
    play_cluster(dealt, biggest_cluster(dealt), score);
    click_top_button(E2E_NEW_GAME);
    BoardCells fresh = read_board();
    ASSERT_TRUE(fresh.all_known()) << fresh.text();
    for (int c = 0; c < fresh.columns; ++c)
        for (int r = 0; r < fresh.rows; ++r) {
            EXPECT_GE(fresh.colour[c][r], 1) << "the new deal has holes";
            EXPECT_TRUE(fresh.look[c][r].plain);
        }
    expect_status({0, 200}, "after NewGame");
    EXPECT_EQ(count_differences(driver.read(windows.buttons[E2E_UNDO].id), expected_button(E2E_UNDO, true, false)), 0);
    EXPECT_FALSE(std::filesystem::exists(data_path("hiscore"))) << "an abandoned game was recorded";

    // The disabled Undo gets no hover frame; an enabled button does.
    driver.move_to(windows.buttons[E2E_UNDO].id, 10, 7);
    settle();
    EXPECT_EQ(count_differences(driver.read(windows.buttons[E2E_UNDO].id), expected_button(E2E_UNDO, true, false)), 0)
        << "hover frame on the disabled Undo";
    driver.move_to(windows.buttons[E2E_SIZE].id, 10, 7);
    settle();
    EXPECT_EQ(count_differences(driver.read(windows.buttons[E2E_SIZE].id), expected_button(E2E_SIZE, false, true)), 0)
        << "no hover frame on Size";
    EXPECT_EQ(count_differences(driver.read(windows.buttons[E2E_UNDO].id), expected_button(E2E_UNDO, true, false)), 0)
        << "leaving Undo left something drawn";
}

}  // namespace
