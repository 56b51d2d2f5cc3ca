// resource_growth_test.cpp: a long session must not pile up resources. A
// hundred picture switches (built-in sets, description files, BMP sheets)
// and a hundred new games leave the X server's count of the program's
// windows, pixmaps, GCs and pixmap bytes as they were, and its resident
// memory flat.
#include "stress/stress_fixture.h"
#include "stress/server_resources.h"

#include <cstdio>
#include <random>

namespace {

// Resident memory may settle a little while the heap finds its shape; a
// leak of even a few hundred bytes per switch or game exceeds this.
constexpr long RSS_SLACK_KIB = 160;

struct Choice {
    int row;    // Pictures menu row; 4 is "(other)"
    int entry;  // catalogue entry when row is 4
    const char* name;
    int tile;   // its tile side, which the board window shows
};

// One round through every kind of set. Neighbours (also across the end of
// the round) differ in tile size, so each switch shows in the window size.
// The counts are sampled whenever "Head" is in use.
const Choice CYCLE[] = {
    {4, 2, "Mono", 32}, {4, 1, "Dice", 28}, {4, 3, "Glass", 32}, {0, -1, "Marble", 20},
    {1, -1, "Head", 32}, {2, -1, "Face", 64}, {4, 0, "Gems", 24},
};
const Choice BROKEN = {4, 4, "Broken", 32};  // "Head" stands in; comes after "Gems"

class ResourceGrowthTest : public StressTest {
protected:
    void SetUp() override
    {
        screen_width = 1600;  // "Face" on the normal board is 1312 pixels wide
        screen_height = 1200;
        StressTest::SetUp();
        if (HasFatalFailure()) return;
        install_themes("Gems gems.dat\nDice dice.dat\nMono mono.bmp\nGlass glass.bmp\nBroken broken.dat\n");
        // Fails at its last image, after the tiles and the background are made.
        std::string broken = read_text_file(std::string(E2E_DATA_DIR) + "/dice.dat");
        const size_t frame = broken.rfind("dice/tray.xpm");
        ASSERT_NE(frame, std::string::npos);
        broken.replace(frame, 13, "dice/missing.xpm");
        write_text_file(std::string(E2E_DATA_DIR) + "/broken.dat", broken);
    }

    ClientResources sample(GameRun& run)
    {
        locate(run);
        auto resources = sample_client(xvfb.display_name(), run.main);
        EXPECT_TRUE(resources.has_value()) << "xrestop found no client for window " << run.main;
        return resources.value_or(ClientResources{});
    }

    // Chooses the set and checks that it took: the board has its tile size.
    void choose(GameRun& run, const Choice& choice)
    {
        choose_picture(run, choice.row, choice.entry);
        wait_for(run, [&choice](const RunWindows& w) { return w.board.geometry.width == 20 * choice.tile; });
        const WindowGeometry& board = run.windows.board.geometry;
        EXPECT_EQ(board.width, 20 * choice.tile) << "after choosing " << choice.name;
        EXPECT_EQ(board.height, 10 * choice.tile) << "after choosing " << choice.name;
    }

    void expect_alive_and_clean(GameRun& run)
    {
        EXPECT_TRUE(run.process.running()) << "the game ended";
        for (const std::string& line : fatal_lines(run)) ADD_FAILURE() << "game stderr: " << line;
    }
};

TEST_F(ResourceGrowthTest, PictureSwitchesLeaveServerResourcesAndMemoryFlat)
{
    GameRun& run = prepare_run();
    start(run);
    ASSERT_TRUE(run.windows.complete);

    // One round through the sets; the counts as they stand while "Head" is in use.
    int done = 0;
    auto round = [&] {
        ClientResources at_head;
        for (const Choice& choice : CYCLE) {
            choose(run, choice);
            if (std::string_view(choice.name) == "Head") at_head = sample(run);
        }
        done += static_cast<int>(std::size(CYCLE));
        return at_head;
    };
    round();  // every set made once
    const ClientResources baseline = round();
    const long rss_before = resident_kib(run.process.pid());
    ASSERT_GT(baseline.pixmaps, 0);

    // A set that fails part-way falls back to "Head": nothing of it may stay.
    choose(run, BROKEN);
    ClientResources after_failure = sample(run);
    EXPECT_TRUE(after_failure.same_counts(baseline))
        << "after a failed load\n  now:    " << describe(after_failure) << "\n  before: " << describe(baseline);

    const int switches = done + scaled_count("CLUMPOUT_STRESS_SWITCHES", 100, 100);
    while (done < switches && !HasFailure()) {
        const ClientResources now = round();
        EXPECT_TRUE(now.same_counts(baseline)) << "after " << done << " switches\n  now:    " << describe(now)
                                               << "\n  before: " << describe(baseline);
    }
    const long rss_after = resident_kib(run.process.pid());
    std::printf("[ stress   ] %d picture switches: %s; VmRSS %ld -> %ld KiB\n", done, describe(baseline).c_str(),
                rss_before, rss_after);
    // The sanitizer keeps freed memory in quarantine: only valgrind speaks
    // for the heap there.
    if (!sanitizer_build()) {
        EXPECT_LE(rss_after - rss_before, RSS_SLACK_KIB) << "resident memory grew";
    }
    expect_alive_and_clean(run);
}

TEST_F(ResourceGrowthTest, NewGamesLeaveServerResourcesAndMemoryFlat)
{
    GameRun& run = prepare_run();
    start(run);
    ASSERT_TRUE(run.windows.complete);
    std::mt19937 random(20240601);

    // One game as a player plays it: a click on some tile, now and then an
    // undo, a look at the panel.
    auto play_one = [&](int game) {
        click_top_button(run, STRESS_NEW_GAME);
        const WindowGeometry& board = run.windows.board.geometry;
        for (int k = 0; k < 3; ++k)
            click(run, run.windows.board, static_cast<int>(random() % board.width),
                  static_cast<int>(random() % board.height));
        if (game % 3 == 0) click_top_button(run, STRESS_UNDO);
        if (game % 5 == 0) {
            click(run, run.windows.status, 100, 7);  // panel shown
            click(run, run.windows.status, 100, 7);  // and hidden
        }
    };

    for (int game = 0; game < 10; ++game) play_one(game);
    point_off_board(run);
    const ClientResources baseline = sample(run);
    const long rss_before = resident_kib(run.process.pid());

    const int games = scaled_count("CLUMPOUT_STRESS_GAMES", 100, 100);
    for (int game = 0; game < games && !HasFailure(); ++game) {
        play_one(game);
        if (game % 25 == 24) {
            point_off_board(run);
            ClientResources now = sample(run);
            EXPECT_TRUE(now.same_counts(baseline)) << "after " << game + 1 << " games\n  now:    " << describe(now)
                                                   << "\n  before: " << describe(baseline);
        }
    }
    const long rss_after = resident_kib(run.process.pid());
    std::printf("[ stress   ] %d new games: %s; VmRSS %ld -> %ld KiB\n", games, describe(baseline).c_str(),
                rss_before, rss_after);
    if (!sanitizer_build()) {
        EXPECT_LE(rss_after - rss_before, RSS_SLACK_KIB) << "resident memory grew";
    }
    expect_alive_and_clean(run);
}

}  // namespace
