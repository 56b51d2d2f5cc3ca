// concurrent_players_test.cpp: several copies of the game on one X server,
// each played to its last move. The last moves are queued while all copies
// are stopped, and all are let go at once, so they enter their results in
// the shared high-score table at the same moment. Every result must be in
// the table afterwards, and nothing that was there before may be lost
// beyond what the new results pushed out.
#include "stress/stress_fixture.h"

#include "e2e/play_oracle.h"
#include "pictures/picture_set.h"
#include "scores/high_score_table.h"

#include <csignal>
#include <cstring>
#include <thread>
#include <unistd.h>

namespace {

// Waits until the process is stopped by a signal.
bool stops(pid_t pid)
{
    const std::string path = "/proc/" + std::to_string(pid) + "/stat";
    const auto until = std::chrono::steady_clock::now() + 10s;
    while (std::chrono::steady_clock::now() < until) {
        const std::string stat = read_text_file(path);
        const size_t name_end = stat.rfind(')');
        if (name_end != std::string::npos && stat.compare(name_end, 3, ") T") == 0) return true;
        std::this_thread::sleep_for(1ms);
    }
    return false;
}

constexpr int COLUMNS = 15;  // the small board: size class 0
constexpr int ROWS = 8;

struct Player {
    GameRun* run = nullptr;
    std::string name;
    int gets = 0;
    int rests = COLUMNS * ROWS;
    BoardCells cells;
    std::set<Cell> last_cluster;
    int result() const { return gets - rests; }
};

class ConcurrentPlayersTest : public StressTest {
protected:
    TileOracle oracle;

    void SetUp() override
    {
        StressTest::SetUp();
        if (HasFatalFailure()) return;
        ASSERT_EQ(oracle.build(driver.display(), BUILTIN_SETS[0]), 0);  // "Marble": removal on the press
    }

    void point_at(Player& p, Cell cell)
    {
        driver.move_to_root(p.run->windows.board.root_x + cell.first * 20 + 10,
                            p.run->windows.board.root_y + cell.second * 20 + 10);
    }

    // Reads the board until `done` holds for it.
    bool board_becomes(Player& p, const std::function<bool(const BoardCells&)>& done)
    {
        const auto until = std::chrono::steady_clock::now() + 10s;
        while (std::chrono::steady_clock::now() < until) {
            p.cells = read_board(*p.run, oracle);
            if (done(p.cells)) return true;
            std::this_thread::sleep_for(5ms);
        }
        return false;
    }

    // Waits until the run has handled every event sent to it so far: its
    // status line, cleared here with an exposure, comes back only once the
    // events queued before that exposure are done with.
    bool events_handled(Player& p)
    {
        const std::string shown = read_status_text(*p.run);
        if (shown.find_first_not_of(' ') == std::string::npos) return false;
        XClearArea(driver.display(), p.run->windows.status.geometry.id, 0, 0, 0, 0, True);
        XSync(driver.display(), False);
        const auto until = std::chrono::steady_clock::now() + 20s;
        while (std::chrono::steady_clock::now() < until) {
            if (read_status_text(*p.run) == shown) return true;
            std::this_thread::sleep_for(5ms);
        }
        return false;
    }

    void score(Player& p, const std::set<Cell>& cluster)
    {
        const int n = static_cast<int>(cluster.size());
        p.gets += (n - 2) * (n - 2);
        p.rests -= n;
        if (p.rests == 0) p.gets += COLUMNS * ROWS;
    }

    // Plays biggest clusters until one removal would end the game, and
    // keeps that one as the player's last move.
    void play_to_last_move(Player& p)
    {
        ASSERT_TRUE(board_becomes(p, [](const BoardCells& c) { return c.all_known(); })) << p.name;
        for (int moves = 0; moves < COLUMNS * ROWS; ++moves) {
            for (int c = 0; c < COLUMNS && p.last_cluster.empty(); ++c)
                for (int r = 0; r < ROWS && p.last_cluster.empty(); ++r) {
                    std::set<Cell> cluster = cluster_of(p.cells, {c, r});
                    if (cluster.size() >= 2 && !any_pair_left(after_removal(p.cells, cluster))) p.last_cluster = cluster;
                }
            if (!p.last_cluster.empty()) return;
            const Cell cell = biggest_cluster(p.cells);
            const std::set<Cell> cluster = cluster_of(p.cells, cell);
            const BoardCells expected = after_removal(p.cells, cluster);
            point_at(p, cell);
            driver.press(1);
            driver.release(1);
            ASSERT_TRUE(board_becomes(p, [&expected](const BoardCells& c) { return same_cells(c, expected); }))
                << p.name << ": the board after removing the cluster at " << cell.first << "," << cell.second
                << " is\n" << p.cells.text() << "expected\n" << expected.text();
            score(p, cluster);
        }
        FAIL() << p.name << " found no last move";
    }


    void play_together(const int count);
};

void ConcurrentPlayersTest::play_together(const int count)
{
    // Results so low that every game ranks; the fillers keep their order.
    HighScoreTable table = empty_high_score_table();
    for (int r = 0; r < HIGH_SCORE_ROWS; ++r) {
        table.entries[0][r].score = -100000 - r;
        std::snprintf(table.entries[0][r].name, HIGH_SCORE_NAME_BYTES, "filler%d", r);
    }
    const HighScoreImage image = encode_high_score_table(table);
    write_text_file(std::string(E2E_DATA_DIR) + "/hiscore", std::string(image.begin(), image.end()));

    std::vector<Player> players(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        Player& p = players[static_cast<size_t>(i)];
        p.name = "player" + std::to_string(i + 1);
        p.run = &prepare_run(COLUMNS, ROWS, 0);
        GameOptions options = options_for(*p.run);
        options.logname = p.name;
        start(*p.run, options);
        ASSERT_FALSE(HasFatalFailure());
        // Every copy opens at the top-left corner; side by side they can be played.
        const int x = 10 + 420 * (i % 3), y = 10 + 300 * (i / 3);
        XMoveWindow(driver.display(), p.run->main, x, y);
        XSync(driver.display(), False);
        ASSERT_TRUE(wait_for(*p.run, [x](const RunWindows& w) {
            return w.main.geometry.x == x && w.complete && w.board.geometry.width == COLUMNS * 20;
        })) << p.name << ": its windows are not all up, or not where they were moved";
    }
    for (Player& p : players) {
        play_to_last_move(p);
        ASSERT_FALSE(HasFatalFailure());
    }

    // The last moves: lit, stopped, then clicked into the stopped game's queue.
    // Each is stopped only once it has handled every pointer event so far, so
    // what it does when let go depends on the queued click alone, not on
    // where the pointer is by then.
    for (Player& p : players) {
        const Cell cell = *p.last_cluster.begin();
        point_at(p, cell);
        ASSERT_TRUE(events_handled(p)) << p.name << ": the status line was not drawn again";
        ASSERT_TRUE(board_becomes(p, [&p](const BoardCells& c) {
            for (const Cell& k : p.last_cluster)
                if (!c.look[k.first][k.second].boxed) return false;
            return true;
        })) << p.name << ": the last cluster is not lit";
        ASSERT_EQ(kill(p.run->process.pid(), SIGSTOP), 0);
        ASSERT_TRUE(stops(p.run->process.pid())) << p.name << " did not stop";
        driver.press(1);
        driver.release(1);
        score(p, p.last_cluster);
    }
    for (Player& p : players) kill(p.run->process.pid(), SIGCONT);

    for (Player& p : players) {
        EXPECT_TRUE(wait_for(*p.run, [](const RunWindows& w) { return w.panel.geometry.mapped; }))
            << p.name << ": no score panel after the last move";
        const std::optional<StatusNumbers> status = read_status(*p.run);
        ASSERT_TRUE(status.has_value()) << p.name << ": status line reads " << read_status_text(*p.run);
        EXPECT_EQ(*status, (StatusNumbers{p.gets, p.rests, p.result()})) << p.name;
    }
    // A copy that finds the lock taken sleeps a second before it tries
    // again, which looks idle from outside: wait for the file to hold every
    // result and for the lock to be gone instead.
    HighScoreTable stored = empty_high_score_table();
    auto players_stored = [&stored, &players] {
        const std::string bytes = read_text_file(std::string(E2E_DATA_DIR) + "/hiscore");
        if (bytes.size() != HIGH_SCORE_TABLE_BYTES) return 0;
        decode_high_score_table(std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()), stored);
        int n = 0;
        for (const HighScoreEntry& e : stored.entries[0])
            for (const Player& p : players) n += std::string_view(e.name, strnlen(e.name, HIGH_SCORE_NAME_BYTES)) == p.name;
        return n;
    };
    const std::string lock = std::string(E2E_DATA_DIR) + "/.LOCK";
    const auto until = std::chrono::steady_clock::now() + 60s;
    while ((players_stored() < count || access(lock.c_str(), F_OK) == 0) && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(50ms);
    EXPECT_NE(access(lock.c_str(), F_OK), 0) << "the lock file is still there";

    std::string shown;
    for (const HighScoreEntry& e : stored.entries[0])
        shown += "  " + std::to_string(e.score) + " " + std::string(e.name, strnlen(e.name, HIGH_SCORE_NAME_BYTES)) + "\n";
    for (const Player& p : players) {
        int found = 0;
        for (const HighScoreEntry& e : stored.entries[0])
            found += std::string(e.name, strnlen(e.name, HIGH_SCORE_NAME_BYTES)) == p.name && e.score == p.result();
        EXPECT_EQ(found, 1) << p.name << " with " << p.result() << " is not in the table once:\n" << shown;
    }
    // The four new results push the four lowest fillers out; the rest stay in order.
    for (int r = 0; r < HIGH_SCORE_ROWS - count; ++r) {
        const HighScoreEntry& e = stored.entries[0][r + count];
        EXPECT_EQ(e.score, -100000 - r) << shown;
        EXPECT_STREQ(e.name, ("filler" + std::to_string(r)).c_str()) << shown;
    }
    for (int r = 1; r < HIGH_SCORE_ROWS; ++r)
        EXPECT_GE(stored.entries[0][r - 1].score, stored.entries[0][r].score) << "out of order:\n" << shown;

    for (Player& p : players) {
        // Nothing to say in a sound run: no lock taken by force, no write refused.
        EXPECT_EQ(p.run->process.stderr_text(), "") << p.name;
        driver.move_to_root(p.run->windows.status.root_x + 5, p.run->windows.status.root_y + 5);
        driver.press(3);
        driver.release(3);
        EXPECT_EQ(p.run->process.wait_exit(10s), 0) << p.name;
    }
}

TEST_F(ConcurrentPlayersTest, FourGamesEndingTogetherAllEnterTheTable) { play_together(4); }

// Six at once: the last waiters spend the three seconds after which a lock
// counts as stale behind live holders, one after another. Taking the lock of
// the one who got it just now would let two writers in and lose a result.
// They also wake together: one that finds the lock gone must not remove the
// lock another waiter makes in that same moment.
TEST_F(ConcurrentPlayersTest, SixGamesEndingTogetherAllEnterTheTable) { play_together(6); }

}  // namespace
