// status_panel.cpp: the running score under the board, the panel's two
// forms (high-score list, score summary) and its button. Knows the score
// state and the high-score calls; when the panel is shown is the
// controller's business.
#include "ui/status_panel.h"

#include <array>
#include <string>

#include "base/report.h"
#include "board/board.h"
#include "scores/score_keeper.h"
#include "ui/event_rules.h"
#include "ui/game_record.h"
#include "ui/game_ui.h"
#include "ui/layout.h"
#include "x11/draw_scale.h"
#include "x11/x_display.h"

int record_failed = 0;

namespace {

void draw_text(Window window, int x, int y, const std::string& text) {
    draw_scaled_string(window, game_ui.gc, x, y, text);
}

void draw_high_score_list(int rank, const std::array<HighScoreEntry, HIGH_SCORE_ROWS>& entries) {
    const Window panel = game_ui.panel_window;
    resize_scaled_window(panel, panel_width, panel_height);
    draw_text(panel, SCORE_TITLE_X, SCORE_TITLE_Y, "*** High Score ***");
    for (int position = 0; position < score_rows_shown; ++position) {
        const int y = SCORE_FIRST_Y + SCORE_ROW_STEP * position;
        draw_text(panel, SCORE_NAME_X, y, score_row_label(position, rank, entries));
        draw_text(panel, SCORE_VALUE_X, y, format_message("%6d", entries[static_cast<std::size_t>(position)].score));
    }
}

void draw_score_summary() {
    const Window panel = game_ui.panel_window;
    const int gets = score_state.gets;
    const int rests = score_state.rests;
    resize_scaled_window(panel, SUMMARY_WIDTH, SUMMARY_HEIGHT);
    draw_text(panel, SUMMARY_TEXT_X, SUMMARY_FIRST_Y, format_message("Gets    %6d", gets));
    draw_text(panel, SUMMARY_TEXT_X, SUMMARY_FIRST_Y + SCORE_ROW_STEP, format_message("Rests   %6d", -rests));
    draw_scaled_hline(panel, game_ui.gc, SUMMARY_RULE_LEFT, SUMMARY_RULE_RIGHT, SUMMARY_RULE_Y);
    draw_text(panel, SUMMARY_TEXT_X, SUMMARY_FIRST_Y + 2 * SCORE_ROW_STEP, format_message("Total   %6d", gets - rests));
}

// The controller's own rules tell a quitting event (button 3, Quit, the
// window manager's close).
Bool is_quit_event(Display*, XEvent* event, XPointer) {
    ControllerState scratch;
    const WindowRole role = role_of_window(event->xany.window);
    EventContext context{*event, role, button_of_role(role), scratch};
    const EventRule* rule = find_event_rule(context);
    return rule != nullptr && rule->action == quit_game ? True : False;
}

// While the keeper stores the result the player may still quit: the
// quitting event ends the wait and goes back on the queue for the
// controller, and the result counts as not recorded.
bool keep_waiting_for_keeper() {
    XEvent event;
    if (!XCheckIfEvent(x_display.display, &event, is_quit_event, nullptr)) return true;
    XPutBackEvent(x_display.display, &event);
    return false;
}

}  // namespace

int draw_status_line() {
    Display* display = x_display.display;
    XSetFont(display, game_ui.gc, game_ui.font);
    XSetForeground(display, game_ui.gc, x_display.black_pixel);
    XSetBackground(display, game_ui.gc, x_display.white_pixel);
    // Not cleared first: the line keeps its length while the numbers fit.
    const std::string text = status_line_text(score_state.gets, score_state.rests);
    draw_scaled_image_string(game_ui.status_window, game_ui.gc, TEXT_X, TEXT_Y, text);
    return 0;
}

PanelContent prepare_score_panel(std::span<HighScoreEntry, HIGH_SCORE_ROWS> entries, const ScoreCalls& calls) {
    int rank = HIGH_SCORE_ROWS;
    // A replayed deal is a practice game: the table never sees it.
    const bool replay_over = score_state.game_over == 1 && game_is_replay();
    if (score_state.game_over == 1 && score_state.recorded == 0 && size_class != -1 && !replay_over) {
        // Offered once per game, even when the attempt fails.
        score_state.recorded = 1;
        rank = calls.record(score_state.gets - score_state.rests, size_class, game_ui.score_dir);
        record_failed = rank == -1 ? 1 : 0;
    }
    // The rank is known now (or there is none): the game's end is told here.
    if (score_state.game_over == 1) note_game_end(rank);
    if (score_state.game_over == 0) record_failed = 0;
    const bool list = !replay_over && rank != -1 && size_class != -1 &&
                      calls.read_row(entries.data(), size_class, game_ui.score_dir) == 0 && record_failed == 0;
    return {list, rank};
}

int show_score_panel() {
    Display* display = x_display.display;
    XSetFont(display, game_ui.gc, game_ui.font);
    XSetForeground(display, game_ui.gc, x_display.black_pixel);
    XSetBackground(display, game_ui.gc, x_display.white_pixel);
    XClearWindow(display, game_ui.panel_window);

    std::array<HighScoreEntry, HIGH_SCORE_ROWS> entries = {};
    set_keeper_wait_hook(ConnectionNumber(display), keep_waiting_for_keeper);
    const PanelContent content = prepare_score_panel(entries, {keeper_record_high_score, keeper_read_high_score_row});
    set_keeper_wait_hook(-1, nullptr);
    if (content.list) {
        draw_high_score_list(content.rank, entries);
    } else {
        draw_score_summary();
    }
    return 0;
}

int draw_panel_button() {
    Display* display = x_display.display;
    XSetFont(display, game_ui.gc, game_ui.font);
    XSetForeground(display, game_ui.gc, x_display.black_pixel);
    XClearWindow(display, game_ui.panel_button_window);
    const char* label = score_state.game_over != 0 ? "New Game" : "Continue";
    draw_scaled_string(game_ui.panel_button_window, game_ui.gc, TEXT_X, TEXT_Y, label);
    return 0;
}

void draw_panel_button_frame() {
    XSetForeground(x_display.display, game_ui.gc, x_display.black_pixel);
    draw_scaled_rectangle(game_ui.panel_button_window, game_ui.gc, 0, 0, PANEL_BUTTON_WIDTH - 1,
                          PANEL_BUTTON_HEIGHT - 1);
}

void map_panel() {
    XMapWindow(x_display.display, game_ui.panel_window);
    XMapSubwindows(x_display.display, game_ui.panel_window);
}

void unmap_panel() {
    XUnmapSubwindows(x_display.display, game_ui.panel_window);
    XUnmapWindow(x_display.display, game_ui.panel_window);
}
