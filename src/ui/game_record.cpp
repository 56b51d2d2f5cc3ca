// game_record.cpp: the moves and the deal of the game in play.
#include "ui/game_record.h"

#include <optional>
#include <string>

#include "board/board.h"
#include "ui/buttons_menus.h"

GameEndListener game_end_listener = nullptr;

namespace {

std::optional<unsigned> chosen_seed;
bool replay = false;
bool end_noted = false;
std::vector<PlayedCell> moves;
// As dealt: a Size or Pictures choice changes them before an unrecorded
// finished game is told.
unsigned dealt_seed = 0;
int dealt_columns = 0;
int dealt_rows = 0;
std::string dealt_set;

}  // namespace

void choose_first_deal(unsigned seed) { chosen_seed = seed; }

void deal_game() {
    replay = chosen_seed.has_value();
    if (replay) {
        deal_board_seeded(*chosen_seed);
        chosen_seed.reset();
    } else {
        deal_board();
    }
    dealt_seed = deal_seed;
    dealt_columns = board.columns;
    dealt_rows = board.rows;
    dealt_set = current_set_name();
    moves.clear();
    end_noted = false;
}

bool game_is_replay() { return replay; }

void note_removal(PlayedCell cell) { moves.push_back(cell); }

void note_undo() {
    if (!moves.empty()) moves.pop_back();
}

void note_game_end(int table_rank) {
    if (end_noted) return;
    end_noted = true;
    if (game_end_listener == nullptr) return;
    const FinishedGame game{dealt_seed,       dealt_columns,     dealt_rows, dealt_set.c_str(), &moves,
                            score_state.gets, score_state.rests, table_rank, replay};
    game_end_listener(game);
}
