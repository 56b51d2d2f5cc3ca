// buttons_menus.h: the five top buttons and the pull-down menus behind
// "Size" and "Pictures".
#pragma once

#include <X11/Xlib.h>

constexpr int MENU_ROW_HEIGHT = 14;  // shared with the picture chooser

struct MenuItem {
    const char* label;  // nullptr ends the table; "" is a separator
    int disabled;       // drawn gray, cannot be chosen
    int (*action)();    // may be absent
};

extern MenuItem size_menu[];
extern MenuItem pictures_menu[];
constexpr int PICTURES_OTHER_ROW = 4;  // "(other)", enabled when the catalogue has entries

int draw_button(int button_index);
int draw_button_frame(int button_index);
int run_menu(MenuItem* items, int button_index, int current_index);
int draw_menu_rows(Window menu_window, int current_index, int highlighted_row, int row_count,
                   int label_columns, const MenuItem* items);
