// event_storm_test.cpp: tens of thousands of random pointer events (motion,
// presses and releases of buttons 1, 2, 4 and 5) over the board, the top
// buttons, the open menus and the chooser, the status line, the panel and
// the frame, for a bounded time. The game must live through it without an
// X protocol error, and the board it shows whenever it is brought to rest
// must obey the rules: gravity, packed columns, a status line that counts
// the tiles, and the look of a finished game exactly when no pair is left.
#include "stress/stress_fixture.h"

#include "pictures/picture_set.h"

#include <cstdio>
#include <cstdlib>
#include <map>
#include <random>
#include <set>
#include <thread>

namespace {

constexpr auto STORM_TIME_LIMIT = 90s;
constexpr unsigned STORM_BUTTONS[] = {1, 2, 4, 5};  // 3 quits
constexpr int REFRESH_EVERY = 16;  // events between re-reads of the window tree
constexpr int SETTLE_EVERY = 512;  // events between waits for the game to catch up
constexpr int CHECK_EVERY = 10;    // episodes between checks of the board at rest

// The storm comes in episodes, each aimed mostly at one part of the game, so
// the short-lived menus and the chooser get their share of the abuse.
enum class Focus { BOARD, MENU, CHOOSER, PANEL, ANYWHERE };
const std::pair<Focus, int> FOCUS_WEIGHTS[] = {
    {Focus::BOARD, 40}, {Focus::MENU, 25}, {Focus::CHOOSER, 15}, {Focus::PANEL, 10}, {Focus::ANYWHERE, 10},
};

class EventStormTest : public StressTest {
protected:
    void SetUp() override
    {
        screen_width = 2048;  // room for "Face" on the huge board: 1952 x 1328
        screen_height = 1400;
        StressTest::SetUp();
        if (HasFatalFailure()) return;
        install_themes("Gems gems.dat\nDice dice.dat\nBroken missing.dat\n");
    }

    // A point over one of the program's windows, chosen by weight with the
    // episode's focus favoured, with a little spill over each edge so
    // borders are hit too; now and then anywhere on the screen.
    std::pair<int, int> random_point(const RunWindows& w, Focus focus, std::mt19937& random)
    {
        auto favour = [focus](Focus f, int weight) { return f == focus ? weight : 0; };
        std::vector<std::pair<const Placed*, int>> targets = {
            {&w.board, 30 + favour(Focus::BOARD, 60)}, {&w.status, 5}, {&w.main, 5}};
        for (const Placed& button : w.buttons) targets.push_back({&button, 3});
        if (w.panel.geometry.mapped) {
            targets.push_back({&w.panel, 5 + favour(Focus::PANEL, 30)});
            targets.push_back({&w.panel_button, 5 + favour(Focus::PANEL, 30)});
        }
        // The chooser lies over its menu: the topmost open window gets most.
        for (size_t i = 0; i < w.extra.size(); ++i) {
            const bool topmost = i + 1 == w.extra.size();
            targets.push_back({&w.extra[i], topmost ? 10 + favour(Focus::MENU, 80) + favour(Focus::CHOOSER, 80) : 10});
        }
        int total = 3 + favour(Focus::ANYWHERE, 60);  // the bare screen
        for (const auto& t : targets) total += t.second;
        int pick = std::uniform_int_distribution<int>(0, total - 1)(random);
        for (const auto& [window, weight] : targets) {
            if (pick >= weight) {
                pick -= weight;
                continue;
            }
            const int width = window->geometry.width, height = window->geometry.height;
            return {window->root_x + std::uniform_int_distribution<int>(-2, width + 1)(random),
                    window->root_y + std::uniform_int_distribution<int>(-2, height + 1)(random)};
        }
        return {std::uniform_int_distribution<int>(0, screen_width - 1)(random),
                std::uniform_int_distribution<int>(0, screen_height - 1)(random)};
    }

    void release_all(std::array<bool, 6>& held)
    {
        for (unsigned b = 1; b <= 5; ++b)
            if (held[b]) driver.release(b);
        held = {};
    }

    // Opens what an episode is aimed at; false when it did not open.
    bool open_focus(GameRun& run, Focus focus, std::mt19937& random, std::array<bool, 6>& held)
    {
        auto open_windows = [](size_t n) { return [n](const RunWindows& w) { return w.extra.size() >= n; }; };
        switch (focus) {
        case Focus::MENU:
        case Focus::CHOOSER: {
            release_all(held);
            const bool size = focus == Focus::MENU && random() % 2 == 0;
            if (!locate(run).extra.empty()) return true;  // one is open already
            click_top_button(run, size ? STRESS_SIZE : STRESS_PICTURES);
            if (!wait_for(run, open_windows(1), 5s)) return false;
            if (focus == Focus::MENU) return true;
            click(run, run.windows.extra.back(), 20, 3 + 14 * 4 + 7);  // "(other)"
            return wait_for(run, open_windows(2), 5s);
        }
        case Focus::PANEL:
            release_all(held);
            if (locate(run).panel.geometry.mapped) return true;
            click(run, run.windows.status, 100, 7);
            return wait_for(run, [](const RunWindows& w) { return w.panel.geometry.mapped; }, 5s);
        default:
            return true;
        }
    }

    // Leaves no button held, no menu or chooser open and the panel hidden,
    // with the pointer in the frame, so the board shows nothing lit.
    void calm_down(GameRun& run, std::array<bool, 6>& held)
    {
        release_all(held);
        locate(run);
        point_off_board(run);
        // A press anywhere but in a menu ends it; the main window ignores it.
        for (int i = 0; i < 2; ++i) click(run, run.windows.main, 4, run.windows.main.geometry.height - 4);
        EXPECT_TRUE(wait_for(run, [](const RunWindows& w) { return w.extra.empty(); })) << "a menu stays open";
        if (run.windows.panel.geometry.mapped) {
            click(run, run.windows.status, 100, 7);
            EXPECT_TRUE(wait_for(run, [](const RunWindows& w) { return !w.panel.geometry.mapped; }))
                << "the panel stays";
        }
        point_off_board(run);
    }

    // The set in use, told by which one's images make up the whole board.
    std::optional<BoardCells> read_board_any_set(GameRun& run)
    {
        if (oracles_.empty()) {
            std::vector<PictureSet> sets(BUILTIN_SETS, BUILTIN_SETS + NUM_BUILTIN_SETS);
            sets.push_back(data_theme("gems.dat"));
            sets.push_back(data_theme("dice.dat"));
            for (const PictureSet& set : sets) {
                oracles_.emplace_back();
                EXPECT_EQ(oracles_.back().build(driver.display(), set), 0);
            }
        }
        const WindowGeometry& board = run.windows.board.geometry;
        const Image image = driver.read(board.id);
        for (const TileOracle& oracle : oracles_) {
            const int tile_width = oracle.tile_width(), tile_height = oracle.tile_height();
            if (tile_width == 0 || board.width % tile_width != 0 || board.height % tile_height != 0) continue;
            const int columns = board.width / tile_width, rows = board.height / tile_height;
            if (columns > 30 || rows > 20) continue;
            BoardCells cells = classify_board(oracle, image, columns, rows);
            if (cells.all_known()) return cells;
        }
        return std::nullopt;
    }

    // Brings the game to rest and checks what it shows. A board caught while
    // the game still catches up (its idle test can be fooled on a busy
    // machine) is read again; only what lasts is a fault. Returns false when
    // anything is wrong, after saying what.
    bool checkpoint(GameRun& run, std::array<bool, 6>& held, int events_sent)
    {
        calm_down(run, held);
        EXPECT_TRUE(run.windows.complete) << "after " << events_sent << " events";
        std::optional<BoardCells> cells;
        std::string status_text;
        std::vector<std::string> faults;
        const auto until = std::chrono::steady_clock::now() + 3s;
        do {
            cells = read_board_any_set(run);
            status_text = read_status_text(run);
            const std::optional<StatusNumbers> status = parse_status_text(status_text);
            faults.clear();
            if (!cells) faults.push_back("no picture set matches the board");
            if (!status) faults.push_back("the status line reads \"" + status_text + "\"");
            if (cells && status) faults = board_faults(*cells, *status);
            if (!faults.empty()) std::this_thread::sleep_for(50ms);
        } while (!faults.empty() && std::chrono::steady_clock::now() < until);
        for (const std::string& fault : faults) ADD_FAILURE() << "after " << events_sent << " events: " << fault;
        for (const std::string& line : fatal_lines(run)) ADD_FAILURE() << "game stderr: " << line;
        if (HasFailure() && cells)
            std::fprintf(stderr, "board:\n%sstatus: %s\n", cells->text().c_str(), status_text.c_str());
        ++checkpoints_;
        return !HasFailure();
    }

    int checkpoints_ = 0;

private:
    std::vector<TileOracle> oracles_;
};

TEST_F(EventStormTest, RandomPointerEventsLeaveTheGameSound)
{
    GameRun& run = prepare_run();  // the defaults: 20 x 10, "Head"
    start(run);
    ASSERT_TRUE(run.windows.complete);

    const int events = scaled_count("CLUMPOUT_STRESS_EVENTS", 40000, 25000);
    const char* given_seed = std::getenv("CLUMPOUT_STRESS_SEED");
    const unsigned seed = given_seed != nullptr ? static_cast<unsigned>(std::strtoul(given_seed, nullptr, 10))
                                                : std::random_device{}();
    std::printf("[ stress   ] storm of %d events, seed %u (CLUMPOUT_STRESS_SEED repeats it)\n", events, seed);
    std::mt19937 random(seed);

    std::array<bool, 6> held{};  // by button number
    int pointer_x = 0, pointer_y = 0;
    int sent = 0;
    int episodes = 0;
    std::map<Focus, int> opened;  // episodes whose target opened, by focus
    std::set<std::pair<int, int>> boards_seen;
    const auto started = std::chrono::steady_clock::now();
    RunWindows w = locate(run);
    while (sent < events && std::chrono::steady_clock::now() - started < STORM_TIME_LIMIT && run.process.running()) {
        int pick = std::uniform_int_distribution<int>(0, 99)(random);
        Focus focus = Focus::BOARD;
        for (const auto& [f, weight] : FOCUS_WEIGHTS) {
            if (pick < weight) {
                focus = f;
                break;
            }
            pick -= weight;
        }
        if (++episodes % CHECK_EVERY == 0 && !checkpoint(run, held, sent)) break;
        opened[focus] += open_focus(run, focus, random, held) ? 1 : 0;
        w = locate(run);
        const int episode_end = sent + std::uniform_int_distribution<int>(40, 400)(random);
        for (; sent < episode_end && sent < events; ++sent) {
            if (sent % REFRESH_EVERY == 0) {
                if (!run.process.running()) break;
                w = locate(run);
                boards_seen.insert({w.board.geometry.width, w.board.geometry.height});
            }
            if (sent % SETTLE_EVERY == 0) {
                ASSERT_TRUE(settle(run, 30s)) << "the game stays busy after " << sent << " events";
            }
            const int kind = std::uniform_int_distribution<int>(0, 99)(random);
            const unsigned button = STORM_BUTTONS[std::uniform_int_distribution<int>(0, 3)(random)];
            // The Quit button quits whatever button presses it; it only gets motion.
            const bool over_quit = w.buttons[STRESS_QUIT].contains(pointer_x, pointer_y, 2);
            if (kind < 20 && !held[button] && !over_quit) {
                driver.press(button);
                held[button] = true;
            } else if (kind < 40 && held[button]) {
                driver.release(button);
                held[button] = false;
            } else {
                std::tie(pointer_x, pointer_y) = random_point(w, focus, random);
                driver.move_to_root(pointer_x, pointer_y);
            }
        }
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::printf("[ stress   ] %d events in %.1f s; episodes opened on the menus %d, the chooser %d, the panel %d; "
                "%zu board sizes seen\n",
                sent, seconds, opened[Focus::MENU], opened[Focus::CHOOSER], opened[Focus::PANEL], boards_seen.size());
    ASSERT_FALSE(HasFailure());
    ASSERT_TRUE(run.process.running()) << "the game ended during the storm, status " << run.process.wait_exit(0ms);
    EXPECT_GE(sent, std::min(events, 10000)) << "the storm was cut short by its time limit";
    // The short-lived windows must have been reached, or the storm missed
    // the nested event loops.
    EXPECT_GT(opened[Focus::MENU], 0) << "no menu was ever opened";
    EXPECT_GT(opened[Focus::CHOOSER], 0) << "the chooser was never opened";

    ASSERT_TRUE(checkpoint(run, held, sent));
    std::printf("[ stress   ] the board at rest checked %d times\n", checkpoints_);
    driver.move_to_root(run.windows.board.root_x + 2, run.windows.board.root_y + 2);
    driver.press(3);
    driver.release(3);
    EXPECT_EQ(run.process.wait_exit(30s), 0) << "button 3 must end the game with status 0";
    for (const std::string& line : fatal_lines(run)) ADD_FAILURE() << "game stderr at exit: " << line;
}

}  // namespace
