// keyboard.h: playing by keys, when the player asks for it with the X
// resource clumpout.keyboard. The keys become commands here; on the board a
// cursor stands in for the pointer, and whichever of the two moved last owns
// the highlight. The menus and the chooser read the same commands.
#pragma once

#include <X11/Xlib.h>

#include "ui/event_rules.h"

enum class KeyCommand {
    NONE,
    LEFT,
    RIGHT,
    UP,
    DOWN,
    ACTIVATE,       // Return, Enter, space
    CANCEL,         // Escape
    PAGE_UP,
    PAGE_DOWN,
    UNDO,           // u, Ctrl+Z
    NEW_GAME,       // n
    QUIT,           // q, Ctrl+Q
    SIZE_MENU,      // s
    PICTURES_MENU,  // p
};

// The command of a key given by its keysym (unshifted) and modifier state.
KeyCommand command_for_key(KeySym key, unsigned modifiers);
KeyCommand command_of_event(const XKeyEvent& event);

// The rule action of a key pressed in the game's main loop.
Outcome press_key(EventContext& context);

// The loop's hooks around its hover step: while the keyboard owns the
// highlight, the cursor's cell is the one highlighted, and the cursor is
// drawn over it.
void follow_keyboard_cursor(ControllerState& state);
void draw_keyboard_cursor();
// The pointer moved in the board: it owns the highlight from now on.
void pointer_moved_in_board();
