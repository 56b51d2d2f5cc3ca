// main.cpp: the whole life of the process, start reading here: take the
// command line, read the settings, play until the player quits, write the
// settings back. It owns no game state; the board size and the picture
// choice pass through it to the game and back. Every way out is exit(0).
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/data_dir.h"
#include "base/privileges.h"
#include "app/settings.h"
#include "board/board.h"
#include "pictures/picture_choice.h"
#include "ui/controller.h"
#include "ui/game_ui.h"

namespace {

constexpr const char* TITLE = "Clumpout";
constexpr const char* VERSION = "3.02";

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
    std::printf("%s version %s\n", TITLE, VERSION);
    std::printf("Usage: %s [-display ???:?.?]\n", program_name);
    std::exit(0);
}

}  // namespace

int main(int argc, char** argv) {
    drop_group_privilege();
    if (!take_command_line(argc, argv)) print_usage_and_exit(argc > 0 && argv[0] != nullptr ? argv[0] : "clumpout");

    read_settings(&board.columns, &board.rows, &picture_index);
    run_game(DATA_DIR);
    write_settings(board.columns, board.rows, pictures_number());
    std::exit(0);
}
