// event_rules.cpp: the rule table that picks the handler of an X event, its
// lookup, and the actions that only redraw a window. What an event does to
// the game is in the controller's actions; the drawing itself is done by
// the window drawn (board, buttons, status line, panel).
#include "ui/event_rules.h"

#include "board/board.h"
#include "ui/buttons_menus.h"
#include "ui/cell_paint.h"
#include "ui/game_ui.h"
#include "ui/keyboard.h"
#include "ui/status_panel.h"

namespace {

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
    {KeyPress,       ROLE_ANY,             nullptr,              press_key},      // only with keyboard play
};

bool window_fits(WindowRole wanted, const EventContext& context) {
    if (wanted == ROLE_ANY) return true;
    if (wanted == ROLE_ANY_BUTTON) return context.button >= 0;
    return wanted == context.role;
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

Outcome quit_game(EventContext&) { return Outcome::QUIT; }
Outcome new_game(EventContext&) { return Outcome::NEW_GAME; }
Outcome ignore_event(EventContext&) { return Outcome::GO_ON; }

Outcome frame_button(EventContext& context) {
    draw_button_frame(context.button);
    return Outcome::GO_ON;
}

Outcome frame_panel_button(EventContext&) {
    draw_panel_button_frame();
    return Outcome::GO_ON;
}

Outcome leave_panel_button(EventContext&) {
    draw_panel_button();
    return Outcome::GO_ON;
}

Outcome expose_board(EventContext&) {
    paint_exposed_board();
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
