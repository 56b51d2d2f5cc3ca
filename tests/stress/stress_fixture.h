// stress_fixture.h: the frame of the stress tests. One private X server per
// test, any number of runs of the game on it (each with its own HOME and
// working directory, all sharing the e2e data directory), the windows of
// each run found by their place in its main window, and the read-back of a
// run's board and status line. Knows the game only from outside.
#pragma once

// GoogleTest first: Xlib defines None and Bool as macros.
#include <gtest/gtest.h>

#include "e2e/driver.h"
#include "e2e/text_render.h"
#include "e2e/tile_oracle.h"
#include "e2e/xvfb.h"
#include "stress/invariants.h"

#include <array>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

enum { STRESS_QUIT = 0, STRESS_NEW_GAME = 1, STRESS_UNDO = 2, STRESS_SIZE = 3, STRESS_PICTURES = 4 };

// The top-left of a window's inside in root coordinates, with its size.
struct Placed {
    WindowGeometry geometry;
    int root_x = 0;
    int root_y = 0;
    bool contains(int x, int y, int margin = 0) const
    {
        return x >= root_x - margin && y >= root_y - margin && x < root_x + geometry.width + margin &&
               y < root_y + geometry.height + margin;
    }
};

struct RunWindows {
    Placed main;
    Placed board;
    std::array<Placed, 5> buttons;
    Placed status;
    Placed panel;
    Placed panel_button;
    std::vector<Placed> extra;  // open menus and the chooser, bottom to top
    bool complete = false;
};

struct GameRun {
    std::string dir;  // holds home/, work/ and the run's stdout and stderr
    std::string home;
    std::string cwd;
    GameProcess process;
    Window main = None;
    RunWindows windows;
};

class StressTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A run directory with an empty HOME and working directory; the settings
    // file is written when columns is not 0.
    GameRun& prepare_run(int columns = 0, int rows = 0, int pictures = 0);
    GameOptions options_for(const GameRun& run) const;
    // Starts the run and waits until its main window is up and the program idle.
    void start(GameRun& run, const GameOptions& options, std::chrono::milliseconds limit = 15s);
    void start(GameRun& run) { start(run, options_for(run)); }
    bool settle(GameRun& run, std::chrono::milliseconds limit = 10s) { return driver.settle(run.process.pid(), limit); }
    // Re-reads the run's window tree.
    const RunWindows& locate(GameRun& run);
    // Re-reads the tree until `done` holds for it, then waits for the run to
    // be idle. The idle test alone can be fooled when the program has not
    // yet been scheduled to read its events on a busy machine; a change we
    // can see cannot.
    bool wait_for(GameRun& run, const std::function<bool(const RunWindows&)>& done,
                  std::chrono::milliseconds limit = 20s);

    // Copies the shipped themes into the data directory and writes its
    // catalogue with the given lines ("Name file").
    void install_themes(const std::string& catalogue_lines);
    // A theme of the data directory as the oracle needs it (image paths made
    // absolute); fails the test when it cannot be read.
    PictureSet data_theme(const char* description_file);

    // Pointer work on one run; each waits until the run is idle again.
    void click(GameRun& run, const Placed& where, int x, int y, unsigned button = 1);
    void click_top_button(GameRun& run, int index);
    // Opens Pictures and picks built-in set `row` (0..2), or catalogue entry
    // `entry` through "(other)" when row is 4.
    void choose_picture(GameRun& run, int row, int entry = -1);
    void choose_size(GameRun& run, int row);
    // Moves the pointer into the main window's frame, off every child.
    void point_off_board(GameRun& run);

    BoardCells read_board(GameRun& run, const TileOracle& oracle);
    // The status line as text, glyph by glyph; "?" for what no glyph matches.
    std::string read_status_text(GameRun& run);
    std::optional<StatusNumbers> read_status(GameRun& run) { return parse_status_text(read_status_text(run)); }

    // Lines of the run's stderr that tell of an X protocol error, a lost
    // connection or a sanitizer report.
    std::vector<std::string> fatal_lines(const GameRun& run) const;
    void dump(const Image& image, const std::string& suffix) const;

    int screen_width = 1280;
    int screen_height = 1024;
    Xvfb xvfb;
    Driver driver;
    TextRenderer text;
    std::string temp_dir;
    std::vector<std::unique_ptr<GameRun>> runs;

private:
    std::map<char, Image> glyphs_;
};

// How much work a test does: the value of the environment variable when it
// is set, else `normal`, or `sanitized` in a sanitizer build (where the game
// runs a few times slower).
int scaled_count(const char* variable, int normal, int sanitized);
bool sanitizer_build();

std::string read_text_file(const std::string& path);
void write_text_file(const std::string& path, const std::string& text);
