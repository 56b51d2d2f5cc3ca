// keyboard.cpp: keys to commands, and the board's keyboard cursor. Knows the
// controller's actions and calls them as the pointer's events would; what
// they do is theirs.
#include "ui/keyboard.h"

#include <X11/keysym.h>
#include <algorithm>

#include "board/board.h"
#include "ui/cell_paint.h"
#include "ui/game_ui.h"
#include "x11/draw_scale.h"
#include "x11/tile_images.h"
#include "x11/x_display.h"

namespace {

struct Cursor {
    int column = -1;  // -1 until the first arrow key
    int row = -1;
    bool owns = false;  // the keyboard moved last
};
Cursor cursor;

bool cursor_on_board() {
    return cursor.column >= 0 && cursor.row >= 0 && cursor.column < board.columns && cursor.row < board.rows;
}

// The cell as it stands without the cursor over it.
void repaint_cursor_cell() {
    if (!cursor_on_board()) return;
    if (score_state.game_over == 1) {
        paint_cell(cursor.column, cursor.row, TILE_PUSHED);
    } else if (board.marks[cursor.column][cursor.row] == 1) {
        paint_cell_boxed(cursor.column, cursor.row);
    } else {
        paint_cell(cursor.column, cursor.row, TILE_DEFAULT);
    }
}

void move_cursor(const ControllerState& state, int dx, int dy) {
    repaint_cursor_cell();
    if (!cursor_on_board()) {
        // It starts where the pointer is, or at the top left.
        const bool pointer_on_board = state.pointer_column >= 0 && state.pointer_row >= 0 &&
                                      state.pointer_column < board.columns && state.pointer_row < board.rows;
        cursor.column = pointer_on_board ? state.pointer_column : 0;
        cursor.row = pointer_on_board ? state.pointer_row : 0;
    } else {
        cursor.column = std::min(std::max(cursor.column + dx, 0), board.columns - 1);
        cursor.row = std::min(std::max(cursor.row + dy, 0), board.rows - 1);
    }
    cursor.owns = true;
}

}  // namespace

KeyCommand command_for_key(KeySym key, unsigned modifiers) {
    const bool control = (modifiers & ControlMask) != 0;
    if (control) {
        if (key == XK_z) return KeyCommand::UNDO;
        if (key == XK_q) return KeyCommand::QUIT;
        return KeyCommand::NONE;
    }
    switch (key) {
        case XK_Left: case XK_KP_Left: return KeyCommand::LEFT;
        case XK_Right: case XK_KP_Right: return KeyCommand::RIGHT;
        case XK_Up: case XK_KP_Up: return KeyCommand::UP;
        case XK_Down: case XK_KP_Down: return KeyCommand::DOWN;
        case XK_Return: case XK_KP_Enter: case XK_space: return KeyCommand::ACTIVATE;
        case XK_Escape: return KeyCommand::CANCEL;
        case XK_Prior: case XK_KP_Prior: return KeyCommand::PAGE_UP;
        case XK_Next: case XK_KP_Next: return KeyCommand::PAGE_DOWN;
        case XK_u: return KeyCommand::UNDO;
        case XK_n: return KeyCommand::NEW_GAME;
        case XK_q: return KeyCommand::QUIT;
        case XK_s: return KeyCommand::SIZE_MENU;
        case XK_p: return KeyCommand::PICTURES_MENU;
        default: return KeyCommand::NONE;
    }
}

KeyCommand command_of_event(const XKeyEvent& event) {
    XKeyEvent copy = event;
    return command_for_key(XLookupKeysym(&copy, 0), event.state);
}

Outcome press_key(EventContext& context) {
    ControllerState& state = context.state;
    switch (command_of_event(context.event.xkey)) {
        case KeyCommand::LEFT: move_cursor(state, -1, 0); break;
        case KeyCommand::RIGHT: move_cursor(state, 1, 0); break;
        case KeyCommand::UP: move_cursor(state, 0, -1); break;
        case KeyCommand::DOWN: move_cursor(state, 0, 1); break;
        case KeyCommand::ACTIVATE:
            // The score panel's button first, as it lies over the board.
            if (state.panel_shown != 0) return score_state.game_over == 1 ? new_game(context) : hide_panel(context);
            if (score_state.game_over != 0) break;
            // A press and a release of the pointer, on the highlighted cluster.
            press_board(context);
            if (state.pressed_in_board == 1) release_board(context);
            break;
        case KeyCommand::UNDO:
            if (state.undo_available == 1 && score_state.game_over != 1) return undo_removal(context);
            break;
        case KeyCommand::NEW_GAME: return new_game(context);
        case KeyCommand::QUIT: return quit_game(context);
        case KeyCommand::SIZE_MENU: return open_size_menu(context);
        case KeyCommand::PICTURES_MENU: return open_pictures_menu(context);
        default: break;
    }
    return Outcome::GO_ON;
}

void follow_keyboard_cursor(ControllerState& state) {
    if (!cursor.owns || !cursor_on_board()) return;
    state.pointer_column = cursor.column;
    state.pointer_row = cursor.row;
}

void draw_keyboard_cursor() {
    if (!cursor.owns || !cursor_on_board()) return;
    const int width = tile_images.tile_width;
    const int height = tile_images.tile_height;
    if (width < 6 || height < 6) return;
    const int x = cursor.column * width;
    const int y = cursor.row * height;
    // Black inside white, just inside the cell's edge where a set's own
    // outline runs: one of the two shows on any picture.
    Display* display = x_display.display;
    XSetForeground(display, game_ui.gc, x_display.black_pixel);
    draw_scaled_rectangle(game_ui.board_window, game_ui.gc, x + 1, y + 1, width - 3, height - 3);
    XSetForeground(display, game_ui.gc, x_display.white_pixel);
    draw_scaled_rectangle(game_ui.board_window, game_ui.gc, x + 2, y + 2, width - 5, height - 5);
}

void pointer_moved_in_board() {
    if (!cursor.owns) return;
    cursor.owns = false;
    repaint_cursor_cell();
}
