// journal_test.cpp: the player's journal and chosen deals, seen from
// outside: the line a finished game appends and what the journal tool makes
// of it, a journal that cannot be written, and CLUMPOUT_DEAL.
#include "e2e/e2e_fixture.h"

#include <sys/wait.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <thread>

namespace fs = std::filesystem;

namespace {

class JournalTest : public E2eTest {
protected:
    std::string journal_path() const { return home + "/.clumpout-journal"; }

    // The value of `key` in a journal line ("" when absent).
    static std::string value_of(const std::string& line, const std::string& key) {
        const std::size_t at = line.find(" " + key + "=");
        if (at == std::string::npos) return "";
        const std::size_t start = at + key.size() + 2;
        return line.substr(start, line.find_first_of(" \n", start) - start);
    }

    // Runs the journal tool on the journal; its exit status and output.
    std::pair<int, std::string> run_tool(const std::string& command) const {
        const std::string line = std::string(E2E_JOURNAL_TOOL) + " -f '" + journal_path() + "' " + command + " 2>&1";
        FILE* pipe = popen(line.c_str(), "r");
        if (pipe == nullptr) return {-1, ""};
        std::string output;
        char buffer[4096];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) output.append(buffer, n);
        const int status = pclose(pipe);
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, output};
    }

    // The panel's first Expose ends the game's bookkeeping: wait for it.
    void finish(const char* where) {
        settle();
        ASSERT_TRUE(find_windows().panel.mapped) << where << ": no panel at the end";
    }

    void press_panel_button() {
        driver.click(windows.panel_button.id, 5, 5);
        settle();
    }
};

// Every result of a Small board ranks in this table, so a result that
// reached it would change the file.
std::string table_every_result_beats() {
    std::string bytes(960, '\0');
    for (int rank = 0; rank < 10; ++rank) {
        const std::int32_t score = -100000;
        std::memcpy(&bytes[24 * rank], &score, 4);
        std::memcpy(&bytes[24 * rank + 4], "low", 3);
    }
    return bytes;
}

TEST_F(JournalTest, FinishedGameAppendsOneLineThatVerifiesWithoutTheUndoneMove) {
    write_settings(15, 8, SET_MARBLE);
    write_file(journal_path(), "");
    start_game();
    ASSERT_TRUE(windows.complete);
    use_builtin_set(SET_MARBLE);
    const BoardCells dealt = read_board();
    Score taken_back{0, 120};
    play_cluster(dealt, biggest_cluster(dealt), taken_back);
    click_top_button(E2E_UNDO);
    ASSERT_TRUE(same_cells(read_board(), dealt)) << "Undo did not restore the deal";

    Score score{0, 120};
    play_to_end(dealt, score);
    ASSERT_FALSE(HasFailure());
    finish("journal on");

    const std::string journal = read_file(journal_path());
    ASSERT_EQ(std::count(journal.begin(), journal.end(), '\n'), 1) << journal;
    EXPECT_EQ(value_of(journal, "size"), "15x8");
    EXPECT_EQ(value_of(journal, "set"), "Marble");
    EXPECT_EQ(value_of(journal, "gets"), std::to_string(score.gets)) << "numbers of the status line";
    EXPECT_EQ(value_of(journal, "rests"), std::to_string(score.rests));
    EXPECT_EQ(value_of(journal, "total"), std::to_string(score.gets - score.rests));
    EXPECT_EQ(value_of(journal, "rank"), score.gets - score.rests > 0 ? "1" : "-") << "a fresh table";

    // The removal taken back would replay to other numbers, or not at all.
    const auto [status, output] = run_tool("verify");
    EXPECT_EQ(status, 0) << output;
    EXPECT_EQ(output.rfind("line 1: ok: ", 0), 0u) << output;
}

TEST_F(JournalTest, UnwritableJournalAndBadDealWarnOnceAndPlayGoesOn) {
    write_settings(15, 8, SET_MARBLE);
    fs::create_directory(journal_path());
    GameOptions options = game_options();
    options.environment = {"CLUMPOUT_DEAL=12abc"};
    start_game(options);
    ASSERT_TRUE(windows.complete);
    use_builtin_set(SET_MARBLE);
    for (int round = 0; round < 2; ++round) {
        Score score{0, 120};
        play_to_end(read_board(), score);
        ASSERT_FALSE(HasFailure());
        finish("journal a directory");
        // The clock's deal is an ordinary game: it reached the table.
        EXPECT_EQ(windows.panel.width, 176) << "high-score list expected, round " << round;
        if (round == 0) press_panel_button();
    }
    EXPECT_EQ(game.stderr_text(),
              "Warning: CLUMPOUT_DEAL '12abc' is not a deal number (0 to 4294967295); dealing from the clock.\n"
              "Warning: can't write journal '" + journal_path() + "': Is a directory.\n");
    EXPECT_TRUE(fs::is_directory(journal_path()));
    EXPECT_EQ(quit_with_button3(windows.main.id), 0);
}

TEST_F(JournalTest, ChosenDealReplaysTheSameBoardAndStaysOutOfTheTable) {
    write_settings(15, 8, SET_MARBLE);
    const std::string table = table_every_result_beats();
    write_file(data_path("hiscore"), table);
    write_file(journal_path(), "");
    GameOptions options = game_options();
    options.environment = {"CLUMPOUT_DEAL=4242"};

    start_game(options);
    ASSERT_TRUE(windows.complete);
    use_builtin_set(SET_MARBLE);
    const BoardCells first = read_board();
    Score score{0, 120};
    play_to_end(first, score);
    ASSERT_FALSE(HasFailure());
    finish("replayed deal");
    EXPECT_EQ(windows.panel.width, 160) << "the score summary, not the list";
    EXPECT_EQ(read_file(data_path("hiscore")), table) << "a replay reached the shared table";
    const std::string journal = read_file(journal_path());
    EXPECT_EQ(value_of(journal, "deal"), "4242") << journal;
    EXPECT_EQ(value_of(journal, "rank"), "replay") << journal;
    EXPECT_EQ(quit_with_button3(windows.main.id), 0);

    // Again, with the journal switched off: the same board, and no journal.
    fs::remove(journal_path());
    start_game(options);
    ASSERT_TRUE(windows.complete);
    EXPECT_TRUE(same_cells(read_board(), first)) << "CLUMPOUT_DEAL=4242 dealt another board";
    Score again{0, 120};
    play_to_end(first, again);
    ASSERT_FALSE(HasFailure());
    finish("journal off");
    EXPECT_FALSE(fs::exists(journal_path())) << "the game created the journal";
    EXPECT_EQ(read_file(data_path("hiscore")), table);
    EXPECT_EQ(game.stderr_text(), "");
}

// The tool's manners: help and version where they are usually asked for, and
// errors that say what to do.
TEST_F(JournalTest, ToolAnswersHelpAndVersionAndSaysWhatToDo) {
    const auto run = [&](const std::string& arguments) {
        const std::string line = "HOME='" + home + "' " + E2E_JOURNAL_TOOL + " " + arguments;
        FILE* pipe = popen(line.c_str(), "r");
        std::string output;
        char buffer[4096];
        for (std::size_t n; pipe != nullptr && (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
            output.append(buffer, n);
        const int status = pipe != nullptr ? pclose(pipe) : -1;
        return std::pair<int, std::string>{WIFEXITED(status) ? WEXITSTATUS(status) : -1, output};
    };
    const auto [help_status, help] = run("--help 2>/dev/null");
    EXPECT_EQ(help_status, 0);
    EXPECT_TRUE(help.starts_with("Usage: clumpout-journal [-f FILE] stats\n")) << help;
    const auto [version_status, version] = run("--version");
    EXPECT_EQ(version_status, 0);
    EXPECT_TRUE(version.starts_with("clumpout-journal (Clumpout) version ")) << version;

    fs::remove(journal_path());
    const auto [missing_status, missing] = run("stats 2>&1");
    EXPECT_EQ(missing_status, 1);
    EXPECT_NE(missing.find("Turn it on with: touch " + journal_path()), std::string::npos) << missing;

    write_file(journal_path(), "a\nb\nc\nd\ne\n");
    const auto [beyond_status, beyond] = run("show 9 2>&1");
    EXPECT_EQ(beyond_status, 1);
    EXPECT_EQ(beyond, "Error: '" + journal_path() + "' has 5 lines: there is no line 9.\n");
}

}  // namespace
