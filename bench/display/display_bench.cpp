// display_bench.cpp: how fast the game gets onto the screen and answers the
// pointer, measured from outside under a private 3840 x 2160 Xvfb with the
// e2e driver, at the scale given by --scale (1 unless asked):
// fork to board fully drawn and peak RSS per built-in set on Huge, next to
// xlogo mapping its window; on Huge with "Head", motion to cluster lit and
// click to removal drawn, next to a bare XSync round trip. Those two are
// timed by the server's damage reports on the game's windows, so the cost of
// reading the result back, which grows with the scale, is not in them.
#include "e2e/driver.h"
#include "e2e/play_oracle.h"
#include "e2e/tile_oracle.h"
#include "e2e/xvfb.h"
#include "pictures/picture_set.h"

#include <X11/extensions/Xdamage.h>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <poll.h>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

int scale = 1;  // the game's, set through clumpout.scale
int columns = 30;  // Huge unless --board says otherwise
int rows = 20;

// A read of the scaled game at scale 1: every scale-th pixel.
Image at_scale_1(const Image& image)
{
    if (scale == 1 || image.empty()) return image;
    Image small;
    small.width = image.width / scale;
    small.height = image.height / scale;
    small.pixels.reserve(static_cast<size_t>(small.width) * static_cast<size_t>(small.height));
    for (int y = 0; y < small.height; ++y)
        for (int x = 0; x < small.width; ++x) small.pixels.push_back(image.at(x * scale, y * scale));
    return small;
}

double ms_between(Clock::time_point t0, Clock::time_point t1)
{
    return std::chrono::duration<double, std::milli>(t1 - t0).count();
}

double ms_since(Clock::time_point t0) { return ms_between(t0, Clock::now()); }

double median(std::vector<double> v)
{
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

double percentile(std::vector<double> v, double p)
{
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, static_cast<size_t>(p * static_cast<double>(v.size())))];
}

long peak_rss_kib(pid_t pid)
{
    std::ifstream in("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(in, line))
        if (line.rfind("VmHWM:", 0) == 0) return std::atol(line.c_str() + 6);
    return -1;
}

// Polls the tree every half millisecond for a viewable window of that name.
Window wait_for_window(Driver& d, const char* name, double limit_ms)
{
    auto t0 = Clock::now();
    while (ms_since(t0) < limit_ms) {
        Window w = d.find_window_by_name(name, 0ms);
        if (w != None) return w;
        std::this_thread::sleep_for(500us);
    }
    return None;
}

// The board window: the main window's child at (16, 24).
Window board_of(Driver& d, Window main)
{
    for (const WindowGeometry& g : d.children(main))
        if (g.x == 16 * scale && g.y == 24 * scale && g.border == 0) return g.id;
    return None;
}

struct Paths {
    std::string temp, home, cwd;
};

Paths make_paths()
{
    char pattern[] = "/tmp/clumpout-bench-XXXXXX";
    if (mkdtemp(pattern) == nullptr) std::exit(1);
    Paths p{pattern, std::string(pattern) + "/home", std::string(pattern) + "/work"};
    fs::create_directories(p.home);
    fs::create_directories(p.cwd);
    return p;
}

void write_settings(const Paths& p, int set)
{
    std::ofstream out(p.home + "/.Clumpout", std::ios::trunc);
    out << "# Clumpout\nWidth   " << columns << "\nHeight  " << rows << "\nPictures " << set << "\n";
}

GameOptions options_for(const Paths& p, const Xvfb& x)
{
    GameOptions o;
    o.home = p.home;
    o.cwd = p.cwd;
    o.display = x.display_name();
    return o;
}

struct StartupRow {
    std::string name;
    std::vector<double> map_ms, drawn_ms;
    std::vector<long> rss;
};

bool board_complete(Driver& d, Window board, const TileOracle& oracle)
{
    BoardCells cells = classify_board(oracle, at_scale_1(d.read(board)), columns, rows);
    for (int c = 0; c < columns; ++c)
        for (int r = 0; r < rows; ++r)
            if (cells.colour[c][r] < 1 || !cells.look[c][r].plain) return false;
    return true;
}

// Makes the game's next start take scale `s`.
void use_scale(Driver& d, int s)
{
    scale = s;
    d.set_resources("clumpout.scale: " + std::to_string(s) + "\n");
}

// One start of the game, fork to board fully drawn, added to `row`.
bool start_once(Driver& d, const Xvfb& x, const Paths& p, const TileOracle& oracle, StartupRow& row)
{
    GameProcess game;
    auto t0 = Clock::now();
    if (game.start(options_for(p, x), p.temp) != 0) return false;
    Window main = wait_for_window(d, "Clumpout", 20000);
    double mapped = ms_since(t0);
    if (main == None) return false;
    Window board = board_of(d, main);
    double drawn = -1;
    for (int tries = 0; tries < 100 && drawn < 0; ++tries) {
        d.settle(game.pid());
        double at = ms_since(t0);
        if (board_complete(d, board, oracle)) drawn = at;
    }
    row.map_ms.push_back(mapped);
    if (drawn >= 0) row.drawn_ms.push_back(drawn);
    row.rss.push_back(peak_rss_kib(game.pid()));
    game.kill_now();
    return true;
}

// `runs` starts with `set` at each of `scales`, taken in turn within a run
// so that every scale meets the machine in the same state; a row a scale.
std::vector<StartupRow> measure_game_startup(Driver& d, const Xvfb& x, const Paths& p, int set, int runs,
                                             const std::vector<int>& scales)
{
    static const char* const names[] = {"clumpout Marble", "clumpout Head", "clumpout Face"};
    std::vector<StartupRow> result;
    for (int s : scales)
        result.push_back({names[set] + (scales.size() > 1 ? " s=" + std::to_string(s) : std::string()), {}, {}, {}});
    TileOracle oracle;
    if (oracle.build(d.display(), BUILTIN_SETS[set]) != 0) return result;
    write_settings(p, set);
    for (int i = 0; i < runs; ++i) {
        for (size_t k = 0; k < scales.size(); ++k) {
            use_scale(d, scales[k]);
            if (!start_once(d, x, p, oracle, result[k])) return result;
        }
    }
    return result;
}

StartupRow measure_xlogo(Driver& d, const Xvfb& x, int runs)
{
    StartupRow row{"xlogo", {}, {}, {}};
    for (int i = 0; i < runs; ++i) {
        auto t0 = Clock::now();
        pid_t pid = spawn_on_display(x.display_name(), "xlogo", nullptr);
        Window w = wait_for_window(d, "xlogo", 20000);
        double mapped = ms_since(t0);
        if (w == None) {
            end_process(pid);
            break;
        }
        d.settle(pid);
        row.map_ms.push_back(mapped);
        row.rss.push_back(peak_rss_kib(pid));
        end_process(pid);
    }
    return row;
}

// Reads the cells [c0, c1) x [r0, r1) and checks each against `want`.
template <typename Want>
bool region_matches(Driver& d, Window board, const TileOracle& o, int c0, int r0, int c1, int r1, Want want)
{
    int tw = o.tile_width(), th = o.tile_height();
    Image region =
        at_scale_1(d.read(board, c0 * tw * scale, r0 * th * scale, (c1 - c0) * tw * scale, (r1 - r0) * th * scale));
    if (region.empty()) return false;
    for (int c = c0; c < c1; ++c)
        for (int r = r0; r < r1; ++r)
            if (!want(c, r, o.classify(region, c - c0, r - r0))) return false;
    return true;
}

// The server's reports of drawing on some windows, each stamped when it
// reaches this client. A report is sent as the server carries out the
// drawing request, so the last one marks when the drawing was done.
class DamageWatch {
public:
    explicit DamageWatch(Display* display) : display_(display)
    {
        int error_base = 0;
        available_ = XDamageQueryExtension(display_, &event_base_, &error_base) != 0;
    }
    ~DamageWatch()
    {
        for (Damage damage : damages_) XDamageDestroy(display_, damage);
    }
    DamageWatch(const DamageWatch&) = delete;
    DamageWatch& operator=(const DamageWatch&) = delete;

    bool available() const { return available_; }
    void watch(Window window) { damages_.push_back(XDamageCreate(display_, window, XDamageReportRawRectangles)); }

    // Forgets every report so far.
    void clear()
    {
        XSync(display_, False);
        take_reports();
        last_.reset();
    }

    // Waits until no report has come for `quiet`, at most `limit` in all;
    // the arrival of the last report, if any came.
    std::optional<Clock::time_point> wait_for_quiet(std::chrono::milliseconds quiet, std::chrono::milliseconds limit)
    {
        XFlush(display_);
        const auto until = Clock::now() + limit;
        while (Clock::now() < until) {
            take_reports();
            if (last_ && Clock::now() - *last_ >= quiet) break;
            pollfd fd{ConnectionNumber(display_), POLLIN, 0};
            poll(&fd, 1, static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(quiet).count()));
        }
        return last_;
    }

private:
    // Reads what has arrived, without waiting, stamping each report now.
    void take_reports()
    {
        while (XEventsQueued(display_, QueuedAfterReading) > 0) {
            XEvent event;
            XNextEvent(display_, &event);
            if (event.type == event_base_ + XDamageNotify) last_ = Clock::now();
        }
    }

    Display* display_;
    bool available_ = false;
    int event_base_ = 0;
    std::vector<Damage> damages_;
    std::optional<Clock::time_point> last_;
};

struct Interaction {
    std::vector<double> hover_ms, remove_ms, sync_ms;
    std::vector<double> read_ms;  // one read-back of the removal's region, the game idle
    bool damage = true;           // false: the server has no DAMAGE extension
};

// Longer than any one answer of the game takes to draw.
constexpr std::chrono::milliseconds QUIET{40};

Interaction measure_interaction(Driver& d, const Xvfb& x, const Paths& p, int max_moves)
{
    Interaction result;
    for (int i = 0; i < 1000; ++i) {
        auto t0 = Clock::now();
        XSync(d.display(), False);
        result.sync_ms.push_back(ms_since(t0));
    }
    TileOracle oracle;
    if (oracle.build(d.display(), BUILTIN_SETS[1]) != 0) return result;
    write_settings(p, 1);
    GameProcess game;
    if (game.start(options_for(p, x), p.temp) != 0) return result;
    Window main = wait_for_window(d, "Clumpout", 20000);
    if (main == None) return result;
    Window board = board_of(d, main);
    d.settle(game.pid());
    DamageWatch damage(d.display());
    if (!damage.available()) {
        result.damage = false;
        game.kill_now();
        return result;
    }
    damage.watch(main);
    for (const WindowGeometry& g : d.children(main)) damage.watch(g.id);
    BoardCells cells = classify_board(oracle, at_scale_1(d.read(board)), columns, rows);
    const int tw = oracle.tile_width(), th = oracle.tile_height();
    Cell pointer{-1, -1};

    for (int move = 0; move < max_moves; ++move) {
        // The biggest cluster that is not the one already lit under the pointer.
        std::set<Cell> lit = cluster_of(cells, pointer);
        Cell target{-1, -1};
        size_t best = 1;
        for (int c = 0; c < columns; ++c)
            for (int r = 0; r < rows; ++r) {
                if (lit.count({c, r})) continue;
                size_t n = cluster_of(cells, {c, r}).size();
                if (n > best) {
                    best = n;
                    target = {c, r};
                }
            }
        if (target.first < 0) break;
        std::set<Cell> cluster = cluster_of(cells, target);
        BoardCells expected = after_removal(cells, cluster);
        if (!any_pair_left(expected)) break;  // leave the high-score table alone
        int c0 = columns, c1 = 0, r0 = rows, r1 = 0;
        for (auto [c, r] : cluster) {
            c0 = std::min(c0, c);
            c1 = std::max(c1, c + 1);
            r0 = std::min(r0, r);
            r1 = std::max(r1, r + 1);
        }

        auto [rx, ry] = d.to_root(board, (target.first * tw + tw / 2) * scale, (target.second * th + th / 2) * scale);
        // The game is done once no drawing has come for a while; then the
        // pixels are checked, off the clock.
        damage.clear();
        auto t0 = Clock::now();
        d.move_to_root(rx, ry);
        std::optional<Clock::time_point> drawn = damage.wait_for_quiet(QUIET, 5s);
        if (!drawn || !region_matches(d, board, oracle, c0, r0, c1, r1, [&](int c, int r, const CellLook& look) {
                return !cluster.count({c, r}) || look.boxed;
            }))
            break;
        result.hover_ms.push_back(ms_between(t0, *drawn));
        pointer = target;

        // Everything from the cluster's leftmost column rightward, and from
        // the top down to its lowest row, may change.
        damage.clear();
        t0 = Clock::now();
        d.press();
        d.release();
        drawn = damage.wait_for_quiet(QUIET, 5s);
        if (!drawn || !region_matches(d, board, oracle, c0, 0, columns, r1, [&](int c, int r, const CellLook& look) {
                return look.colour == expected.colour[c][r];
            }))
            break;
        result.remove_ms.push_back(ms_between(t0, *drawn));
        d.settle(game.pid());
        // What one read of that region costs: at scale 2 it moves four times
        // the pixels.
        t0 = Clock::now();
        region_matches(d, board, oracle, c0, 0, columns, r1, [](int, int, const CellLook&) { return true; });
        result.read_ms.push_back(ms_since(t0));
        cells = expected;
    }
    game.kill_now();
    return result;
}

}  // namespace

int main(int argc, char** argv)
{
    int runs = 15;
    int moves = 400;
    bool paired = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--paired") == 0) {
            paired = true;
            continue;
        }
        if (i + 1 >= argc) break;
        if (std::strcmp(argv[i], "--runs") == 0) runs = std::atoi(argv[i + 1]);
        if (std::strcmp(argv[i], "--moves") == 0) moves = std::atoi(argv[i + 1]);
        if (std::strcmp(argv[i], "--scale") == 0) scale = std::atoi(argv[i + 1]);
        if (std::strcmp(argv[i], "--board") == 0) std::sscanf(argv[i + 1], "%dx%d", &columns, &rows);
        ++i;
    }
    const int chosen_scale = scale;
    // With --paired, scale 1 and the chosen scale take turns.
    const std::vector<int> scales =
        paired && chosen_scale != 1 ? std::vector<int>{1, chosen_scale} : std::vector<int>{chosen_scale};
    Xvfb xvfb;
    // A high-density screen, large enough for 30 x 20 tiles of 64 pixels at
    // scale 1 and of 32 at scale 2.
    if (xvfb.start(3840, 2160) != 0) {
        std::fprintf(stderr, "cannot start Xvfb\n");
        return 1;
    }
    Driver d;
    if (d.connect(xvfb.display_name()) != 0) return 1;
    Paths paths = make_paths();
    d.move_to_root(3839, 2159);  // off every board: no highlight at start

    std::vector<StartupRow> table;
    table.push_back(measure_xlogo(d, xvfb, runs));
    for (int set = 0; set < 3; ++set)
        for (StartupRow& row : measure_game_startup(d, xvfb, paths, set, runs, scales)) table.push_back(row);
    use_scale(d, chosen_scale);
    double xlogo_map = median(table[0].map_ms);

    std::printf("Start-up on Xvfb %s (3840 x 2160), scale %s%d, %d x %d board, medians of %d runs\n",
                xvfb.display_name().c_str(), scales.size() > 1 ? "1 in turn with " : "", scale, columns, rows, runs);
    std::printf("%-22s %10s %12s %14s %12s %12s\n", "program", "map ms", "drawn ms", "peak RSS KiB", "map/xlogo",
                "drawn/xlogo");
    for (const StartupRow& r : table) {
        std::vector<double> rss(r.rss.begin(), r.rss.end());
        double map = median(r.map_ms);
        std::printf("%-22s %10.1f ", r.name.c_str(), map);
        if (r.drawn_ms.empty())
            std::printf("%12s ", "-");
        else
            std::printf("%12.1f ", median(r.drawn_ms));
        std::printf("%14.0f %12.2f ", median(rss), map / xlogo_map);
        if (r.drawn_ms.empty())
            std::printf("%12s\n", "-");
        else
            std::printf("%12.2f\n", median(r.drawn_ms) / xlogo_map);
    }

    if (scales.size() > 1) {
        std::printf("%-22s %10s\n", "drawn at s / s=1", "ratio");
        for (size_t i = 1; i + 1 < table.size(); i += 2) {
            const StartupRow& one = table[i];
            const StartupRow& other = table[i + 1];
            if (one.drawn_ms.empty() || other.drawn_ms.empty()) continue;
            std::printf("%-22s %10.2f\n", one.name.substr(0, one.name.size() - 4).c_str(),
                        median(other.drawn_ms) / median(one.drawn_ms));
        }
    }

    Interaction in = measure_interaction(d, xvfb, paths, moves);
    if (!in.damage) std::printf("\nThe server has no DAMAGE extension: no interaction figures\n");
    std::printf("\nInteraction on %d x %d with \"Head\" at scale %d (%zu moves; until the last drawing reported)\n",
                columns, rows, scale, in.remove_ms.size());
    std::printf("%-34s %10s %10s\n", "step", "median ms", "p90 ms");
    std::printf("%-34s %10.3f %10.3f\n", "bare XSync round trip", median(in.sync_ms), percentile(in.sync_ms, 0.9));
    std::printf("%-34s %10.3f %10.3f\n", "motion -> cluster highlighted", median(in.hover_ms),
                percentile(in.hover_ms, 0.9));
    std::printf("%-34s %10.3f %10.3f\n", "click -> removal drawn", median(in.remove_ms), percentile(in.remove_ms, 0.9));
    std::printf("%-34s %10.3f %10.3f\n", "one read-back of that region", median(in.read_ms), percentile(in.read_ms, 0.9));
    fs::remove_all(paths.temp);
    return 0;
}
