// game_ui.h: the game's windows, font and graphics context, made once at
// start-up on the display of x_display and kept until the process ends.
#pragma once

#include <X11/Xlib.h>
#include <cstdint>

#include "ui/layout.h"

extern const char* const BUTTON_LABELS[NUM_BUTTONS];

struct ButtonInfo {
    std::int32_t x;
    std::int32_t y;         // always 4
    std::int32_t width;     // char_width * (label length + 1)
    std::int32_t height;    // always 14
    std::int32_t disabled;  // only Undo's ever changes
};

// The game's windows and what it draws text with; the connection, the
// colours and the XPM attributes are in x_display.
struct GameUi {
    Font font;
    std::int32_t char_width;
    Window main_window;
    Window board_window;
    ButtonInfo buttons[NUM_BUTTONS];
    Window button_windows[NUM_BUTTONS];
    Window status_window;
    Window panel_window;
    Window panel_button_window;
    GC gc;
    const char* data_dir;    // where the catalogue and themes live
    const char* score_dir;   // where the shared high-score table and its lock live
    Atom wm_protocols;       // for the window manager's close request
    Atom wm_delete_window;
};

extern GameUi game_ui;
extern const char* display_name;  // from "-display"; null for the default

extern int panel_width;       // 176
extern int panel_height;      // 128 or 208
extern int score_rows_shown;  // 5 or 10
extern int size_class;        // 0..3 for the four menu sizes, -1 otherwise

// Returns false after printing why; the game then ends.
bool open_display_and_windows(const char* data_dir, const char* score_dir);
void configure_windows();
