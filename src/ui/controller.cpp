// controller.cpp: the game controller. Runs the four nested levels (start,
// pictures, size, game), the event loop, the end-of-game test, the hover
// step and the actions that change the game. Decides the order of things;
// the rule table, the rules, the drawing and the scores belong to the
// modules it calls.
#include "ui/controller.h"

#include "board/board.h"
#include "board/rules.h"
#include "pictures/picture_choice.h"
#include "pictures/picture_limits.h"
#include "x11/picture_loader.h"
#include "x11/tile_images.h"
#include "ui/buttons_menus.h"
#include "ui/cell_paint.h"
#include "ui/event_rules.h"
#include "ui/game_record.h"
#include "ui/game_ui.h"
#include "ui/keyboard.h"
#include "ui/layout.h"
#include "x11/draw_scale.h"
#include "x11/x_display.h"
#include "ui/status_panel.h"

namespace {

void forget_previous_cell(ControllerState& state) {
    state.previous_column = -1;
    state.previous_row = -1;
}

// undo_available and the Undo button's flag always change together.
void set_undo_available(ControllerState& state, bool available) {
    state.undo_available = available ? 1 : 0;
    set_button_disabled(BUTTON_UNDO, !available);
}

// The second half of a new game, and all of an undo but the restore.
void reset_play_state(ControllerState& state) {
    unmap_panel();
    score_state.game_over = 0;
    paint_board();
    set_undo_available(state, false);
    draw_status_line();
    state = ControllerState{};
}

// A finished game whose panel never recorded it (the panel was already up
// when the game ended, so no Expose came) is still told once, unranked.
void note_unrecorded_end() {
    if (score_state.game_over == 1) note_game_end(-1);
}

void start_new_game(ControllerState& state) {
    note_unrecorded_end();
    deal_game();
    draw_buttons();
    reset_play_state(state);
}

void check_game_over(ControllerState& state) {
    if (score_state.game_over != 0 || any_move_left()) return;
    score_state.game_over = 1;
    paint_all(TILE_PUSHED);
    map_panel();  // its first Expose fills it and records the result
    set_undo_available(state, false);
    state.panel_shown = 1;
}

void update_hover(const ControllerState& state) {
    if (hover_wants_highlight(state)) highlight_cluster(state.pointer_column, state.pointer_row);
}

// The cell that removes the marked cluster: the pointer's, which the hover
// step marked from; should it not be marked, the cluster's first cell.
PlayedCell removal_cell(const ControllerState& state) {
    const int column = state.pointer_column, row = state.pointer_row;
    if (in_play_field(column, row) && board.marks[column][row] == 1)
        return {column, row};
    for (int c = 0; c < board.columns; ++c)
        for (int r = 0; r < board.rows; ++r)
            if (board.marks[c][r] == 1) return {c, r};
    return {0, 0};  // not reached: the caller saw a mark
}

// The removal step: on the release, or on the press itself for a set
// without pushed images.
void try_remove(ControllerState& state) {
    state.pressed_in_board = 0;
    if (!any_marked()) return;
    take_snapshot();
    set_undo_available(state, true);
    note_removal(removal_cell(state));
    remove_marked();
    draw_status_line();
    // The pointer has not moved, but the tiles under it have: the next
    // hover step looks at its cell afresh.
    forget_previous_cell(state);
}

void query_pointer_cell(ControllerState& state) {
    const PointerPosition pointer = query_pointer(game_ui.board_window);
    state.pressed_in_board = 0;
    state.previous_column = state.pointer_column;
    state.previous_row = state.pointer_row;
    state.pointer_column = pointer_cell_index(pointer.x, tile_images.tile_width);
    state.pointer_row = pointer_cell_index(pointer.y, tile_images.tile_height);
}

Outcome handle_event(const XEvent& event, ControllerState& state) {
    const WindowRole role = role_of_window(event.xany.window);
    EventContext context{event, role, button_of_role(role), state};
    // Unless an action says otherwise, the pointer cell stays and becomes
    // the previous cell.
    state.previous_column = state.pointer_column;
    state.previous_row = state.pointer_row;
    const EventRule* rule = find_event_rule(context);
    return rule != nullptr ? rule->action(context) : Outcome::GO_ON;
}

Outcome play(ControllerState& state) {
    Display* display = x_display.display;
    for (;;) {
        check_game_over(state);
        follow_keyboard_cursor(state);
        update_hover(state);
        draw_keyboard_cursor();
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == MotionNotify && event.xany.window == game_ui.board_window) pointer_moved_in_board();
        const Outcome outcome = handle_event(event, state);
        XFlush(display);
        if (outcome != Outcome::GO_ON) return outcome;
    }
}

}  // namespace

bool hover_wants_highlight(const ControllerState& state) {
    const int column = state.pointer_column;
    const int row = state.pointer_row;
    // A queued motion handled after the pointer left, or a drag past the
    // edge, can give a cell beyond the play field: that is no cell.
    if (!in_play_field(column, row)) return false;
    if (column == state.previous_column && row == state.previous_row) return false;
    return board.marks[column][row] == 0;
}

Outcome undo_removal(EventContext& context) {
    restore_snapshot();
    note_undo();
    reset_play_state(context.state);
    return Outcome::GO_ON;
}

Outcome open_size_menu(EventContext& context) {
    draw_button_frame(BUTTON_SIZE);
    if (run_menu(size_menu, BUTTON_SIZE, size_class) != -1) return Outcome::RESIZE;
    draw_button(BUTTON_SIZE);
    forget_previous_cell(context.state);
    return Outcome::GO_ON;
}

Outcome open_pictures_menu(EventContext& context) {
    draw_button_frame(BUTTON_PICTURES);
    if (run_menu(pictures_menu, BUTTON_PICTURES, picture_index) != -1) return Outcome::RELOAD_PICTURES;
    draw_button(BUTTON_PICTURES);
    forget_previous_cell(context.state);
    return Outcome::GO_ON;
}

Outcome show_panel(EventContext& context) {
    map_panel();
    context.state.panel_shown = 1;
    return Outcome::GO_ON;
}

Outcome hide_panel(EventContext& context) {
    unmap_panel();
    context.state.panel_shown = 0;
    return Outcome::GO_ON;
}

Outcome press_board(EventContext& context) {
    paint_marked(TILE_PUSHED);
    context.state.pressed_in_board = 1;
    // Without pushed images there is nothing to show while the button is
    // held: the press removes at once.
    if (tile_images.state_enabled[TILE_PUSHED] == 0) try_remove(context.state);
    return Outcome::GO_ON;
}

Outcome release_board(EventContext& context) {
    try_remove(context.state);
    return Outcome::GO_ON;
}

Outcome follow_pointer(EventContext& context) {
    query_pointer_cell(context.state);
    return Outcome::GO_ON;
}

Outcome leave_board(EventContext& context) {
    unmark_all();
    context.state.pressed_in_board = 0;
    context.state.pointer_column = context.state.pointer_row = -1;
    forget_previous_cell(context.state);
    return Outcome::GO_ON;
}

Outcome leave_button(EventContext& context) {
    draw_button(context.button);
    return leave_board(context);
}

int run_game(const char* data_dir) {
    if (!open_display_and_windows(data_dir)) return 0;
    install_cell_painters();
    ControllerState state;
    for (;;) {  // picture level
        // Not even "Head" could be made: there is nothing to play with.
        if (load_picture_set(data_dir) != 0) return 0;
        Outcome outcome = Outcome::GO_ON;
        do {  // size level
            // A new board size the tiles in use are too large for: the set is
            // loaded again, refused for that size, and replaced by "Head".
            if (!tiles_fit_board_at_scale(tile_images.tile_width, tile_images.tile_height, board.columns, board.rows)) {
                free_tile_images();
                if (load_picture_set(data_dir) != 0) return 0;
            }
            configure_windows();
            do {  // game level
                start_new_game(state);
                outcome = play(state);
            } while (outcome == Outcome::NEW_GAME);
        } while (outcome == Outcome::RESIZE);
        if (outcome == Outcome::QUIT) {
            note_unrecorded_end();
            return 0;
        }
        free_tile_images();  // Outcome::RELOAD_PICTURES
    }
}
