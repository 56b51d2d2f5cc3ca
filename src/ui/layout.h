// layout.h: the numbers and texts of the window interface as pure functions:
// window and button geometry, the panel's two heights, menu rows and the
// status and score lines. No X calls here: the X files apply what these
// compute, and the tests check them without a display.
#pragma once

#include <array>
#include <span>
#include <string>
#include <string_view>

#include "pictures/picture_limits.h"
#include "scores/high_score_table.h"

// Every position and size of the interface, in pixels. Text positions are
// baselines of the 14-pixel-high "7x14" font.
constexpr int BOARD_X = 16;          // board's left edge in the main window
constexpr int BOARD_Y = 24;          // below the row of buttons
// FRAME_EXTRA_WIDTH and FRAME_EXTRA_HEIGHT, the frame around the board, are
// in picture_limits.h with the largest window X can carry.
constexpr int MAIN_BORDER = 1;
constexpr int BUTTON_Y = 4;
constexpr int BUTTON_HEIGHT = 14;
constexpr int BUTTON_BORDER = 1;
constexpr int TEXT_X = 2;            // text in buttons, menus, the chooser and the status line
constexpr int TEXT_Y = 12;           // baseline in a 14-pixel-high window
constexpr int STATUS_GAP = 4;        // between the board's bottom edge and the status line
constexpr int STATUS_WIDTH = 272;
constexpr int STATUS_HEIGHT = 14;
constexpr int STATUS_BORDER = 1;

constexpr int PANEL_Y = 38;
constexpr int PANEL_WIDTH = 176;
constexpr int PANEL_BORDER = 8;      // drawn with the frame picture
constexpr int PANEL_BUTTON_WIDTH = 64;
constexpr int PANEL_BUTTON_HEIGHT = 14;
constexpr int PANEL_BUTTON_BORDER = 1;
constexpr int PANEL_BUTTON_BOTTOM_GAP = 24;  // its top edge above the panel's bottom
constexpr int PANEL_SHORT_HEIGHT = 128;      // five high-score rows
constexpr int PANEL_TALL_HEIGHT = 208;       // ten
constexpr int PANEL_TALL_BOARD_HEIGHT = 203; // the least board height that has the tall panel
constexpr int SCORE_TITLE_X = 16;
constexpr int SCORE_TITLE_Y = 14;
constexpr int SCORE_NAME_X = 8;
constexpr int SCORE_VALUE_X = 116;
constexpr int SCORE_FIRST_Y = 30;
constexpr int SCORE_ROW_STEP = 16;
constexpr int SUMMARY_WIDTH = 160;
constexpr int SUMMARY_HEIGHT = 80;
constexpr int SUMMARY_TEXT_X = 24;
constexpr int SUMMARY_FIRST_Y = 16;  // Gets, then Rests and Total a row step apart
constexpr int SUMMARY_RULE_Y = 34;   // the line under Rests
constexpr int SUMMARY_RULE_LEFT = 16;
constexpr int SUMMARY_RULE_RIGHT = 131;

constexpr int MENU_GAP = 2;          // between a button's bottom edge and its menu
constexpr int MENU_BORDER = 1;
constexpr int MENU_ROW_HEIGHT = 14;  // menus and the picture chooser
constexpr int MENU_TOP_MARGIN = 3;   // above the first row
constexpr int MENU_EXTRA_WIDTH = 4;  // beside the rows' text
constexpr int MENU_EXTRA_HEIGHT = 6; // below and above the rows
constexpr int MENU_TEXT_Y = 15;      // a row's baseline below its top
constexpr int MENU_SEPARATOR_Y = 9;  // a separator row's line below its top

enum ButtonIndex {
    BUTTON_QUIT = 0,
    BUTTON_NEW_GAME = 1,
    BUTTON_UNDO = 2,
    BUTTON_SIZE = 3,
    BUTTON_PICTURES = 4,
    NUM_BUTTONS = 5
};

struct Size2 {
    int width;
    int height;
};

struct ButtonSpan {
    int x;
    int width;
};

// Buttons stand side by side from x 16, each one character wider than its
// label and one character apart.
std::array<ButtonSpan, NUM_BUTTONS> layout_buttons(std::span<const char* const, NUM_BUTTONS> labels, int char_width);

Size2 main_window_size(int columns, int rows, int tile_width, int tile_height);
Size2 board_window_size(int columns, int rows, int tile_width, int tile_height);
int status_window_y(int rows, int tile_height);
int panel_window_x(int columns, int tile_width, int panel_width);

struct PanelForm {
    int rows_shown;  // high-score rows listed
    int height;      // panel height in its high-score form
};
// A board of 203 pixels or more leaves room for all ten rows.
PanelForm panel_form_for(int board_height);

// The pull-down menu of `row_count` rows whose longest label has `longest`
// bytes.
Size2 menu_window_size(int longest, int row_count, int char_width);

// The row under a pointer at (x, y) in a menu or chooser window of the given
// size: -1 outside; the bottom margin gives row_count, which no row answers.
int menu_row_at(int x, int y, int width, int height);

// One menu row as drawn, written into `line` (label_columns + 3 bytes):
// "v " marks the current choice, and spaces pad it to label_columns + 2
// characters, which are returned.
std::string_view menu_row_text(std::span<char> line, std::string_view label, bool current,
                               int label_columns);

std::string status_line_text(int gets, int rests);

// The stored name up to its first NUL, never past its 20 bytes.
std::string_view entry_name(const HighScoreEntry& entry);

// The left part of high-score row `position`; `rank` is the row to mark
// with ">" (10 or -1 for none). `entries` holds the class's ten rows.
std::string score_row_label(int position, int rank, std::span<const HighScoreEntry, 10> entries);

// The cell index of a pointer coordinate along one axis, -1 left of or above
// the board.
int pointer_cell_index(int position, int tile_size);
