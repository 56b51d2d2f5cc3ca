// valgrind_session_test.cpp: the game under valgrind's memcheck, played for
// N rounds and again for 3N rounds (each round: a built-in set, a BMP sheet,
// a set from a description file, back to "Head", and a game with clicks on
// the board and an undo). Memory the program loses for good must not grow with play:
// the "definitely lost" and "indirectly lost" totals of both sessions match,
// and so does what is still held at exit.
#include "stress/stress_fixture.h"

#include <cstdio>
#include <regex>
#include <sys/stat.h>

namespace {

constexpr const char* VALGRIND = "/usr/bin/valgrind";
constexpr long IN_USE_SLACK_BYTES = 2048;  // 2N more rounds: under a hundred bytes a round

struct LeakTotals {
    long definite = -1;  // bytes
    long indirect = -1;
    long errors = -1;
    long in_use = -1;     // bytes still allocated at exit, reachable or not
    std::string records;  // the loss records of definitely lost blocks
};

LeakTotals read_valgrind_log(const std::string& text)
{
    LeakTotals totals;
    std::smatch m;
    auto bytes_of = [&text, &m](const char* what) -> long {
        const std::regex pattern(std::string(what) + ": ([0-9,]+) bytes");
        if (!std::regex_search(text, m, pattern)) return -1;
        std::string digits = m[1];
        digits.erase(std::remove(digits.begin(), digits.end(), ','), digits.end());
        return std::atol(digits.c_str());
    };
    totals.definite = bytes_of("definitely lost");
    totals.indirect = bytes_of("indirectly lost");
    totals.in_use = bytes_of("in use at exit");
    if (text.find("no leaks are possible") != std::string::npos) totals.definite = totals.indirect = 0;
    if (std::regex_search(text, m, std::regex("ERROR SUMMARY: ([0-9,]+) errors"))) totals.errors = std::atol(m[1].str().c_str());
    // Each record runs from its heading to the next blank report line.
    size_t at = 0;
    while ((at = text.find("definitely lost in loss record", at)) != std::string::npos) {
        const size_t line_start = text.rfind('\n', at) + 1;
        size_t end = text.find("==\n", at);
        end = end == std::string::npos ? text.size() : end;
        totals.records += text.substr(line_start, end - line_start) + "\n";
        at = end;
    }
    return totals;
}

class ValgrindSessionTest : public StressTest {
protected:
    void SetUp() override
    {
        screen_width = 1600;
        screen_height = 1200;
        StressTest::SetUp();
        if (HasFatalFailure()) return;
        install_themes("Gems gems.dat\nMono mono.bmp\n");
    }

    // One session of `rounds` rounds; the totals of its leak report.
    LeakTotals session(int rounds)
    {
        GameRun& run = prepare_run();
        const std::string log = run.dir + "/valgrind.log";
        GameOptions options = options_for(run);
        options.program = VALGRIND;
        // The score keeper is a fork of the game: its own report would come
        // first in the shared log and stand in for the game's.
        options.args = {"--leak-check=full", "--show-leak-kinds=definite,indirect", "--num-callers=30",
                        "--child-silent-after-fork=yes", "--log-file=" + log, E2E_GAME_BINARY};
        start(run, options, 120s);
        if (HasFatalFailure()) return {};
        auto board_tile = [&run](int tile) {
            return [tile](const RunWindows& w) { return w.board.geometry.width == 20 * tile; };
        };
        for (int round = 0; round < rounds && !HasFailure(); ++round) {
            choose_picture(run, 0);  // "Marble"
            EXPECT_TRUE(wait_for(run, board_tile(20), 60s)) << "Marble, round " << round;
            choose_picture(run, 4, 1);  // "Mono", a BMP sheet
            EXPECT_TRUE(wait_for(run, board_tile(32), 60s)) << "Mono, round " << round;
            choose_picture(run, 4, 0);  // "Gems", a description file
            EXPECT_TRUE(wait_for(run, board_tile(24), 60s)) << "Gems, round " << round;
            choose_picture(run, 1);  // "Head"
            EXPECT_TRUE(wait_for(run, board_tile(32), 60s)) << "Head, round " << round;
            click_top_button(run, STRESS_NEW_GAME);
            for (int k = 0; k < 4; ++k) click(run, run.windows.board, 16 + 64 * k, 16 + 32 * k);
            click_top_button(run, STRESS_UNDO);
            click(run, run.windows.status, 100, 7);  // the panel, shown and hidden
            click(run, run.windows.status, 100, 7);
        }
        driver.move_to_root(run.windows.board.root_x + 5, run.windows.board.root_y + 5);
        driver.press(3);
        driver.release(3);
        EXPECT_EQ(run.process.wait_exit(180s), 0) << "the game under valgrind did not end cleanly";
        for (const std::string& line : fatal_lines(run)) ADD_FAILURE() << "game stderr: " << line;
        return read_valgrind_log(read_text_file(log));
    }
};

TEST_F(ValgrindSessionTest, LostMemoryDoesNotGrowWithPlay)
{
    struct stat st;
    if (sanitizer_build()) GTEST_SKIP() << "valgrind cannot run a sanitizer build";
    if (stat(VALGRIND, &st) != 0) GTEST_SKIP() << "valgrind is not installed";

    const int rounds = scaled_count("CLUMPOUT_VALGRIND_ROUNDS", 5, 5);
    const LeakTotals short_session = session(rounds);
    ASSERT_FALSE(HasFailure());
    const LeakTotals long_session = session(3 * rounds);
    ASSERT_FALSE(HasFailure());

    for (const auto& [n, totals] : {std::pair{rounds, short_session}, std::pair{3 * rounds, long_session}})
        std::printf("[ stress   ] valgrind, %d rounds: definitely lost %ld, indirectly lost %ld, in use at exit %ld "
                    "bytes; %ld errors\n", n, totals.definite, totals.indirect, totals.in_use, totals.errors);
    ASSERT_GE(short_session.definite, 0) << "no leak summary in the valgrind log";
    ASSERT_GE(long_session.definite, 0) << "no leak summary in the valgrind log";
    EXPECT_EQ(long_session.definite, short_session.definite) << long_session.records;
    EXPECT_EQ(long_session.indirect, short_session.indirect) << long_session.records;
    // Memory kept reachable to the end must not pile up with play either.
    // Xlib keeps the event queue entries it once needed, so the longest
    // burst of queued events moves this by a few hundred bytes.
    EXPECT_LE(long_session.in_use - short_session.in_use, IN_USE_SLACK_BYTES) << "memory held at exit grows with play";
    EXPECT_EQ(long_session.errors, short_session.errors) << "memory errors grow with play; see the valgrind log";
}

}  // namespace
