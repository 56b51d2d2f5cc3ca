// journal_games.h: games for the journal benchmarks, dealt and played
// through the real rules by a random player, so their lines verify.
#pragma once

#include <random>
#include <vector>

#include "board/board.h"
#include "board/board_sizes.h"
#include "journal/journal_line.h"
#include "journal/journal_replay.h"

// Deals `seed` at the given size and plays random moves to the end.
inline JournalRecord random_game(unsigned seed, int columns, int rows, std::minstd_rand& random) {
    board.columns = columns;
    board.rows = rows;
    deal_board_seeded(seed);
    JournalRecord record;
    record.when = 1765290605 + seed % 1000000;
    record.deal = seed;
    record.columns = columns;
    record.rows = rows;
    record.set = "Head";
    std::vector<JournalMove> movable;
    while (any_move_left()) {
        movable.clear();
        for (int c = 0; c < columns; ++c)
            for (int r = 0; r < rows; ++r)
                if (has_same_neighbour(c, r)) movable.push_back({c, r});
        const JournalMove move = movable[random() % movable.size()];
        play_journal_move(move);
        record.play.push_back(move);
    }
    record.moves = static_cast<int>(record.play.size());
    record.gets = score_state.gets;
    record.rests = score_state.rests;
    record.total = record.gets - record.rests;
    record.rank = JOURNAL_RANK_NONE;
    return record;
}

// `count` games, the four standard sizes in turn.
inline std::vector<JournalRecord> random_games(int count, unsigned first_seed) {
    std::minstd_rand random(first_seed);
    std::vector<JournalRecord> games;
    for (int i = 0; i < count; ++i) {
        const BoardSize& size = BOARD_SIZES[static_cast<std::size_t>(i) % BOARD_SIZES.size()];
        games.push_back(random_game(first_seed + static_cast<unsigned>(i), size.columns, size.rows, random));
    }
    return games;
}
