// chooser.cpp: the "(other)" list of catalogue entries, a small window at
// the pointer with a nested event loop of its own. It only sets the picture
// choice; loading the chosen set is the controller's business.
#include "ui/chooser.h"

#include <X11/Xlib.h>
#include <algorithm>
#include <string>

#include "pictures/catalogue.h"
#include "pictures/picture_choice.h"
#include "ui/buttons_menus.h"
#include "ui/game_ui.h"
#include "ui/layout.h"
#include "x11/x_display.h"

namespace {


void draw_catalogue_rows(Window window, int highlighted_row, int count, int row_chars,
                         const std::vector<CatalogEntry>& entries) {
    for (int i = 0; i < count; ++i) {
        const CatalogEntry& entry = entries[static_cast<std::size_t>(i)];
        std::string text = " " + entry.name;
        text.resize(static_cast<std::size_t>(row_chars), ' ');
        draw_list_row(window, i, text, entry.disabled != 0, i == highlighted_row);
    }
}

struct Chooser {
    Window window;
    int width;
    int height;
    int count;
    int row_chars;
    int highlighted_row = -1;
    int tracked_row = -1;  // changed only by tracking, never by a redraw

    void track_pointer() {
        const PointerPosition pointer = query_pointer(window);
        // The same rows as a menu's: the border line itself still counts as inside.
        const int row = menu_row_at(pointer.x, pointer.y, width, height);
        highlighted_row = tracked_row;
        if (row != tracked_row) {
            draw_catalogue_rows(window, row, count, row_chars, catalogue);
            highlighted_row = row;
            tracked_row = row;
        }
    }

    // The entry pressed, or -1. A press or an Expose meant for another
    // window ends the chooser and is left queued for the controller.
    int run() {
        Display* display = x_display.display;
        XEvent event;
        while (next_event_for(window, None, event)) {
            switch (event.type) {
            case ButtonPress:
                return highlighted_row >= 0 && highlighted_row < count ? highlighted_row : -1;
            case MotionNotify:
                track_pointer();
                break;
            case LeaveNotify:
                highlighted_row = -1;  // the inverted row stays drawn until the next redraw
                break;
            case Expose:
                draw_catalogue_rows(window, highlighted_row, count, row_chars, catalogue);
                break;
            default:
                break;
            }
            XFlush(display);
        }
        return -1;
    }
};

}  // namespace

int choose_other_picture() {
    Display* display = x_display.display;
    const PointerPosition pointer = query_pointer(game_ui.main_window);

    const int count = std::min(catalogue_count, static_cast<int>(catalogue.size()));
    std::size_t longest = 0;
    for (int i = 0; i < count; ++i) longest = std::max(longest, catalogue[static_cast<std::size_t>(i)].name.size());
    const int row_chars = static_cast<int>(longest) + 2;

    XSetFont(display, game_ui.gc, game_ui.font);
    const Size2 size = chooser_window_size(row_chars, count, game_ui.char_width);
    const int width = size.width;
    const int height = size.height;
    const Window window = XCreateSimpleWindow(display, game_ui.main_window, pointer.x, pointer.y,
                                              static_cast<unsigned>(width),
                                              static_cast<unsigned>(height), MENU_BORDER, x_display.black_pixel,
                                              x_display.white_pixel);
    XSelectInput(display, window,
                 ButtonPressMask | ButtonReleaseMask | LeaveWindowMask | PointerMotionMask | ExposureMask);
    XMapWindow(display, window);
    XRaiseWindow(display, window);
    XFlush(display);

    Chooser chooser{window, width, height, count, row_chars};
    const int row = chooser.run();
    int result = -1;
    if (row >= 0 && row < count && catalogue[static_cast<std::size_t>(row)].disabled == 0) {
        result = row;
        picture_index = -1;
        catalogue_index = row;
    }
    XUnmapWindow(display, window);
    XDestroyWindow(display, window);
    return result;
}
