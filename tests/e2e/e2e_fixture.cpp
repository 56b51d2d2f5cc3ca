// e2e_fixture.cpp: set-up and tear-down of one end-to-end test, the window
// finder, the pointer helpers, and one checked removal.
#include "e2e/e2e_fixture.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <csignal>
#include <sstream>
#include <thread>

namespace fs = std::filesystem;

// ---------------------------------------------------------------- fixture

void E2eTest::SetUp()
{
    char pattern[] = "/tmp/clumpout-e2e-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    temp_dir = pattern;
    home = temp_dir + "/home";
    cwd = temp_dir + "/work";
    fs::create_directories(home);
    fs::create_directories(cwd);
    // The data directory is shared by all e2e tests (they run one at a time).
    fs::create_directories(E2E_DATA_DIR);
    for (const auto& entry : fs::directory_iterator(E2E_DATA_DIR)) fs::remove_all(entry.path());
    ASSERT_EQ(xvfb.start(screen_width, screen_height), 0) << "no X server could be started";
    ASSERT_EQ(driver.connect(xvfb.display_name()), 0) << "cannot connect to " << xvfb.display_name();
    ASSERT_EQ(text.open(driver.display()), 0) << "font 7x14 missing on the test server";
    // A new server puts the pointer in the middle of the screen, where it
    // would light up a cluster of a board that appears under it.
    driver.move_to_root(screen_width - 1, screen_height - 1);
}

void E2eTest::TearDown()
{
    if ((HasFailure() || std::getenv("CLUMPOUT_E2E_DUMP") != nullptr) && driver.display() != nullptr) {
        dump(driver.read(driver.root(), 0, 0, screen_width, screen_height), "screen");
        std::string err = game.stderr_text();
        if (!err.empty()) std::fprintf(stderr, "--- game stderr ---\n%s-------------------\n", err.c_str());
    }
    game.kill_now();
    if (!temp_dir.empty() && std::getenv("CLUMPOUT_E2E_KEEP") == nullptr) fs::remove_all(temp_dir);
}

void E2eTest::dump(const Image& image, const std::string& suffix) const
{
    if (image.empty()) return;
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(info->test_suite_name()) + "." + info->name() + "-" + suffix + ".ppm";
    for (char& ch : name)
        if (ch == '/') ch = '_';
    write_ppm(image, std::string(E2E_ARTIFACTS_DIR) + "/" + name);
}

void E2eTest::write_settings(int columns, int rows, int pictures)
{
    char text_buffer[128];
    std::snprintf(text_buffer, sizeof text_buffer, "# Clumpout\nWidth  %3d\nHeight %3d\nPictures %d\n", columns,
                  rows, pictures);
    write_file(home + "/.Clumpout", text_buffer);
}

std::string E2eTest::settings_text() const { return read_file(home + "/.Clumpout"); }

void E2eTest::write_file(const std::string& path, const std::string& bytes) const
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

std::string E2eTest::read_file(const std::string& path) const
{
    std::ifstream in(path, std::ios::binary);
    if (!in) return "";
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

GameOptions E2eTest::game_options() const
{
    GameOptions o;
    o.home = home;
    o.cwd = cwd;
    o.display = xvfb.display_name();
    return o;
}

void E2eTest::start_game(const GameOptions& options)
{
    ASSERT_EQ(game.start(options, temp_dir), 0);
    Window main = driver.find_window_by_name("Clumpout", 15s);
    ASSERT_NE(main, None) << "no window named Clumpout appeared; exit status "
                          << (game.running() ? -1 : game.wait_exit(0ms)) << ", stderr:\n"
                          << game.stderr_text();
    ASSERT_TRUE(settle());
    find_windows();
}

const GameWindows& E2eTest::find_windows()
{
    GameWindows w;
    Window main = driver.find_window_by_name("Clumpout", 5s);
    EXPECT_NE(main, None);
    if (main == None) {
        windows = w;
        return windows;
    }
    w.main = driver.geometry(main).value_or(WindowGeometry{});
    int found_buttons = 0;
    bool board = false, status = false, panel = false;
    std::vector<WindowGeometry> kids = driver.children(main);
    const auto at_scale_1 = [this](WindowGeometry& g) {
        for (int* v : {&g.x, &g.y, &g.width, &g.height, &g.border}) {
            EXPECT_EQ(*v % scale, 0) << "window " << g.id << " is not at scale " << scale;
            *v /= scale;
        }
    };
    at_scale_1(w.main);
    for (WindowGeometry& g : kids) at_scale_1(g);
    std::vector<WindowGeometry> tops;
    for (const WindowGeometry& g : kids) {
        if (!board && g.x == 16 && g.y == 24 && g.border == 0) {
            w.board = g;
            board = true;
        } else if (!panel && g.border == 8) {
            w.panel = g;
            panel = true;
            auto inner = driver.children(g.id);
            if (!inner.empty()) {
                w.panel_button = inner.front();
                at_scale_1(w.panel_button);
            }
        } else if (g.y == 4 && g.height == 14 && g.border == 1 && found_buttons < 5) {
            tops.push_back(g);
            ++found_buttons;
        } else if (!status && g.x == 16 && g.width == 272 && g.height == 14 && g.border == 1) {
            w.status = g;
            status = true;
        } else {
            w.extra.push_back(g);
        }
    }
    std::sort(tops.begin(), tops.end(), [](const auto& a, const auto& b) { return a.x < b.x; });
    for (size_t i = 0; i < tops.size(); ++i) w.buttons[i] = tops[i];
    w.complete = board && status && panel && found_buttons == 5 && w.panel_button.id != None;
    EXPECT_TRUE(w.complete) << "board " << board << " status " << status << " panel " << panel << " buttons "
                            << found_buttons;
    windows = w;
    return windows;
}

int E2eTest::quit_with_button3(Window window)
{
    driver.click(window, 2, 2, 3);
    return game.wait_exit(10s);
}

void E2eTest::point_at_cell(int column, int row)
{
    driver.move_to(windows.board.id, column * oracle.tile_width() + oracle.tile_width() / 2,
                   row * oracle.tile_height() + oracle.tile_height() / 2);
    settle();
}

void E2eTest::press_board(unsigned button)
{
    driver.press(button);
    settle();
}

void E2eTest::release_board(unsigned button)
{
    driver.release(button);
    settle();
}

void E2eTest::click_top_button(int index, unsigned button)
{
    driver.move_to(windows.buttons[index].id, windows.buttons[index].width / 2, 7);
    driver.press(button);
    driver.release(button);
    settle();
}

void E2eTest::point_outside_board()
{
    driver.move_to(windows.main.id, 4, windows.main.height - 4);
    settle();
}

void E2eTest::use_builtin_set(int set) { ASSERT_EQ(oracle.build(driver.display(), BUILTIN_SETS[set]), 0); }

BoardCells E2eTest::read_board()
{
    Image image = driver.read(windows.board.id);
    BoardCells cells = classify_board(oracle, image, columns(), rows());
    if (auto panel = driver.geometry(windows.panel.id); panel && panel->mapped) {
        // The panel with its border, in board coordinates.
        int left = panel->x - windows.board.x;
        int top = panel->y - windows.board.y;
        int right = left + panel->width + 2 * panel->border;
        int bottom = top + panel->height + 2 * panel->border;
        for (int c = 0; c < cells.columns; ++c)
            for (int r = 0; r < cells.rows; ++r) {
                int x0 = c * oracle.tile_width(), y0 = r * oracle.tile_height();
                if (x0 < right && x0 + oracle.tile_width() > left && y0 < bottom && y0 + oracle.tile_height() > top)
                    cells.colour[c][r] = -2;
            }
    }
    if (!cells.all_known()) {
        dump(image, "board-unknown");
        std::fprintf(stderr, "unknown cells on the board:\n%s", cells.text().c_str());
    }
    return cells;
}

void E2eTest::send_board_exposes(int count)
{
    // The program is held stopped until the whole burst waits in its
    // socket; otherwise it may wake between the server's writes and see the
    // burst in pieces, which says nothing about how it treats a queue.
    kill(game.pid(), SIGSTOP);
    for (int i = 0; i < 1000; ++i) {
        std::ifstream stat("/proc/" + std::to_string(game.pid()) + "/stat");
        std::string pid_text, name, state;
        stat >> pid_text >> name >> state;
        if (state == "T" || state == "t") break;
        std::this_thread::sleep_for(1ms);
    }
    for (int i = 0; i < count; ++i) {
        XEvent ev{};
        ev.xexpose.type = Expose;
        ev.xexpose.display = driver.display();
        ev.xexpose.window = windows.board.id;
        ev.xexpose.width = windows.board.width;
        ev.xexpose.height = windows.board.height;
        ev.xexpose.count = count - 1 - i;
        XSendEvent(driver.display(), windows.board.id, False, ExposureMask, &ev);
    }
    XSync(driver.display(), False);
    XSync(driver.display(), False);
    kill(game.pid(), SIGCONT);
    settle();
}

BoardCells E2eTest::play_to_end(BoardCells cells, Score& score)
{
    int moves = 0;
    while (any_pair_left(cells) && moves < 600 && !HasFailure()) {
        cells = play_cluster(cells, biggest_cluster(cells), score);
        ++moves;
    }
    return cells;
}

Image E2eTest::expected_status(const Score& score) const
{
    char line[64];
    std::snprintf(line, sizeof line, "Gets%6d  Rests%6d  Total%7d", score.gets, score.rests, score.gets - score.rests);
    return text.render(272, 14, {text.image_text(2, 12, line)});
}

Image E2eTest::expected_button(int index, bool gray, bool framed) const
{
    std::vector<DrawOp> ops{gray ? text.gray_text(2, 12, BUTTON_TEXT[index]) : text.image_text(2, 12, BUTTON_TEXT[index])};
    if (framed) ops.push_back(text.rectangle(0, 0, BUTTON_WIDTH[index] - 1, 13));
    return text.render(BUTTON_WIDTH[index], 14, ops);
}

void E2eTest::expect_status(const Score& score, const char* where)
{
    Image shown = driver.read(windows.status.id);
    Image expected = expected_status(score);
    EXPECT_EQ(count_differences(shown, expected), 0)
        << where << ": status line differs from \"Gets" << score.gets << " Rests" << score.rests << "\"";
    if (shown != expected) {
        dump(shown, "status-shown");
        dump(expected, "status-expected");
    }
}

BoardCells E2eTest::play_cluster(const BoardCells& before, Cell cell, Score& score, unsigned button)
{
    std::set<Cell> cluster = cluster_of(before, cell);
    EXPECT_GE(cluster.size(), 2u);
    auto [column, row] = cell;
    point_at_cell(column, row);

    BoardCells lit = read_board();
    for (int c = 0; c < before.columns; ++c)
        for (int r = 0; r < before.rows; ++r) {
            if (lit.colour[c][r] == -2 || before.colour[c][r] == -2) continue;
            EXPECT_EQ(lit.colour[c][r], before.colour[c][r]) << "hover changed cell " << c << "," << r;
            if (cluster.count({c, r})) {
                EXPECT_TRUE(lit.look[c][r].boxed) << "cluster cell " << c << "," << r << " not highlighted";
            } else if (before.colour[c][r] > 0) {
                EXPECT_TRUE(lit.look[c][r].plain) << "cell " << c << "," << r << " highlighted outside the cluster";
            }
        }

    BoardCells expected = after_removal(before, cluster);
    int n = static_cast<int>(cluster.size());
    score.gets += (n - 2) * (n - 2);
    score.rests -= n;
    bool cleared = score.rests == 0;
    if (cleared) score.gets += before.columns * before.rows;

    press_board(button);
    if (oracle.has_state(2)) {
        BoardCells held = read_board();
        for (const Cell& k : cluster) {
            if (held.colour[k.first][k.second] != -2) {
                EXPECT_TRUE(held.look[k.first][k.second].pushed) << "pressed cell " << k.first << "," << k.second;
            }
        }
        EXPECT_TRUE(same_cells(held, before)) << "removed before the release";
    } else {
        BoardCells now = read_board();
        EXPECT_TRUE(same_cells(now, expected)) << "not removed on the press\n" << now.text() << "expected\n"
                                               << expected.text();
    }
    release_board(button);

    BoardCells after = read_board();
    EXPECT_TRUE(same_cells(after, expected)) << "board after removing the cluster at " << column << "," << row
                                             << "\nshown:\n" << after.text() << "expected:\n" << expected.text();
    bool over = !any_pair_left(expected);
    std::set<Cell> next = over ? std::set<Cell>{} : cluster_of(expected, cell);
    if (next.size() < 2) next.clear();
    for (int c = 0; c < expected.columns; ++c)
        for (int r = 0; r < expected.rows; ++r) {
            const CellLook& look = after.look[c][r];
            if (expected.colour[c][r] == 0 || after.colour[c][r] == -2) continue;
            if (over) {
                EXPECT_TRUE(look.pushed) << "game over but cell " << c << "," << r << " not drawn pushed";
            } else if (next.count({c, r})) {
                EXPECT_TRUE(look.boxed) << "fallen cluster cell " << c << "," << r << " not highlighted";
            } else {
                EXPECT_TRUE(look.plain) << "cell " << c << "," << r << " not drawn plain";
            }
        }
    expect_status(score, "after a removal");
    return expected;
}
