// buttons_menus.h: the five top buttons and the pull-down menus behind
// "Size" and "Pictures".
#pragma once

#include <X11/Xlib.h>
#include <string_view>

#include "ui/layout.h"

struct MenuItem {
    const char* label;  // nullptr ends the table; "" is a separator
    int disabled;       // drawn gray, cannot be chosen
    int (*action)();    // may be absent
};

extern MenuItem size_menu[];
extern MenuItem pictures_menu[];
constexpr int PICTURES_OTHER_ROW = 4;  // "(other)", enabled when the catalogue has entries

// The name of the picture set in use: its Pictures menu row, or its
// catalogue name.
const char* current_set_name();

int draw_button(int button_index);
void draw_buttons();  // all five
int draw_button_frame(int button_index);
// Grays or restores a button (its flag and its drawing change together).
void set_button_disabled(int button_index, bool disabled);
int run_menu(MenuItem* items, int button_index, int current_index);
// One row of a menu or the chooser: gray when disabled (also under the
// pointer), inverted when highlighted. `left` is where the text starts.
void draw_list_row(Window window, int row, std::string_view text, bool disabled, bool highlighted,
                   int left = TEXT_X);

// The next event of a nested loop (a menu, the chooser): the next one for
// `window` or `also` (None for no second window), dropping events for other
// windows. False, with the event left queued for the controller, when a
// press or an Expose meant for another window comes first.
bool next_event_for(Window window, Window also, XEvent& event);

int draw_menu_rows(Window menu_window, int current_index, int highlighted_row, int row_count,
                   int label_columns, const MenuItem* items);
