// stress_fixture.cpp: set-up and tear-down, starting runs and telling their
// main windows apart, the window finder, pointer helpers and read-back.
#include "stress/stress_fixture.h"

#include "pictures/description_file.h"

#include <X11/Xutil.h>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <thread>

namespace fs = std::filesystem;

namespace {

// The glyphs of the status line; every other character is "?".
constexpr std::string_view STATUS_CHARACTERS = " -0123456789GetsRTotal";
constexpr int GLYPH_WIDTH = 7;
constexpr int STATUS_TEXT_X = 2;

// Top-level windows named "Clumpout" that are mapped.
std::vector<Window> game_main_windows(Display* display, Window root)
{
    std::vector<Window> found;
    Window root_return, parent_return;
    Window* kids = nullptr;
    unsigned n = 0;
    if (!XQueryTree(display, root, &root_return, &parent_return, &kids, &n)) return found;
    for (unsigned i = 0; i < n; ++i) {
        char* name = nullptr;
        if (!XFetchName(display, kids[i], &name) || name == nullptr) continue;
        const bool match = std::string_view(name) == "Clumpout";
        XFree(name);
        XWindowAttributes a;
        if (match && XGetWindowAttributes(display, kids[i], &a) && a.map_state == IsViewable) found.push_back(kids[i]);
    }
    if (kids != nullptr) XFree(kids);
    return found;
}

}  // namespace

std::string read_text_file(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void write_text_file(const std::string& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

bool sanitizer_build()
{
#if defined(__SANITIZE_ADDRESS__)
    return true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
    return true;
#else
    return false;
#endif
#else
    return false;
#endif
}

int scaled_count(const char* variable, int normal, int sanitized)
{
    if (const char* value = std::getenv(variable); value != nullptr && std::atoi(value) > 0) return std::atoi(value);
    return sanitizer_build() ? sanitized : normal;
}

// ---------------------------------------------------------------- fixture

void StressTest::SetUp()
{
    char pattern[] = "/tmp/clumpout-stress-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    temp_dir = pattern;
    // The data directory is shared by every e2e test; they run one at a time.
    fs::create_directories(E2E_DATA_DIR);
    for (const auto& entry : fs::directory_iterator(E2E_DATA_DIR)) fs::remove_all(entry.path());
    ASSERT_EQ(xvfb.start(screen_width, screen_height), 0) << "no X server could be started";
    ASSERT_EQ(driver.connect(xvfb.display_name()), 0) << "cannot connect to " << xvfb.display_name();
    ASSERT_EQ(text.open(driver.display()), 0) << "font 7x14 missing on the test server";
}

void StressTest::TearDown()
{
    if (HasFailure() && driver.display() != nullptr) {
        dump(driver.read(driver.root(), 0, 0, screen_width, screen_height), "screen");
        for (const auto& run : runs) {
            const std::string err = run->process.stderr_text();
            if (!err.empty())
                std::fprintf(stderr, "--- stderr of %s ---\n%s\n", run->dir.c_str(),
                             err.substr(0, 4000).c_str());
        }
    }
    for (auto& run : runs) run->process.kill_now();
    if (!temp_dir.empty() && std::getenv("CLUMPOUT_E2E_KEEP") == nullptr) fs::remove_all(temp_dir);
}

void StressTest::dump(const Image& image, const std::string& suffix) const
{
    if (image.empty()) return;
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(info->test_suite_name()) + "." + info->name() + "-" + suffix + ".ppm";
    for (char& ch : name)
        if (ch == '/') ch = '_';
    write_ppm(image, std::string(E2E_ARTIFACTS_DIR) + "/" + name);
}

GameRun& StressTest::prepare_run(int columns, int rows, int pictures)
{
    auto run = std::make_unique<GameRun>();
    run->dir = temp_dir + "/run" + std::to_string(runs.size());
    run->home = run->dir + "/home";
    run->cwd = run->dir + "/work";
    fs::create_directories(run->home);
    fs::create_directories(run->cwd);
    if (columns != 0) {
        char settings[128];
        std::snprintf(settings, sizeof settings, "# Clumpout\nWidth  %3d\nHeight %3d\nPictures %d\n", columns, rows,
                      pictures);
        write_text_file(run->home + "/.Clumpout", settings);
    }
    runs.push_back(std::move(run));
    return *runs.back();
}

GameOptions StressTest::options_for(const GameRun& run) const
{
    GameOptions o;
    o.home = run.home;
    o.cwd = run.cwd;
    o.display = xvfb.display_name();
    return o;
}

void StressTest::start(GameRun& run, const GameOptions& options, std::chrono::milliseconds limit)
{
    // A window id is a client's base plus a number, and the server hands the
    // base of a client that has gone to the next one: only running games
    // hold their windows.
    std::set<Window> claimed;
    for (const auto& other : runs)
        if (other->main != None && other.get() != &run && other->process.running()) claimed.insert(other->main);
    ASSERT_EQ(run.process.start(options, run.dir), 0);
    const auto until = std::chrono::steady_clock::now() + limit;
    while (run.main == None) {
        for (Window w : game_main_windows(driver.display(), driver.root()))
            if (!claimed.count(w)) run.main = w;
        driver.take_errors();  // windows may come and go during the walk
        if (run.main != None) break;
        ASSERT_TRUE(run.process.running()) << "the game ended before showing a window; stderr:\n"
                                           << run.process.stderr_text();
        ASSERT_LT(std::chrono::steady_clock::now(), until) << "no new window named Clumpout appeared";
        std::this_thread::sleep_for(5ms);
    }
    ASSERT_TRUE(settle(run, limit));
    locate(run);
}

const RunWindows& StressTest::locate(GameRun& run)
{
    RunWindows w;
    auto main = driver.geometry(run.main);
    if (!main) {
        run.windows = w;
        return run.windows;
    }
    w.main.geometry = *main;
    std::tie(w.main.root_x, w.main.root_y) = driver.to_root(run.main, 0, 0);
    auto place = [](const WindowGeometry& g, int parent_x, int parent_y) {
        return Placed{g, parent_x + g.x + g.border, parent_y + g.y + g.border};
    };
    int buttons = 0;
    bool board = false, status = false, panel = false;
    std::vector<Placed> tops;
    for (const WindowGeometry& g : driver.children(run.main)) {
        const Placed p = place(g, w.main.root_x, w.main.root_y);
        if (!board && g.x == 16 && g.y == 24 && g.border == 0) {
            w.board = p;
            board = true;
        } else if (!panel && g.border == 8) {
            w.panel = p;
            panel = true;
            auto inner = driver.children(g.id);
            if (!inner.empty()) w.panel_button = place(inner.front(), p.root_x, p.root_y);
        } else if (g.y == 4 && g.height == 14 && g.border == 1 && buttons < 5) {
            tops.push_back(p);
            ++buttons;
        } else if (!status && g.x == 16 && g.width == 272 && g.height == 14 && g.border == 1) {
            w.status = p;
            status = true;
        } else if (g.mapped) {
            w.extra.push_back(p);
        }
    }
    std::sort(tops.begin(), tops.end(), [](const Placed& a, const Placed& b) { return a.geometry.x < b.geometry.x; });
    for (size_t i = 0; i < tops.size(); ++i) w.buttons[i] = tops[i];
    w.complete = board && status && panel && buttons == 5 && w.panel_button.geometry.id != None;
    run.windows = w;
    return run.windows;
}

bool StressTest::wait_for(GameRun& run, const std::function<bool(const RunWindows&)>& done,
                          std::chrono::milliseconds limit)
{
    const auto until = std::chrono::steady_clock::now() + limit;
    while (!done(locate(run))) {
        if (std::chrono::steady_clock::now() > until || !run.process.running()) return false;
        std::this_thread::sleep_for(5ms);
    }
    return settle(run, limit);
}

void StressTest::install_themes(const std::string& catalogue_lines)
{
    for (const auto& entry : fs::directory_iterator(E2E_THEMES_DIR)) {
        if (entry.path().filename() == "clumpout.dat") continue;
        fs::copy(entry.path(), fs::path(E2E_DATA_DIR) / entry.path().filename(),
                 fs::copy_options::recursive | fs::copy_options::overwrite_existing);
    }
    write_text_file(std::string(E2E_DATA_DIR) + "/clumpout.dat", "# made by the stress tests\n" + catalogue_lines);
}

PictureSet StressTest::data_theme(const char* description_file)
{
    PictureSet set;
    Messages messages;
    EXPECT_EQ(parse_picture_file(set, description_file, E2E_DATA_DIR, messages), 0) << description_file;
    auto absolute = [](ImageSource& source) {
        if (!source.file.empty() && source.file[0] != '/') source.file = std::string(E2E_DATA_DIR) + "/" + source.file;
    };
    for (auto* images : {&set.default_images, &set.selected_images, &set.pushed_images})
        for (ImageSource& source : *images) absolute(source);
    absolute(set.background_image);
    absolute(set.frame_image);
    return set;
}

// ---------------------------------------------------------------- pointer

void StressTest::click(GameRun& run, const Placed& where, int x, int y, unsigned button)
{
    driver.move_to_root(where.root_x + x, where.root_y + y);
    driver.press(button);
    driver.release(button);
    settle(run, 20s);
}

void StressTest::click_top_button(GameRun& run, int index)
{
    const Placed& button = run.windows.buttons[static_cast<size_t>(index)];
    click(run, button, button.geometry.width / 2, 7);
}

namespace {

// The open menu below the button at main-window x `left`, or nothing.
const Placed* menu_at(const RunWindows& windows, int left)
{
    for (const Placed& p : windows.extra)
        if (p.geometry.x == left && p.geometry.y == 20) return &p;
    return nullptr;
}

int row_middle(int row) { return 3 + 14 * row + 7; }

}  // namespace

void StressTest::choose_picture(GameRun& run, int row, int entry)
{
    click_top_button(run, STRESS_PICTURES);
    ASSERT_TRUE(wait_for(run, [](const RunWindows& w) { return menu_at(w, 205) != nullptr; }))
        << "the Pictures menu did not open";
    const Placed menu = *menu_at(run.windows, 205);
    click(run, menu, 20, row_middle(row));
    if (row != 4) return;
    auto chooser = [&menu](const RunWindows& w) -> const Placed* {
        for (const Placed& p : w.extra)
            if (p.geometry.id != menu.geometry.id) return &p;
        return nullptr;
    };
    ASSERT_TRUE(wait_for(run, [&chooser](const RunWindows& w) { return chooser(w) != nullptr; }))
        << "the chooser did not open";
    const Placed list = *chooser(run.windows);
    click(run, list, 10, row_middle(entry));
    locate(run);
}

void StressTest::choose_size(GameRun& run, int row)
{
    click_top_button(run, STRESS_SIZE);
    ASSERT_TRUE(wait_for(run, [](const RunWindows& w) { return menu_at(w, 163) != nullptr; }))
        << "the Size menu did not open";
    const Placed menu = *menu_at(run.windows, 163);
    click(run, menu, 20, row_middle(row));
    locate(run);
}

void StressTest::point_off_board(GameRun& run)
{
    driver.move_to_root(run.windows.main.root_x + 4, run.windows.main.root_y + run.windows.main.geometry.height - 4);
    settle(run);
}

// ---------------------------------------------------------------- read-back

BoardCells StressTest::read_board(GameRun& run, const TileOracle& oracle)
{
    const WindowGeometry& board = run.windows.board.geometry;
    const Image image = driver.read(board.id);
    BoardCells cells = classify_board(oracle, image, board.width / oracle.tile_width(),
                                      board.height / oracle.tile_height());
    if (!cells.all_known()) dump(image, "board-unknown");
    return cells;
}

std::string StressTest::read_status_text(GameRun& run)
{
    if (glyphs_.empty())
        for (char ch : STATUS_CHARACTERS)
            glyphs_[ch] = text.render(GLYPH_WIDTH, 14, {text.image_text(0, 12, std::string(1, ch))});
    const Image line = driver.read(run.windows.status.geometry.id);
    std::string decoded;
    for (int x = STATUS_TEXT_X; x + GLYPH_WIDTH <= line.width; x += GLYPH_WIDTH) {
        const Image cell = line.crop(x, 0, GLYPH_WIDTH, 14);
        char found = '?';
        for (const auto& [ch, glyph] : glyphs_)
            if (cell == glyph) found = ch;
        decoded += found;
    }
    while (!decoded.empty() && decoded.back() == ' ') decoded.pop_back();
    if (decoded.find('?') != std::string::npos) dump(line, "status-unknown");
    return decoded;
}

std::vector<std::string> StressTest::fatal_lines(const GameRun& run) const
{
    static const char* const SIGNS[] = {"X Error", "XIO", "failed request", "Sanitizer", "runtime error",
                                        "can't allocate memory"};
    std::vector<std::string> found;
    std::istringstream in(run.process.stderr_text());
    std::string line;
    while (std::getline(in, line))
        for (const char* sign : SIGNS)
            if (line.find(sign) != std::string::npos) {
                found.push_back(line);
                break;
            }
    return found;
}
