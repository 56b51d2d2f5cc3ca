// status_panel.h: the status line under the board and the score panel over
// it, which also offers a finished game's result to the high-score table.
#pragma once

#include <span>

#include "scores/high_score_table.h"

// 1 after recording the finished game failed; cleared by the first drawing
// of the panel during a later game.
extern int record_failed;

int draw_status_line();
int show_score_panel();
int draw_panel_button();
void draw_panel_button_frame();  // while the pointer is on the button
// The panel with its button; its first Expose fills it.
void map_panel();
void unmap_panel();

// The high-score calls the panel makes; tests hand in their own.
struct ScoreCalls {
    int (*record)(int score, int size_class, const char* data_dir);
    int (*read_row)(HighScoreEntry* destination, int size_class, const char* data_dir);
};

struct PanelContent {
    bool list;  // the high-score list; otherwise the score summary
    int rank;   // the row to mark with ">", 10 for none
};

// What the panel shows, recording a finished game's result first (once per
// game, never on a custom size). Fills `entries` when the list is shown.
// Reads score_state, size_class and game_ui.data_dir; no drawing.
PanelContent prepare_score_panel(std::span<HighScoreEntry, HIGH_SCORE_ROWS> entries, const ScoreCalls& calls);
