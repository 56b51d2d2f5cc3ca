// e2e_fixture.h: the common frame of every end-to-end test. Each test gets
// its own X server, a temporary HOME and working directory, an emptied data
// directory, and one run of the game, plus the helpers to find its windows,
// point at cells, press its buttons and predict what a removal leaves. The
// expected boards are worked out here from the rules of play alone.
#pragma once

// GoogleTest first: Xlib defines None and Bool as macros.
#include <gtest/gtest.h>

#include "e2e/driver.h"
#include "e2e/play_oracle.h"
#include "e2e/text_render.h"
#include "e2e/tile_oracle.h"
#include "e2e/xvfb.h"

#include <array>
#include <set>
#include <string>
#include <utility>
#include <vector>

enum { E2E_QUIT = 0, E2E_NEW_GAME = 1, E2E_UNDO = 2, E2E_SIZE = 3, E2E_PICTURES = 4 };
enum { SET_MARBLE = 0, SET_HEAD = 1, SET_FACE = 2 };

// The program's windows, told apart by their place in the main window.
struct GameWindows {
    WindowGeometry main;
    WindowGeometry board;
    std::array<WindowGeometry, 5> buttons;
    WindowGeometry status;
    WindowGeometry panel;
    WindowGeometry panel_button;
    std::vector<WindowGeometry> extra;  // menus and the chooser while open
    bool complete = false;
};

struct Score {
    int gets = 0;
    int rests = 0;
};

class E2eTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Files of the run.
    void write_settings(int columns, int rows, int pictures);
    std::string settings_text() const;
    void write_file(const std::string& path, const std::string& bytes) const;
    std::string read_file(const std::string& path) const;
    std::string data_path(const std::string& name) const { return std::string(E2E_DATA_DIR) + "/" + name; }

    // The game.
    GameOptions game_options() const;
    // Starts the game and waits until its windows are up and drawn.
    void start_game(const GameOptions& options);
    void start_game() { start_game(game_options()); }
    bool settle() { return driver.settle(game.pid()); }
    // Re-reads the window tree; asserts that every fixed window is present.
    const GameWindows& find_windows();
    int quit_with_button3(Window window);  // exit status

    // Pointer and buttons.
    void point_at_cell(int column, int row);
    void press_board(unsigned button = 1);
    void release_board(unsigned button = 1);
    void click_top_button(int index, unsigned button = 1);
    void point_outside_board();

    // Read-back.
    void use_builtin_set(int set);
    int columns() const { return windows.board.width / oracle.tile_width(); }
    int rows() const { return windows.board.height / oracle.tile_height(); }
    // Cells under the mapped score panel read as -2 (hidden).
    BoardCells read_board();
    Image expected_status(const Score& score) const;
    Image expected_button(int index, bool gray, bool framed) const;
    void expect_status(const Score& score, const char* where);
    // Dumps an image next to the test's other artifacts, named after the test.
    void dump(const Image& image, const std::string& suffix) const;

    // Plays the cluster under `cell` with a press and release and checks the
    // board drawn afterwards against the rules. Returns the new board.
    BoardCells play_cluster(const BoardCells& before, Cell cell, Score& score, unsigned button = 1);
    // Plays the biggest cluster until no move is left; returns the last board.
    BoardCells play_to_end(BoardCells cells, Score& score);
    // Sends `count` Expose events for the whole board in one burst, all
    // queued for the program before it looks at any.
    void send_board_exposes(int count);

    Xvfb xvfb;
    Driver driver;
    TextRenderer text;
    TileOracle oracle;
    GameProcess game;
    GameWindows windows;
    std::string temp_dir;
    std::string home;
    std::string cwd;
    int screen_width = 1280;
    int screen_height = 1024;
    // The game's scale: find_windows checks that every child window's place
    // and size are whole multiples of it and gives them at scale 1.
    int scale = 1;
};

const std::array<int, 5> BUTTON_X = {16, 58, 121, 163, 205};
const std::array<int, 5> BUTTON_WIDTH = {35, 56, 35, 35, 63};
const std::array<const char*, 5> BUTTON_TEXT = {"Quit", "NewGame", "Undo", "Size", "Pictures"};
