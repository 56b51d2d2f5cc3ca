// buttons_menus.cpp: painting the five top buttons, and the pull-down menus
// with their tables and their own small event loop. Knows what the menu
// actions change (board size, picture choice); what happens next is the
// controller's business.
#include "ui/buttons_menus.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <span>

#include "base/report.h"
#include "base/version.h"
#include "board/board.h"
#include "board/board_sizes.h"
#include "ui/chooser.h"
#include "pictures/catalogue.h"
#include "pictures/picture_choice.h"
#include "pictures/picture_set.h"
#include "ui/game_ui.h"
#include "ui/keyboard.h"
#include "ui/layout.h"
#include "x11/draw_scale.h"
#include "x11/x_display.h"

namespace {

template <int SIZE_CLASS>
int choose_size() {
    size_class = SIZE_CLASS;
    board.columns = BOARD_SIZES[SIZE_CLASS].columns;
    board.rows = BOARD_SIZES[SIZE_CLASS].rows;
    return 0;
}

int choose_builtin_picture(int set) {
    choose_builtin(set);
    return 0;
}

int choose_marble_picture() { return choose_builtin_picture(0); }
int choose_head_picture() { return choose_builtin_picture(1); }
int choose_face_picture() { return choose_builtin_picture(2); }

}  // namespace

MenuItem size_menu[] = {
    /* label                  disabled  action          */
    {BOARD_SIZES[0].label,    0,        choose_size<0>},
    {BOARD_SIZES[1].label,    0,        choose_size<1>},
    {BOARD_SIZES[2].label,    0,        choose_size<2>},
    {BOARD_SIZES[3].label,    0,        choose_size<3>},
    {nullptr,     0,        nullptr},
};

MenuItem pictures_menu[] = {
    /* label                   disabled  action                 */
    {BUILTIN_SET_NAMES[0],     0,        choose_marble_picture},
    {BUILTIN_SET_NAMES[1],     0,        choose_head_picture},
    {BUILTIN_SET_NAMES[2],     0,        choose_face_picture},
    {"",                       0,        nullptr},
    {"(other)",                1,        choose_other_picture},   // enabled when the catalogue has entries
    {nullptr,                  0,        nullptr},
};

const char* current_set_name() {
    // The first rows of the menu are the built-in sets, in their order.
    if (picture_index >= 0 && picture_index < NUM_BUILTIN_SETS) return pictures_menu[picture_index].label;
    if (catalogue_index >= 0 && static_cast<std::size_t>(catalogue_index) < catalogue.size())
        return catalogue[static_cast<std::size_t>(catalogue_index)].name.c_str();
    return pictures_menu[FALLBACK_SET].label;
}

int draw_button(int button_index) {
    Display* display = x_display.display;
    const ButtonInfo& button = game_ui.buttons[button_index];
    const Window window = game_ui.button_windows[button_index];
    const char* label = BUTTON_LABELS[button_index];
    XSetFont(display, game_ui.gc, game_ui.font);
    XSetForeground(display, game_ui.gc, button.disabled != 0 ? x_display.gray_pixel : x_display.black_pixel);
    XSetBackground(display, game_ui.gc, x_display.white_pixel);
    XClearWindow(display, window);
    draw_scaled_image_string(window, game_ui.gc, TEXT_X, TEXT_Y, label);
    XSetFillStyle(display, game_ui.gc, FillSolid);
    return 0;
}

void draw_buttons() {
    for (int button = BUTTON_QUIT; button <= BUTTON_PICTURES; ++button) draw_button(button);
}

void set_button_disabled(int button_index, bool disabled) {
    game_ui.buttons[button_index].disabled = disabled ? 1 : 0;
    draw_button(button_index);
}

int draw_button_frame(int button_index) {
    const ButtonInfo& button = game_ui.buttons[button_index];
    if (button.disabled != 0) return 0;
    XSetForeground(x_display.display, game_ui.gc, x_display.black_pixel);
    draw_scaled_rectangle(game_ui.button_windows[button_index], game_ui.gc, 0, 0, button.width - 1,
                          button.height - 1);
    return 0;
}

void draw_list_row(Window window, int row, std::string_view text, bool disabled, bool highlighted, int left) {
    unsigned long foreground = x_display.black_pixel;
    unsigned long background = x_display.white_pixel;
    if (disabled) {
        foreground = x_display.gray_pixel;  // also while highlighted
    } else if (highlighted) {
        foreground = x_display.white_pixel;
        background = x_display.black_pixel;
    }
    XSetForeground(x_display.display, game_ui.gc, foreground);
    XSetBackground(x_display.display, game_ui.gc, background);
    draw_scaled_image_string(window, game_ui.gc, left, MENU_ROW_HEIGHT * row + MENU_TEXT_Y, text);
}

bool next_event_for(Window window, Window also, XEvent& event) {
    Display* display = x_display.display;
    for (;;) {
        XPeekEvent(display, &event);
        const Window target = event.xany.window;
        // Keys reach the game through its main window, whichever window
        // holds the loop.
        if (target == window || (also != None && target == also) || event.type == KeyPress) {
            XNextEvent(display, &event);
            return true;
        }
        // A press or an Expose elsewhere is the controller's: it stays
        // queued and closes the nested loop.
        if (event.type == ButtonPress || event.type == Expose) return false;
        XNextEvent(display, &event);
    }
}

int draw_menu_rows(Window menu_window, int current_index, int highlighted_row, int row_count,
                   int label_columns, const MenuItem* items) {
    Display* display = x_display.display;
    GC gc = game_ui.gc;
    const std::size_t line_size = static_cast<std::size_t>(label_columns) + 3;
    char* line = static_cast<char*>(std::malloc(line_size));
    if (line == nullptr) {
        report(format_message("%s: can't allocate memory.\n", CLUMPOUT_TITLE));
        return -1;
    }
    XSetFont(display, gc, game_ui.font);
    for (int i = 0; i < row_count; ++i) {
        const MenuItem& item = items[i];
        if (item.label[0] == '\0') {
            const int y = MENU_ROW_HEIGHT * i + MENU_SEPARATOR_Y;
            XSetForeground(display, gc, x_display.black_pixel);
            draw_scaled_hline(menu_window, gc, TEXT_X, game_ui.char_width * (label_columns + 2), y);
            continue;
        }
        const std::string_view text =
            menu_row_text(std::span<char>(line, line_size), item.label, i == current_index, label_columns);
        draw_list_row(menu_window, i, text, item.disabled != 0, i == highlighted_row);
    }
    std::free(line);
    return 0;
}

namespace {

// One open menu; lives for one call of run_menu.
struct OpenMenu {
    MenuItem* items;
    int current_index;
    int row_count;
    int longest;  // L: bytes of the longest label
    Window window;
    Window button_window;
    Size2 size;
    int highlighted_row = -1;
    bool left_button = false;  // the pointer has left the owning button since it last entered
};

void redraw(const OpenMenu& menu) {
    draw_menu_rows(menu.window, menu.current_index, menu.highlighted_row, menu.row_count, menu.longest + 1,
                   menu.items);
}

void track_menu_pointer(OpenMenu& menu) {
    const PointerPosition pointer = query_pointer(menu.window);
    const int row = menu_row_at(pointer.x, pointer.y, menu.size.width, menu.size.height);
    if (row == menu.highlighted_row) return;
    menu.highlighted_row = row;
    redraw(menu);
}

// The result of choosing row `row`: the action's result, the row itself
// when it has no action, -1 when the row cannot be chosen.
int choose_row(const OpenMenu& menu, int row) {
    if (row < 0 || row >= menu.row_count) return -1;
    const MenuItem& item = menu.items[row];
    if (item.disabled != 0 || item.label[0] == '\0') return -1;
    if (item.action == nullptr) return row;
    return item.action();
}

enum class MenuStep { KEEP_OPEN, CHOOSE, CANCEL };

bool can_choose(const OpenMenu& menu, int row) {
    const MenuItem& item = menu.items[row];
    return item.disabled == 0 && item.label[0] != '\0';
}

// Up and Down go to the next row that can be chosen, and stop at the ends.
void step_highlight(OpenMenu& menu, int step) {
    int row = menu.highlighted_row;
    if (row < 0 || row >= menu.row_count) row = step > 0 ? -1 : menu.row_count;
    for (int next = row + step; next >= 0 && next < menu.row_count; next += step) {
        if (!can_choose(menu, next)) continue;
        menu.highlighted_row = next;
        redraw(menu);
        return;
    }
}

MenuStep handle_menu_key(OpenMenu& menu, const XKeyEvent& key) {
    switch (command_of_event(key)) {
        case KeyCommand::UP: step_highlight(menu, -1); return MenuStep::KEEP_OPEN;
        case KeyCommand::DOWN: step_highlight(menu, 1); return MenuStep::KEEP_OPEN;
        case KeyCommand::ACTIVATE: return menu.highlighted_row >= 0 ? MenuStep::CHOOSE : MenuStep::KEEP_OPEN;
        case KeyCommand::CANCEL: return MenuStep::CANCEL;
        default: return MenuStep::KEEP_OPEN;
    }
}

MenuStep handle_menu_event(OpenMenu& menu, const XEvent& event) {
    const bool on_menu = event.xany.window == menu.window;
    switch (event.type) {
        case ButtonPress:
            return on_menu ? MenuStep::CHOOSE : MenuStep::CANCEL;
        case MotionNotify:
            track_menu_pointer(menu);
            return MenuStep::KEEP_OPEN;
        case LeaveNotify:
            if (on_menu) {
                track_menu_pointer(menu);
                return MenuStep::KEEP_OPEN;
            }
            // The second leave of the owning button is the end of a press,
            // drag and release: X reports it when the implicit grab ends.
            if (menu.left_button) return MenuStep::CHOOSE;
            menu.left_button = true;
            track_menu_pointer(menu);
            return MenuStep::KEEP_OPEN;
        case EnterNotify:
            if (on_menu) return MenuStep::KEEP_OPEN;
            if (menu.left_button) {
                menu.left_button = false;
                return MenuStep::KEEP_OPEN;
            }
            return MenuStep::CANCEL;
        case Expose:
            if (on_menu) redraw(menu);
            return MenuStep::KEEP_OPEN;
        case KeyPress:
            return handle_menu_key(menu, event.xkey);
        default:
            return MenuStep::KEEP_OPEN;
    }
}

}  // namespace

int run_menu(MenuItem* items, int button_index, int current_index) {
    Display* display = x_display.display;
    OpenMenu menu{items, current_index, 0, 0, None, game_ui.button_windows[button_index], {0, 0}};
    for (; items[menu.row_count].label != nullptr; ++menu.row_count) {
        menu.longest = std::max(menu.longest, static_cast<int>(std::strlen(items[menu.row_count].label)));
    }
    XSetFont(display, game_ui.gc, game_ui.font);

    const ButtonInfo& button = game_ui.buttons[button_index];
    menu.size = menu_window_size(menu.longest, menu.row_count, game_ui.char_width);
    menu.window = create_scaled_window(game_ui.main_window, button.x, button.y + button.height + MENU_GAP,
                                       menu.size.width, menu.size.height, MENU_BORDER);
    XSelectInput(display, menu.window,
                 ButtonPressMask | ButtonReleaseMask | LeaveWindowMask | PointerMotionMask | ExposureMask);
    XMapWindow(display, menu.window);
    XRaiseWindow(display, menu.window);

    int result = -1;
    XEvent event;
    while (next_event_for(menu.window, menu.button_window, event)) {
        const MenuStep step = handle_menu_event(menu, event);
        if (step == MenuStep::CANCEL) break;
        if (step == MenuStep::CHOOSE) {
            result = choose_row(menu, menu.highlighted_row);
            break;
        }
    }
    XUnmapWindow(display, menu.window);
    XDestroyWindow(display, menu.window);
    return result;
}
