// journal_replay.cpp: replaying and checking journal lines through the rules.
#include "journal/journal_replay.h"

#include "board/board.h"
#include "board/rules.h"

int play_journal_move(JournalMove move) {
    if (!in_play_field(move.column, move.row)) return -1;
    if (!has_same_neighbour(move.column, move.row)) return -1;
    // What highlight_cluster does, less its unmark_all: between moves no
    // mark is left (a deal clears them, and so does every removal), and that
    // scan of the whole board was the larger part of a replay's time.
    mark_cluster(move.column, move.row);
    return remove_marked();
}

ReplayOutcome replay_journal_record(const JournalRecord& record) {
    deal_board_of_size(record.columns, record.rows, record.deal);
    ReplayOutcome outcome;
    for (const JournalMove& move : record.play) {
        if (play_journal_move(move) < 0) {
            outcome.unfit_move = outcome.moves;
            break;
        }
        ++outcome.moves;
    }
    outcome.gets = score_state.gets;
    outcome.rests = score_state.rests;
    outcome.game_over = !any_move_left();
    return outcome;
}

Verification verify_journal_record(const JournalRecord& record) {
    const ReplayOutcome outcome = replay_journal_record(record);
    const int line = record.line_number;
    if (outcome.unfit_move >= 0) {
        const JournalMove& move = record.play[static_cast<std::size_t>(outcome.unfit_move)];
        return {Verdict::UNCHECKED,
                format_message("line %d: cannot be checked: move %d (%d,%d) removes nothing on the board "
                               "dealt from %u; deals come from the C library's rand, so the line may come "
                               "from another system\n",
                               line, outcome.unfit_move + 1, move.column, move.row, record.deal)};
    }
    const int total = outcome.gets - outcome.rests;
    std::string differences;
    const auto compare = [&differences](const char* name, int written, int replayed) {
        if (written == replayed) return;
        differences += format_message("%s%s %d written, %d by the rules", differences.empty() ? "" : "; ",
                                      name, written, replayed);
    };
    compare("moves", record.moves, outcome.moves);
    compare("gets", record.gets, outcome.gets);
    compare("rests", record.rests, outcome.rests);
    compare("total", record.total, total);
    if (!outcome.game_over) differences += differences.empty() ? "a move is left" : "; a move is left";
    if (!differences.empty())
        return {Verdict::MISMATCH, format_message("line %d: MISMATCH: %s\n", line, differences.c_str())};
    return {Verdict::OK, format_message("line %d: ok: %d moves, gets %d, rests %d, total %d\n", line,
                                        outcome.moves, outcome.gets, outcome.rests, total)};
}

std::vector<std::string> board_text_rows() {
    std::vector<std::string> rows;
    for (int r = 0; r < board.rows; ++r) {
        std::string text;
        for (int c = 0; c < board.columns; ++c) {
            const int cell = board.cells[c][r];
            text += cell == 0 ? '.' : static_cast<char>('0' + cell);
        }
        rows.push_back(text);
    }
    return rows;
}
