// Which handler the controller picks for an event: hand-built XEvent values
// against the real rule table, with made-up window ids and no display.
// GoogleTest first: Xlib's None macro would break its headers.
#include <gtest/gtest.h>

#include "ui/event_rules.h"

#include "board/board.h"
#include "ui/game_ui.h"

namespace {

constexpr Window MAIN = 0x100;
constexpr Window BOARD = 0x101;
constexpr Window BUTTONS[NUM_BUTTONS] = {0x110, 0x111, 0x112, 0x113, 0x114};
constexpr Window STATUS = 0x120;
constexpr Window PANEL = 0x121;
constexpr Window PANEL_BUTTON = 0x122;
constexpr Window FOREIGN = 0x999;  // a menu, or any window not the controller's

class EventRulesTest : public ::testing::Test {
protected:
    void SetUp() override {
        game_ui = {};
        game_ui.main_window = MAIN;
        game_ui.board_window = BOARD;
        for (int i = 0; i < NUM_BUTTONS; ++i) game_ui.button_windows[i] = BUTTONS[i];
        game_ui.status_window = STATUS;
        game_ui.panel_window = PANEL;
        game_ui.panel_button_window = PANEL_BUTTON;
        game_ui.wm_protocols = 0x300;
        game_ui.wm_delete_window = 0x301;
        score_state = {};
        board.columns = 20;
        board.rows = 10;
        for (auto& column : board.marks) {
            for (auto& mark : column) mark = 0;
        }
        state = ControllerState{};
    }

    static XEvent event(int type, Window window, unsigned button = Button1) {
        XEvent result = {};
        result.type = type;
        result.xany.window = window;
        if (type == ButtonPress || type == ButtonRelease) result.xbutton.button = button;
        return result;
    }

    // The action of the first rule that fits, nullptr when none does.
    EventAction action_for(const XEvent& e) {
        const WindowRole role = role_of_window(e.xany.window);
        EventContext context{e, role, button_of_role(role), state};
        const EventRule* rule = find_event_rule(context);
        return rule != nullptr ? rule->action : nullptr;
    }

    ControllerState state;
};

TEST_F(EventRulesTest, WindowsBecomeRoles) {
    EXPECT_EQ(role_of_window(BOARD), ROLE_BOARD);
    EXPECT_EQ(role_of_window(BUTTONS[BUTTON_UNDO]), ROLE_BUTTON_UNDO);
    EXPECT_EQ(button_of_role(ROLE_BUTTON_PICTURES), BUTTON_PICTURES);
    EXPECT_EQ(button_of_role(ROLE_PANEL_BUTTON), -1);
    EXPECT_EQ(role_of_window(PANEL_BUTTON), ROLE_PANEL_BUTTON);
    EXPECT_EQ(role_of_window(MAIN), ROLE_MAIN);
    EXPECT_EQ(role_of_window(FOREIGN), ROLE_OTHER);
    EXPECT_EQ(role_of_window(None), ROLE_OTHER);
}

TEST_F(EventRulesTest, PointerButton3QuitsFromEveryWindowWhateverTheState) {
    score_state.game_over = 1;
    state.panel_shown = 1;
    state.pressed_in_board = 1;
    game_ui.buttons[BUTTON_UNDO].disabled = 1;
    for (Window window : {MAIN, BOARD, BUTTONS[0], BUTTONS[1], BUTTONS[2], BUTTONS[3], BUTTONS[4], STATUS,
                          PANEL, PANEL_BUTTON, FOREIGN}) {
        EXPECT_EQ(action_for(event(ButtonPress, window, Button3)), quit_game) << window;
    }
    // Only the press: a release of button 3 is no quit.
    EXPECT_NE(action_for(event(ButtonRelease, BOARD, Button3)), quit_game);
}

TEST_F(EventRulesTest, OtherPointerButtonsAllClick) {
    for (unsigned button : {Button1, Button2, Button4, Button5}) {
        EXPECT_EQ(action_for(event(ButtonPress, BOARD, button)), press_board) << button;
        EXPECT_EQ(action_for(event(ButtonPress, BUTTONS[BUTTON_QUIT], button)), quit_game) << button;
    }
}

TEST_F(EventRulesTest, TopButtonPresses) {
    EXPECT_EQ(action_for(event(ButtonPress, BUTTONS[BUTTON_NEW_GAME])), new_game);
    EXPECT_EQ(action_for(event(ButtonPress, BUTTONS[BUTTON_SIZE])), open_size_menu);
    EXPECT_EQ(action_for(event(ButtonPress, BUTTONS[BUTTON_PICTURES])), open_pictures_menu);
    // A press on the main window (or on the panel outside its button) does nothing.
    EXPECT_EQ(action_for(event(ButtonPress, MAIN)), ignore_event);
    EXPECT_EQ(action_for(event(ButtonPress, PANEL)), ignore_event);
}

TEST_F(EventRulesTest, UndoOnlyWhileAvailableAndTheGameRuns) {
    EXPECT_EQ(action_for(event(ButtonPress, BUTTONS[BUTTON_UNDO])), ignore_event);
    state.undo_available = 1;
    EXPECT_EQ(action_for(event(ButtonPress, BUTTONS[BUTTON_UNDO])), undo_removal);
    score_state.game_over = 1;
    EXPECT_EQ(action_for(event(ButtonPress, BUTTONS[BUTTON_UNDO])), ignore_event);
}

TEST_F(EventRulesTest, PanelButtonContinuesOrStartsANewGame) {
    EXPECT_EQ(action_for(event(ButtonPress, PANEL_BUTTON)), hide_panel);
    score_state.game_over = 1;
    EXPECT_EQ(action_for(event(ButtonPress, PANEL_BUTTON)), new_game);
}

TEST_F(EventRulesTest, StatusLineTogglesThePanel) {
    EXPECT_EQ(action_for(event(ButtonPress, STATUS)), show_panel);
    state.panel_shown = 1;
    EXPECT_EQ(action_for(event(ButtonPress, STATUS)), hide_panel);
}

TEST_F(EventRulesTest, ReleaseRemovesOnlyAfterAPressInTheBoardDuringPlay) {
    EXPECT_EQ(action_for(event(ButtonRelease, BOARD)), ignore_event);
    state.pressed_in_board = 1;
    EXPECT_EQ(action_for(event(ButtonRelease, BOARD)), release_board);
    EXPECT_EQ(action_for(event(ButtonRelease, STATUS)), ignore_event);
    score_state.game_over = 1;
    EXPECT_EQ(action_for(event(ButtonRelease, BOARD)), ignore_event);
}

TEST_F(EventRulesTest, MotionIsIgnoredWhileAPressIsHeldInTheBoard) {
    EXPECT_EQ(action_for(event(MotionNotify, BOARD)), follow_pointer);
    EXPECT_EQ(action_for(event(MotionNotify, BUTTONS[BUTTON_SIZE])), follow_pointer);
    EXPECT_EQ(action_for(event(EnterNotify, BOARD)), follow_pointer);
    state.pressed_in_board = 1;
    EXPECT_EQ(action_for(event(MotionNotify, BOARD)), ignore_event);
    EXPECT_EQ(action_for(event(EnterNotify, BOARD)), ignore_event);
}

TEST_F(EventRulesTest, CrossingTheButtons) {
    EXPECT_EQ(action_for(event(EnterNotify, BUTTONS[BUTTON_UNDO])), frame_button);
    game_ui.buttons[BUTTON_UNDO].disabled = 1;
    EXPECT_EQ(action_for(event(EnterNotify, BUTTONS[BUTTON_UNDO])), ignore_event);
    EXPECT_EQ(action_for(event(EnterNotify, BUTTONS[BUTTON_QUIT])), frame_button);
    EXPECT_EQ(action_for(event(LeaveNotify, BUTTONS[BUTTON_UNDO])), leave_button);
    EXPECT_EQ(action_for(event(EnterNotify, PANEL_BUTTON)), frame_panel_button);
    EXPECT_EQ(action_for(event(LeaveNotify, PANEL_BUTTON)), leave_panel_button);
    EXPECT_EQ(action_for(event(LeaveNotify, BOARD)), leave_board);
}

TEST_F(EventRulesTest, ExposuresRedrawTheirOwnWindow) {
    EXPECT_EQ(action_for(event(Expose, BOARD)), expose_board);
    EXPECT_EQ(action_for(event(Expose, PANEL)), expose_panel);
    EXPECT_EQ(action_for(event(Expose, STATUS)), expose_status);
    EXPECT_EQ(action_for(event(Expose, BUTTONS[BUTTON_PICTURES])), expose_button);
    EXPECT_EQ(action_for(event(Expose, FOREIGN)), nullptr);
    EXPECT_EQ(action_for(event(NoExpose, BOARD)), nullptr);
}

TEST_F(EventRulesTest, OnlyTheWindowManagersCloseRequestQuits) {
    XEvent close = event(ClientMessage, MAIN);
    close.xclient.message_type = game_ui.wm_protocols;
    close.xclient.format = 32;
    close.xclient.data.l[0] = static_cast<long>(game_ui.wm_delete_window);
    EXPECT_EQ(action_for(close), quit_game);
    XEvent other = close;
    other.xclient.data.l[0] = 0x555;  // another protocol, such as a ping
    EXPECT_EQ(action_for(other), nullptr);
}

class HoverTest : public EventRulesTest {};

TEST_F(HoverTest, HighlightsANewUnmarkedCellOfThePlayField) {
    state.pointer_column = 3;
    state.pointer_row = 4;
    EXPECT_TRUE(hover_wants_highlight(state));
    state.previous_column = 3;
    state.previous_row = 4;
    EXPECT_FALSE(hover_wants_highlight(state));  // the same cell as before
    state.previous_row = -1;
    board.marks[3][4] = 1;
    EXPECT_FALSE(hover_wants_highlight(state));  // already in the highlighted cluster
}

TEST_F(HoverTest, ACellOutsideThePlayFieldIsNoCell) {
    state.pointer_column = -1;
    state.pointer_row = 2;
    EXPECT_FALSE(hover_wants_highlight(state));
    state.pointer_column = board.columns;  // just past the last column
    EXPECT_FALSE(hover_wants_highlight(state));
    state.pointer_column = board.columns - 1;
    state.pointer_row = board.rows;  // just below the last row
    EXPECT_FALSE(hover_wants_highlight(state));
    state.pointer_row = board.rows - 1;
    EXPECT_TRUE(hover_wants_highlight(state));
}

}  // namespace
