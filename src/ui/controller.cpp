// controller.cpp: the game controller. Runs the four nested levels (start,
// pictures, size, game), the event loop with its rule table, the end-of-game
// test and the hover step. Decides the order of things; the rules, the
// drawing and the scores belong to the modules it calls.
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
#include "ui/layout.h"
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
    game_ui.buttons[BUTTON_UNDO].disabled = available ? 0 : 1;
    draw_button(BUTTON_UNDO);
}

void map_panel() {
    XMapWindow(x_display.display, game_ui.panel_window);
    XMapSubwindows(x_display.display, game_ui.panel_window);
}

void unmap_panel() {
    XUnmapSubwindows(x_display.display, game_ui.panel_window);
    XUnmapWindow(x_display.display, game_ui.panel_window);
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
    for (int button = BUTTON_QUIT; button <= BUTTON_PICTURES; ++button) draw_button(button);
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
    if (column >= 0 && row >= 0 && column < board.columns && row < board.rows && board.marks[column][row] == 1)
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

bool is_pointer_button_3(const EventContext& context) { return context.event.xbutton.button == Button3; }
bool is_game_over(const EventContext&) { return score_state.game_over == 1; }
bool can_undo(const EventContext& context) {
    return context.state.undo_available == 1 && score_state.game_over != 1;
}
bool is_panel_hidden(const EventContext& context) { return context.state.panel_shown == 0; }
bool is_pressed_in_board(const EventContext& context) { return context.state.pressed_in_board != 0; }
bool is_removal_pending(const EventContext& context) {
    return context.state.pressed_in_board == 1 && score_state.game_over == 0;
}
bool is_button_enabled(const EventContext& context) { return game_ui.buttons[context.button].disabled == 0; }
bool is_close_request(const EventContext& context) {
    const XClientMessageEvent& message = context.event.xclient;
    return message.message_type == game_ui.wm_protocols && message.format == 32 &&
           static_cast<Atom>(message.data.l[0]) == game_ui.wm_delete_window;
}

// Rows of one type are tried from the top; the first that fits runs. So
// pointer button 3 quits before any window is looked at.
const EventRule EVENT_RULES[] = {
    /* type          window                condition             action              */
    {ButtonPress,    ROLE_ANY,             is_pointer_button_3,  quit_game},
    {ButtonPress,    ROLE_BUTTON_QUIT,     nullptr,              quit_game},
    {ButtonPress,    ROLE_BUTTON_NEW_GAME, nullptr,              new_game},
    {ButtonPress,    ROLE_PANEL_BUTTON,    is_game_over,         new_game},
    {ButtonPress,    ROLE_PANEL_BUTTON,    nullptr,              hide_panel},     // "Continue"
    {ButtonPress,    ROLE_BUTTON_UNDO,     can_undo,             undo_removal},
    {ButtonPress,    ROLE_BUTTON_UNDO,     nullptr,              ignore_event},
    {ButtonPress,    ROLE_BUTTON_SIZE,     nullptr,              open_size_menu},
    {ButtonPress,    ROLE_BUTTON_PICTURES, nullptr,              open_pictures_menu},
    {ButtonPress,    ROLE_STATUS,          is_panel_hidden,      show_panel},
    {ButtonPress,    ROLE_STATUS,          nullptr,              hide_panel},
    {ButtonPress,    ROLE_BOARD,           nullptr,              press_board},
    {ButtonPress,    ROLE_ANY,             nullptr,              ignore_event},   // main window, panel
    {ButtonRelease,  ROLE_BOARD,           is_removal_pending,   release_board},
    {ButtonRelease,  ROLE_ANY,             nullptr,              ignore_event},
    {MotionNotify,   ROLE_ANY,             is_pressed_in_board,  ignore_event},   // the pressed cluster stays
    {MotionNotify,   ROLE_ANY,             nullptr,              follow_pointer},
    {EnterNotify,    ROLE_ANY_BUTTON,      is_button_enabled,    frame_button},
    {EnterNotify,    ROLE_ANY_BUTTON,      nullptr,              ignore_event},
    {EnterNotify,    ROLE_PANEL_BUTTON,    nullptr,              frame_panel_button},
    {EnterNotify,    ROLE_BOARD,           is_pressed_in_board,  ignore_event},
    {EnterNotify,    ROLE_BOARD,           nullptr,              follow_pointer},
    {LeaveNotify,    ROLE_ANY_BUTTON,      nullptr,              leave_button},
    {LeaveNotify,    ROLE_PANEL_BUTTON,    nullptr,              leave_panel_button},
    {LeaveNotify,    ROLE_BOARD,           nullptr,              leave_board},
    {Expose,         ROLE_BOARD,           nullptr,              expose_board},
    {Expose,         ROLE_PANEL,           nullptr,              expose_panel},
    {Expose,         ROLE_STATUS,          nullptr,              expose_status},
    {Expose,         ROLE_ANY_BUTTON,      nullptr,              expose_button},
    {ClientMessage,  ROLE_MAIN,            is_close_request,     quit_game},
};

bool window_fits(WindowRole wanted, const EventContext& context) {
    if (wanted == ROLE_ANY) return true;
    if (wanted == ROLE_ANY_BUTTON) return context.button >= 0;
    return wanted == context.role;
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
        update_hover(state);
        XEvent event;
        XNextEvent(display, &event);
        const Outcome outcome = handle_event(event, state);
        XFlush(display);
        if (outcome != Outcome::GO_ON) return outcome;
    }
}

}  // namespace

WindowRole role_of_window(Window window) {
    if (window == None) return ROLE_OTHER;
    if (window == game_ui.board_window) return ROLE_BOARD;
    for (int i = 0; i < NUM_BUTTONS; ++i) {
        if (window == game_ui.button_windows[i]) return static_cast<WindowRole>(ROLE_BUTTON_QUIT + i);
    }
    if (window == game_ui.status_window) return ROLE_STATUS;
    if (window == game_ui.panel_window) return ROLE_PANEL;
    if (window == game_ui.panel_button_window) return ROLE_PANEL_BUTTON;
    if (window == game_ui.main_window) return ROLE_MAIN;
    return ROLE_OTHER;
}

int button_of_role(WindowRole role) {
    if (role < ROLE_BUTTON_QUIT || role > ROLE_BUTTON_PICTURES) return -1;
    return role - ROLE_BUTTON_QUIT;
}

const EventRule* find_event_rule(EventContext& context) {
    for (const EventRule& rule : EVENT_RULES) {
        if (rule.type != context.event.type || !window_fits(rule.window, context)) continue;
        if (rule.condition != nullptr && !rule.condition(context)) continue;
        return &rule;
    }
    return nullptr;
}

bool hover_wants_highlight(const ControllerState& state) {
    const int column = state.pointer_column;
    const int row = state.pointer_row;
    // A queued motion handled after the pointer left, or a drag past the
    // edge, can give a cell beyond the play field: that is no cell.
    if (column < 0 || row < 0 || column >= board.columns || row >= board.rows) return false;
    if (column == state.previous_column && row == state.previous_row) return false;
    return board.marks[column][row] == 0;
}

Outcome quit_game(EventContext&) { return Outcome::QUIT; }
Outcome new_game(EventContext&) { return Outcome::NEW_GAME; }
Outcome ignore_event(EventContext&) { return Outcome::GO_ON; }

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

Outcome frame_button(EventContext& context) {
    draw_button_frame(context.button);
    return Outcome::GO_ON;
}

Outcome frame_panel_button(EventContext&) {
    XSetForeground(x_display.display, game_ui.gc, x_display.black_pixel);
    XDrawRectangle(x_display.display, game_ui.panel_button_window, game_ui.gc, 0, 0, PANEL_BUTTON_WIDTH - 1,
                   PANEL_BUTTON_HEIGHT - 1);
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

Outcome leave_panel_button(EventContext&) {
    draw_panel_button();
    return Outcome::GO_ON;
}

Outcome expose_board(EventContext&) {
    // A burst of exposures costs one repaint of the whole board.
    XEvent queued;
    while (XCheckWindowEvent(x_display.display, game_ui.board_window, ExposureMask, &queued)) {
    }
    if (score_state.game_over == 0) {
        paint_board();
    } else {
        paint_all(TILE_PUSHED);
    }
    return Outcome::GO_ON;
}

Outcome expose_panel(EventContext&) {
    show_score_panel();
    draw_panel_button();
    return Outcome::GO_ON;
}

Outcome expose_status(EventContext&) {
    draw_status_line();
    return Outcome::GO_ON;
}

Outcome expose_button(EventContext& context) {
    draw_button(context.button);
    return Outcome::GO_ON;
}

int run_game(const char* data_dir, const char* score_dir) {
    if (!open_display_and_windows(data_dir, score_dir)) return 0;
    install_cell_painters();
    ControllerState state;
    for (;;) {  // picture level
        // Not even "Head" could be made: there is nothing to play with.
        if (load_picture_set(data_dir) != 0) return 0;
        Outcome outcome = Outcome::GO_ON;
        do {  // size level
            // A new board size the tiles in use are too large for: the set is
            // loaded again, refused for that size, and replaced by "Head".
            if (!tile_size_fits_board(tile_images.tile_width, tile_images.tile_height, board.columns, board.rows)) {
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
