// chooser.cpp: the "(other)" list of catalogue entries, a small window at
// the pointer with a nested event loop of its own. It only asks the picture
// choice to change; loading the chosen set is the controller's business. Where the
// entries go is chooser_layout's.
#include "ui/chooser.h"

#include <X11/Xlib.h>
#include <algorithm>
#include <string>
#include <vector>

#include "base/report.h"
#include "pictures/catalogue.h"
#include "pictures/picture_choice.h"
#include "ui/buttons_menus.h"
#include "ui/chooser_layout.h"
#include "ui/game_ui.h"
#include "ui/keyboard.h"
#include "ui/layout.h"
#include "x11/draw_scale.h"
#include "x11/x_display.h"

namespace {

// The part of the main window that is on the screen, in its own
// coordinates: the chooser is its child and is seen only there.
ChooserArea visible_area() {
    Display* display = x_display.display;
    // Worked out at scale 1, like the chooser's layout.
    XWindowAttributes main{};
    scaled_window_size(game_ui.main_window, main.width, main.height);
    int root_x = 0;
    int root_y = 0;
    Window child = None;
    XTranslateCoordinates(display, game_ui.main_window, x_display.root, 0, 0, &root_x, &root_y, &child);
    root_x = unscaled(root_x);
    root_y = unscaled(root_y);
    const int left = std::max(0, -root_x);
    const int top = std::max(0, -root_y);
    const int right = std::min(main.width, DisplayWidth(display, 0) / draw_scale - root_x);
    const int bottom = std::min(main.height, DisplayHeight(display, 0) / draw_scale - root_y);
    // Wholly off the screen: the window itself is all there is.
    if (right <= left || bottom <= top) return {0, 0, main.width, main.height};
    return {left, top, right - left, bottom - top};
}

struct Chooser {
    Window window;
    ChooserLayout layout;
    int page = 0;
    int highlighted = CHOOSER_NOTHING;
    int tracked = CHOOSER_NOTHING;  // changed only by tracking, never by a redraw

    void draw_entry(int entry, bool lit) const {
        if (entry < 0) return;  // a page arrow, or nothing
        const ChooserColumn& column = layout.column_of(entry);
        if (column.page != page) return;
        const CatalogEntry& shown = catalogue[static_cast<std::size_t>(entry)];
        std::string text = " " + shown.name;
        text.resize(static_cast<std::size_t>(column.chars), ' ');
        draw_list_row(window, entry - column.first, text, shown.disabled != 0, lit, column.x);
    }

    // The bottom row of a paged chooser: "<" at the left, ">" at the right,
    // gray where there is no page to go to; the page number between them
    // when there is room.
    void draw_arrows() const {
        if (layout.page_count < 2) return;
        const int row = layout.rows_per_column;
        const int width = game_ui.char_width;
        draw_list_row(window, row, " <", page == 0, false);
        const int right = layout.width - TEXT_X - 2 * width;
        draw_list_row(window, row, "> ", page + 1 == layout.page_count, false, right);
        const std::string number = format_message("%d/%d", page + 1, layout.page_count);
        const int number_width = static_cast<int>(number.size()) * width;
        const int left = (layout.width - number_width) / 2;
        if (left >= TEXT_X + 3 * width && left + number_width + width <= right)
            draw_list_row(window, row, number, false, false, left);
    }

    void draw_page() const {
        const auto first = static_cast<std::size_t>(layout.page_first_column[static_cast<std::size_t>(page)]);
        for (std::size_t c = first; c < layout.columns.size() && layout.columns[c].page == page; ++c) {
            const ChooserColumn& column = layout.columns[c];
            for (int entry = column.first; entry < column.first + column.count; ++entry)
                draw_entry(entry, entry == highlighted);
        }
        draw_arrows();
    }

    // Only the rows whose highlight changes are drawn, so a long catalogue
    // follows the pointer as fast as a short one.
    void track_pointer() {
        const PointerPosition pointer = query_pointer(window);
        const int item = chooser_item_at(layout, page, pointer.x, pointer.y);
        highlighted = tracked;
        if (item != tracked) {
            draw_entry(tracked, false);
            draw_entry(item, true);
            highlighted = item;
            tracked = item;
        }
    }

    void turn_page(int step) {
        page += step;
        highlighted = tracked = CHOOSER_NOTHING;
        XClearWindow(x_display.display, window);
        draw_page();
        track_pointer();  // the pointer is still on the arrow
    }

    int entry_count() const {
        if (layout.columns.empty()) return 0;
        const ChooserColumn& last = layout.columns.back();
        return last.first + last.count;
    }

    // Up and Down: the next entry that can be chosen, on whatever page it is.
    void step_highlight(int step) {
        const int count = entry_count();
        int entry = highlighted >= 0 ? highlighted : step > 0 ? -1 : count;
        if (highlighted < 0) {
            // From the page in view: its first or last entry.
            const auto first = static_cast<std::size_t>(layout.page_first_column[static_cast<std::size_t>(page)]);
            entry = layout.columns[first].first - (step > 0 ? 1 : 0);
            if (step < 0) {
                std::size_t c = first;
                while (c + 1 < layout.columns.size() && layout.columns[c + 1].page == page) ++c;
                entry = layout.columns[c].first + layout.columns[c].count;
            }
        }
        for (int next = entry + step; next >= 0 && next < count; next += step) {
            if (catalogue[static_cast<std::size_t>(next)].disabled != 0) continue;
            const int next_page = layout.column_of(next).page;
            if (next_page != page) {
                page = next_page;
                XClearWindow(x_display.display, window);
                draw_page();
            } else {
                draw_entry(highlighted, false);
            }
            draw_entry(next, true);
            highlighted = tracked = next;
            return;
        }
    }

    // Keys: Up, Down, Page Up, Page Down, Return, Escape. The entry chosen,
    // -1 to close, or -2 to stay open.
    int press_key(const XKeyEvent& key) {
        switch (command_of_event(key)) {
            case KeyCommand::UP: step_highlight(-1); break;
            case KeyCommand::DOWN: step_highlight(1); break;
            case KeyCommand::PAGE_UP:
                if (page > 0) turn_page(-1);
                break;
            case KeyCommand::PAGE_DOWN:
                if (page + 1 < layout.page_count) turn_page(1);
                break;
            case KeyCommand::ACTIVATE:
                if (highlighted >= 0) return highlighted;
                break;
            case KeyCommand::CANCEL: return -1;
            default: break;
        }
        return -2;
    }

    // The entry pressed, or -1. A press or an Expose meant for another
    // window ends the chooser and is left queued for the controller.
    int run() {
        Display* display = x_display.display;
        XEvent event;
        while (next_event_for(window, None, event)) {
            switch (event.type) {
            case ButtonPress:
                if (highlighted == CHOOSER_PREVIOUS_PAGE || highlighted == CHOOSER_NEXT_PAGE) {
                    turn_page(highlighted == CHOOSER_NEXT_PAGE ? 1 : -1);
                    break;
                }
                return highlighted >= 0 ? highlighted : -1;
            case MotionNotify:
                track_pointer();
                break;
            case KeyPress: {
                const int chosen = press_key(event.xkey);
                if (chosen != -2) return chosen;
                break;
            }
            case LeaveNotify:
                highlighted = CHOOSER_NOTHING;  // the inverted row stays drawn until the next redraw
                break;
            case Expose:
                // The last of a burst redraws the page once.
                if (event.xexpose.count == 0) draw_page();
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

    const int count = static_cast<int>(catalogue.size());
    std::vector<int> name_lengths(static_cast<std::size_t>(count));
    for (std::size_t i = 0; i < name_lengths.size(); ++i)
        name_lengths[i] = static_cast<int>(catalogue[i].name.size());

    XSetFont(display, game_ui.gc, game_ui.font);
    Chooser chooser{None, layout_chooser(name_lengths, game_ui.char_width, visible_area(), pointer.x, pointer.y)};
    const ChooserLayout& layout = chooser.layout;
    chooser.window =
        create_scaled_window(game_ui.main_window, layout.x, layout.y, layout.width, layout.height, MENU_BORDER);
    XSelectInput(display, chooser.window,
                 ButtonPressMask | ButtonReleaseMask | LeaveWindowMask | PointerMotionMask | ExposureMask);
    XMapWindow(display, chooser.window);
    XRaiseWindow(display, chooser.window);
    XFlush(display);

    const int row = chooser.run();
    int result = -1;
    if (row >= 0 && row < count && catalogue[static_cast<std::size_t>(row)].disabled == 0) {
        result = row;
        choose_catalogue_entry(row);
    }
    XUnmapWindow(display, chooser.window);
    XDestroyWindow(display, chooser.window);
    return result;
}
