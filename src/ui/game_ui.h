// game_ui.h: the display connection and every X resource the other parts
// draw with, made once at start-up and kept until the process ends.
#pragma once

#include <X11/Xlib.h>
#include <X11/xpm.h>
#include <cstdint>

enum ButtonIndex {
    BUTTON_QUIT = 0,
    BUTTON_NEW_GAME = 1,
    BUTTON_UNDO = 2,
    BUTTON_SIZE = 3,
    BUTTON_PICTURES = 4,
    NUM_BUTTONS = 5
};

extern const char* const BUTTON_LABELS[NUM_BUTTONS];

struct ButtonInfo {
    std::int32_t x;
    std::int32_t y;         // always 4
    std::int32_t width;     // char_width * (label length + 1)
    std::int32_t height;    // always 14
    std::int32_t disabled;  // only Undo's ever changes
};

struct GameUi {
    Display* display;
    Window root;
    Colormap colormap;
    Font font;
    std::int32_t char_width;
    unsigned long black_pixel;
    unsigned long white_pixel;
    unsigned long gray_pixel;
    Window main_window;
    Window board_window;
    ButtonInfo buttons[NUM_BUTTONS];
    Window button_windows[NUM_BUTTONS];
    Window status_window;
    Window panel_window;
    Window panel_button_window;
    GC gc;
    XpmAttributes xpm_attributes;
    const char* data_dir;    // where the catalogue, themes and scores live
    Atom wm_protocols;       // for the window manager's close request
    Atom wm_delete_window;
};

extern GameUi game_ui;
extern const char* display_name;  // from "-display"; null for the default

extern int panel_width;       // 176
extern int panel_height;      // 128 or 208
extern int score_rows_shown;  // 5 or 10
extern int size_class;        // 0..3 for the four menu sizes, -1 otherwise

// XAllocColor, but worked out without a round trip on a TrueColor default
// colormap, where the pixel follows from the colour alone. Returns nonzero
// on success, like XAllocColor.
int allocate_colour(Display* display, Colormap colormap, XColor* colour);

// Where the pointer is, relative to a window of the program (read now, not
// taken from an event).
struct PointerPosition {
    int x;
    int y;
};
PointerPosition query_pointer(Window window);

// Returns false after printing why; the game then ends.
bool open_display_and_windows(const char* data_dir);
void configure_windows();
