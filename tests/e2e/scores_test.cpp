// scores_test.cpp: the status line and the score panel: the result of a
// finished game entering the shared table at the right rank, the panel's two
// forms, and its "Continue" / "New Game" button.
#include "e2e/e2e_fixture.h"

#include "scores/high_score_file.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <atomic>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <thread>

namespace {

struct Entry {
    int score;
    std::string name;
};

using Table = std::array<std::array<Entry, 10>, 4>;

Table empty_table()
{
    Table t;
    for (auto& size_class : t)
        for (auto& e : size_class) e = {0, "--------"};
    return t;
}

std::string encode(const Table& t)
{
    std::string bytes(960, '\0');
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 10; ++r) {
            size_t at = 240 * static_cast<size_t>(c) + 24 * static_cast<size_t>(r);
            std::int32_t s = t[c][r].score;
            std::memcpy(&bytes[at], &s, 4);
            std::memcpy(&bytes[at + 4], t[c][r].name.data(), std::min<size_t>(20, t[c][r].name.size()));
        }
    return bytes;
}

class ScoresTest : public E2eTest {
protected:
    Image expected_list(const Table& table, int size_class, int rank, int rows_shown, int height,
                        const char* button) const
    {
        std::vector<DrawOp> ops{text.text(16, 14, "*** High Score ***")};
        for (int p = 0; p < rows_shown; ++p) {
            char left[64], right[16];
            const Entry& e = table[size_class][p];
            std::snprintf(left, sizeof left, p == rank ? ">%2d. %s" : " %2d. %s", p + 1, e.name.c_str());
            std::snprintf(right, sizeof right, "%6d", e.score);
            ops.push_back(text.text(8, 30 + 16 * p, left));
            ops.push_back(text.text(116, 30 + 16 * p, right));
        }
        add_button(ops, height, button);
        return text.render(176, height, ops);
    }

    Image expected_summary(const Score& s, const char* button) const
    {
        char gets[32], rests[32], total[32];
        std::snprintf(gets, sizeof gets, "Gets    %6d", s.gets);
        std::snprintf(rests, sizeof rests, "Rests   %6d", -s.rests);
        std::snprintf(total, sizeof total, "Total   %6d", s.gets - s.rests);
        std::vector<DrawOp> ops{text.text(24, 16, gets), text.text(24, 32, rests), text.line(16, 34, 131, 34),
                                text.text(24, 48, total)};
        add_button(ops, 80, button);
        return text.render(160, 80, ops);
    }

    // The panel button as its child window shows inside the panel: its
    // outer corner at (56, height - 24), a black border around a 64 x 14
    // field, the label drawn at (2, 12) of the field.
    void add_button(std::vector<DrawOp>& ops, int panel_height, const char* label) const
    {
        int top = panel_height - 24;
        ops.push_back(text.rectangle(56, top, 65, 15));
        ops.push_back(text.text(57 + 2, top + 1 + 12, label));
    }

    void expect_panel(const Image& expected, const char* where)
    {
        point_outside_board();  // no hover frame on the panel button
        find_windows();
        ASSERT_TRUE(windows.panel.mapped) << where << ": panel not shown";
        Image shown = driver.read(windows.panel.id);
        EXPECT_EQ(count_differences(shown, expected), 0) << where;
        if (shown != expected) {
            dump(shown, "panel-shown");
            dump(expected, "panel-expected");
        }
    }
};

TEST_F(ScoresTest, FinishedGameIsRankedAndListed)
{
    Table seeded = empty_table();
    seeded[0][0] = {30000, "zed"};
    seeded[0][1] = {20000, "yan"};
    for (int r = 2; r < 10; ++r) seeded[0][r] = {-5000, "low"};
    seeded[1][0] = {77, "other-class"};
    write_file(data_path("hiscore"), encode(seeded));

    write_settings(15, 8, SET_MARBLE);
    GameOptions options = game_options();
    options.logname = "alice";
    start_game(options);
    ASSERT_TRUE(windows.complete);
    use_builtin_set(SET_MARBLE);
    Score score{0, 120};
    play_to_end(read_board(), score);
    ASSERT_FALSE(HasFailure());

    // A Small board's result cannot reach 20000 nor fall to -5000: rank 2.
    Table expected = seeded;
    for (int r = 9; r > 2; --r) expected[0][r] = expected[0][r - 1];
    expected[0][2] = {score.gets - score.rests, "alice"};
    EXPECT_EQ(read_file(data_path("hiscore")), encode(expected)) << "table after the game";
    expect_panel(expected_list(expected, 0, 2, 5, 128, "New Game"), "at the end");

    // Hidden and shown again from the status line: the same list, no marker.
    driver.click(windows.status.id, 10, 7);
    settle();
    EXPECT_FALSE(find_windows().panel.mapped);
    driver.click(windows.status.id, 10, 7);
    settle();
    expect_panel(expected_list(expected, 0, -1, 5, 128, "New Game"), "shown again");
    EXPECT_EQ(read_file(data_path("hiscore")), encode(expected)) << "the result was offered twice";

    // "New Game" deals.
    driver.click(windows.panel_button.id, 10, 7);
    settle();
    EXPECT_FALSE(find_windows().panel.mapped);
    BoardCells fresh = read_board();
    for (int c = 0; c < 15; ++c)
        for (int r = 0; r < 8; ++r) EXPECT_GE(fresh.colour[c][r], 1);
    expect_status({0, 120}, "after New Game");
}

TEST_F(ScoresTest, CustomSizeShowsSummaryAndRecordsNothing)
{
    write_settings(16, 8, SET_MARBLE);
    start_game();
    ASSERT_TRUE(windows.complete);
    use_builtin_set(SET_MARBLE);
    Score score{0, 128};
    play_to_end(read_board(), score);
    ASSERT_FALSE(HasFailure());
    expect_panel(expected_summary(score, "New Game"), "custom size at the end");
    EXPECT_EQ(windows.panel.width, 160);
    EXPECT_EQ(windows.panel.height, 80);
    EXPECT_EQ(windows.panel_button.y, 56);
    EXPECT_FALSE(std::filesystem::exists(data_path("hiscore")));
}

TEST_F(ScoresTest, StatusLineTogglesPanelAndContinueHidesIt)
{
    start_game();
    ASSERT_TRUE(windows.complete);
    use_builtin_set(SET_HEAD);
    BoardCells dealt = read_board();
    Score score{0, 200};
    BoardCells played = play_cluster(dealt, biggest_cluster(dealt), score);

    // No table file yet: the summary, with "Continue" during play.
    driver.click(windows.status.id, 10, 7);
    settle();
    expect_panel(expected_summary(score, "Continue"), "opened during play");
    driver.click(windows.panel_button.id, 10, 7);
    settle();
    EXPECT_FALSE(find_windows().panel.mapped) << "Continue did not hide the panel";
    EXPECT_TRUE(same_cells(read_board(), played)) << "Continue changed the game";
    expect_status(score, "after Continue");

    driver.click(windows.status.id, 10, 7);
    settle();
    EXPECT_TRUE(find_windows().panel.mapped);
    driver.click(windows.status.id, 10, 7);
    settle();
    EXPECT_FALSE(find_windows().panel.mapped) << "a second press on the status line did not hide the panel";
    EXPECT_FALSE(std::filesystem::exists(data_path("hiscore"))) << "something was recorded during play";
}

TEST_F(ScoresTest, ListDuringPlayHasNoMarkerAndTenRowsOnTallBoards)
{
    Table seeded = empty_table();
    for (int r = 0; r < 10; ++r) seeded[1][r] = {1000 - 100 * r, "p" + std::to_string(r)};
    write_file(data_path("hiscore"), encode(seeded));
    start_game();  // 20 x 10 with 32-pixel tiles: 320 rows of pixels, ten rows listed
    driver.click(windows.status.id, 10, 7);
    settle();
    expect_panel(expected_list(seeded, 1, -1, 10, 208, "Continue"), "during play");
    EXPECT_EQ(read_file(data_path("hiscore")), encode(seeded));
}

// Other players hold the lock, one after the other, and its owner keeps
// changing its mode. While this game's keeper waits, the game still quits
// at once, and its keeper does not outlive it by more than its own bound.
TEST_F(ScoresTest, QuitEndsTheGameWhileItsKeeperWaitsForOtherPlayersLocks)
{
    write_file(data_path("hiscore"), encode(empty_table()));  // any result ranks
    const std::string lock = data_path(".LOCK"), next = lock + ".next";
    ASSERT_EQ(close(open(lock.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0)), 0);
    std::atomic<bool> stop{false};
    std::thread owners([&] {
        for (int i = 1; !stop; ++i) {
            if (i % 20 == 0) {  // a new holder every second
                close(open(next.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0));
                rename(next.c_str(), lock.c_str());
            }
            chmod(lock.c_str(), i % 2 ? 0400 : 0);
            std::this_thread::sleep_for(50ms);
        }
    });
    write_settings(15, 8, SET_MARBLE);
    start_game();
    ASSERT_TRUE(windows.complete);
    pid_t keeper = 0;
    std::ifstream("/proc/" + std::to_string(game.pid()) + "/task/" + std::to_string(game.pid()) + "/children") >>
        keeper;
    use_builtin_set(SET_MARBLE);
    Score score{0, 120};
    play_to_end(read_board(), score);
    std::this_thread::sleep_for(1s);  // the keeper is waiting for the lock now

    const auto quit = std::chrono::steady_clock::now();
    driver.click(windows.board.id, 2, 2, 3);
    EXPECT_EQ(game.wait_exit(2s), 0) << "Quit did not end the game within 2 s";
    const auto until = quit + std::chrono::seconds(LOCK_WAIT_LIMIT_SECONDS + 2);
    while (keeper > 0 && kill(keeper, 0) == 0 && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(50ms);
    EXPECT_NE(kill(keeper, 0), 0) << "the keeper outlived its bound";
    stop = true;
    owners.join();
    EXPECT_EQ(read_file(data_path("hiscore")), encode(empty_table()));
}

}  // namespace
