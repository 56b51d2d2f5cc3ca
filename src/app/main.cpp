// main.cpp: the whole life of the process, start reading here: take the
// command line, read the settings, play until the player quits, write the
// settings back. It owns no game state; the board size and the picture
// choice pass through it to the game and back. It also owns the exit
// policy: every way out ends with status 0, the settings written when the
// game ran (also when the display is lost), except a group privilege that
// cannot be dropped, which ends the process with status 1 before anything
// else happens. The score keeper is split off first and ends with it.
#include <X11/Xlib.h>
#include <cstdlib>
#include <cstring>

#include "app/data_dir.h"
#include "app/game_journal.h"
#include "app/settings.h"
#include "base/privileges.h"
#include "base/report.h"
#include "base/version.h"
#include "board/board.h"
#include "pictures/picture_choice.h"
#include "scores/score_keeper.h"
#include "ui/controller.h"
#include "ui/game_ui.h"

namespace {

// Arguments come in "-display NAME" pairs; a later pair wins. False on
// anything else, before any of it is acted on.
bool take_command_line(int argc, char** argv) {
    for (int i = 1; i < argc; i += 2) {
        if (std::strcmp(argv[i], "-display") != 0 || i + 1 >= argc) return false;
        display_name = argv[i + 1];
    }
    return true;
}

[[noreturn]] void print_usage_and_exit(const char* program_path) {
    const char* slash = std::strrchr(program_path, '/');
    const char* program_name = slash != nullptr ? slash + 1 : program_path;
    report_output(format_message("%s version %s\n", CLUMPOUT_TITLE, CLUMPOUT_VERSION));
    report_output(format_message("Usage: %s [-display ???:?.?]\n", program_name));
    std::exit(0);
}

// A lost connection (the server going away, or a window manager that kills
// the client) would otherwise end the process inside Xlib with the player's
// board size and picture choice unsaved.
[[noreturn]] int keep_settings_and_exit(Display*) {
    write_settings(board.columns, board.rows, pictures_number());
    std::exit(0);
}

}  // namespace

int main(int argc, char** argv) {
    // Only the keeper keeps the group the game may be installed with; this
    // process, which reads the player's files and talks to the X server,
    // gives it up for good before it does either.
    start_score_keeper(DATA_DIR);
    std::atexit(stop_score_keeper);
    if (drop_group_privilege() != 0) std::exit(1);
    if (!take_command_line(argc, argv)) print_usage_and_exit(argc > 0 && argv[0] != nullptr ? argv[0] : "clumpout");

    int pictures = 0;
    read_settings(&board.columns, &board.rows, &pictures);
    choose_pictures_number(pictures);
    take_deal_choice();
    keep_journal();
    XSetIOErrorHandler(keep_settings_and_exit);
    run_game(DATA_DIR);
    write_settings(board.columns, board.rows, pictures_number());
    std::exit(0);
}
