// event_rules.h: how the controller picks the handler of an X event: the
// event's window becomes a role, then the first matching row of the rule
// table runs. Actions report what the controller must do next as a code, so
// no handler restarts a level of the game from inside.
#pragma once

#include <X11/Xlib.h>

// The controller's own state, reset at every new game and every undo.
struct ControllerState {
    int pointer_column = -1;  // the board cell under the pointer; -1: none
    int pointer_row = -1;
    int previous_column = -1;  // the pointer cell before the event just handled
    int previous_row = -1;
    int pressed_in_board = 0;  // a press in the board awaits its removal step
    int undo_available = 0;    // == !game_ui.buttons[BUTTON_UNDO].disabled
    int panel_shown = 0;       // the controller has the score panel mapped
};

enum class Outcome {
    GO_ON,            // wait for the next event
    QUIT,             // leave run_game
    NEW_GAME,         // deal again
    RELOAD_PICTURES,  // free the images, load the chosen set, resize, deal
    RESIZE,           // fit the windows to the new size, deal
};

enum WindowRole {
    ROLE_ANY,  // in a rule: any window
    ROLE_ANY_BUTTON,  // in a rule: any of the five top buttons
    ROLE_BUTTON_QUIT,  // the five top buttons, in button index order
    ROLE_BUTTON_NEW_GAME,
    ROLE_BUTTON_UNDO,
    ROLE_BUTTON_SIZE,
    ROLE_BUTTON_PICTURES,
    ROLE_BOARD,
    ROLE_STATUS,
    ROLE_PANEL,
    ROLE_PANEL_BUTTON,
    ROLE_MAIN,
    ROLE_OTHER,
};

struct EventContext {
    const XEvent& event;
    WindowRole role;
    int button;  // top button index for the button roles, else -1
    ControllerState& state;
};

using EventAction = Outcome (*)(EventContext&);

struct EventRule {
    int type;
    WindowRole window;
    bool (*condition)(const EventContext&);  // nullptr: always
    EventAction action;
};

WindowRole role_of_window(Window window);
// The top button index of a button role, -1 for every other role.
int button_of_role(WindowRole role);

// The first rule for the event's type whose window and condition fit, or
// nullptr when no rule does (the event is then ignored).
const EventRule* find_event_rule(EventContext& context);

// The actions of the table, named for the tests that check which one runs:
// those that only redraw are event_rules.cpp's, the rest the controller's.
Outcome quit_game(EventContext&);
Outcome new_game(EventContext&);
Outcome undo_removal(EventContext&);
Outcome open_size_menu(EventContext&);
Outcome open_pictures_menu(EventContext&);
Outcome show_panel(EventContext&);
Outcome hide_panel(EventContext&);
Outcome press_board(EventContext&);
Outcome release_board(EventContext&);
Outcome follow_pointer(EventContext&);
Outcome frame_button(EventContext&);
Outcome frame_panel_button(EventContext&);
Outcome leave_button(EventContext&);
Outcome leave_panel_button(EventContext&);
Outcome leave_board(EventContext&);
Outcome expose_board(EventContext&);
Outcome expose_panel(EventContext&);
Outcome expose_status(EventContext&);
Outcome expose_button(EventContext&);
Outcome ignore_event(EventContext&);

// The hover step's test: the pointer is on a cell of the play field, a
// different one than before, and not one of the highlighted cluster.
bool hover_wants_highlight(const ControllerState& state);
