// journal_search.cpp: the search behind `clumpout-journal best`.
//
// Better lines come from nested Monte Carlo search: T. Cazenave, "Nested
// Monte-Carlo Search", IJCAI 2009, which reported it on this very family of
// puzzles. A level-0 search is one random playout; a level-n search plays a
// whole game, choosing at each step the move whose level-(n-1) search gave
// the best total, and remembers the best line so far so it never falls back.
// Playouts avoid the tabu colour, the most frequent colour when the playout
// starts, while any other move is left (the policy of Cazenave's paper, after
// Schadd et al., "Single-Player Monte-Carlo Tree Search", CG 2008), so that
// colour has a chance to grow into one large cluster.
//
// Whether the board can be cleared is a separate, exhaustive depth-first
// search with a table of positions already known not to clear; only when it
// ends within its time is the answer "cannot be cleared".
//
// Everything plays on the module-level board through play_journal_move, so
// the lines found are exactly what the game would do with them.
#include "journal/journal_search.h"

#include <algorithm>
#include <chrono>
#include <span>
#include <unordered_set>

#include "board/board.h"
#include "journal/journal_replay.h"

namespace {

using Clock = std::chrono::steady_clock;

// splitmix64: small, fast and good enough to pick moves and Zobrist keys.
class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed) {}
    std::uint64_t next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    int below(int n) { return static_cast<int>(next() % static_cast<std::uint64_t>(n)); }

private:
    std::uint64_t state_;
};

JournalMove cell_of(const Cluster& cluster) { return {cluster.column, cluster.row}; }

int current_total() { return score_state.gets - score_state.rests; }

// Every move the search plays, counted for its moves per second.
long moves_played = 0;
void play(JournalMove move) {
    ++moves_played;
    play_journal_move(move);
}

struct Position {
    Board board;
    ScoreState score;
};

Position save_position() { return {board, score_state}; }
void restore_position(const Position& p) {
    board = p.board;
    score_state = p.score;
}

void deal_of(const JournalRecord& record) { deal_board_of_size(record.columns, record.rows, record.deal); }

// ---- nested Monte Carlo search ----------------------------------------------

class NestedSearch {
public:
    NestedSearch(Clock::time_point deadline, std::uint64_t seed) : deadline_(deadline), random_(seed) {}

    // A finished line known from the root (the player's, the greedy player's).
    void consider(int total, const std::vector<JournalMove>& line) {
        if (total > best_total_) {
            best_total_ = total;
            best_line_ = line;
        }
    }

    // One level-n search from the root, seeded with the best line so far.
    bool run_level(int level) {
        std::vector<JournalMove> line = best_line_;
        int total = best_total_;
        nested(level, line, total);
        return !out_of_time_;
    }

    bool out_of_time() const { return out_of_time_; }
    int best_total() const { return best_total_; }
    const std::vector<JournalMove>& best_line() const { return best_line_; }
    long playouts() const { return playouts_; }

private:
    static constexpr int NO_TOTAL = -(1 << 30);

    // From the current position: the best total found and its line (from
    // this position). `line` and `total` come in as a line to start from.
    void nested(int level, std::vector<JournalMove>& line, int& total) {
        const Position start = save_position();
        const std::size_t depth = path_.size();
        std::size_t followed = 0;
        Cluster clusters[MAX_CLUSTERS];
        for (;;) {
            const int count = list_clusters(clusters);
            if (count == 0) {
                // A search that starts at the end has found that end.
                if (followed == 0 && total == NO_TOTAL) total = game_end(line);
                break;
            }
            const Position here = save_position();
            for (int i = 0; i < count && !out_of_time_; ++i) {
                play(cell_of(clusters[i]));
                path_.push_back(cell_of(clusters[i]));
                std::vector<JournalMove> tail;
                int tail_total = NO_TOTAL;
                if (level <= 1)
                    tail_total = playout(tail);
                else
                    nested(level - 1, tail, tail_total);
                path_.pop_back();
                restore_position(here);
                if (tail_total > total) {
                    total = tail_total;
                    line.resize(followed);
                    line.push_back(cell_of(clusters[i]));
                    line.insert(line.end(), tail.begin(), tail.end());
                }
            }
            if (out_of_time_ || followed >= line.size()) break;
            play(line[followed]);
            path_.push_back(line[followed]);
            ++followed;
        }
        path_.resize(depth);
        restore_position(start);
    }

    // The total of the finished game at the current position, whose line is
    // path_ and then `tail`; the best line so far when it beats it.
    int game_end(const std::vector<JournalMove>& tail) {
        const int total = current_total();
        if (total > best_total_) {
            best_total_ = total;
            best_line_ = path_;
            best_line_.insert(best_line_.end(), tail.begin(), tail.end());
        }
        return total;
    }

    // A random game to its end from the current position (left at its end).
    int playout(std::vector<JournalMove>& tail) {
        if (Clock::now() >= deadline_) {
            out_of_time_ = true;
            return NO_TOTAL;
        }
        ++playouts_;
        int tiles[NUM_COLOURS + 1] = {};
        for (int c = 0; c < board.columns; ++c)
            for (int r = 0; r < board.rows; ++r) ++tiles[board.cells[c][r]];
        int tabu = 1;
        for (int colour = 2; colour <= NUM_COLOURS; ++colour)
            if (tiles[colour] > tiles[tabu]) tabu = colour;

        Cluster clusters[MAX_CLUSTERS];
        Cluster allowed[MAX_CLUSTERS];
        for (;;) {
            const int count = list_clusters(clusters);
            if (count == 0) break;
            int choices = 0;
            for (int i = 0; i < count; ++i)
                if (clusters[i].colour != tabu) allowed[choices++] = clusters[i];
            const Cluster& pick = choices > 0 ? allowed[random_.below(choices)] : clusters[random_.below(count)];
            play(cell_of(pick));
            tail.push_back(cell_of(pick));
        }
        return game_end(tail);
    }

    Clock::time_point deadline_;
    Random random_;
    std::vector<JournalMove> path_;  // from the root to the current position
    std::vector<JournalMove> best_line_;
    int best_total_ = NO_TOTAL;
    long playouts_ = 0;
    bool out_of_time_ = false;
};

// ---- can the board be cleared? ------------------------------------------------

class ClearingSearch {
public:
    // More positions than this and the answer is "unknown": the table would
    // outgrow a reasonable share of memory.
    static constexpr std::size_t MAX_POSITIONS = 2'000'000;

    ClearingSearch(Clock::time_point deadline, std::uint64_t seed)
        : deadline_(deadline), saved_(MAX_JOURNAL_MOVES + 1), clusters_(MAX_JOURNAL_MOVES + 1) {
        Random random(seed ^ 0x5EED);
        for (auto& column : keys_)
            for (auto& row : column)
                for (auto& key : row) key = random.next();
    }

    // CLEARED with `line`, IMPOSSIBLE after an exhaustive search, or UNKNOWN.
    Clearing run(std::vector<JournalMove>& line) {
        path_.clear();
        const int found = clears();
        if (found == 1) {
            line = path_;
            return Clearing::CLEARED;
        }
        return found == 0 ? Clearing::IMPOSSIBLE : Clearing::UNKNOWN;
    }

private:
    // 1 clears (path_ holds the line), 0 cannot, -1 gave up.
    int clears() {
        if (board_cleared()) return 1;
        if (Clock::now() >= deadline_ || dead_.size() >= MAX_POSITIONS) return -1;
        // A colour with a single tile can never be removed.
        int tiles[NUM_COLOURS + 1] = {};
        for (int c = 0; c < board.columns; ++c)
            for (int r = 0; r < board.rows; ++r) ++tiles[board.cells[c][r]];
        for (int colour = 1; colour <= NUM_COLOURS; ++colour)
            if (tiles[colour] == 1) return 0;
        const std::uint64_t key = position_key();
        if (dead_.count(key) != 0) return 0;

        // The search goes one move deeper per call, up to 300 moves: its
        // positions and cluster lists live on the heap, one per depth.
        const std::size_t depth = path_.size();
        std::vector<Cluster>& clusters = clusters_[depth];
        clusters.resize(MAX_CLUSTERS);
        const int count = list_clusters(std::span<Cluster, MAX_CLUSTERS>(clusters.data(), MAX_CLUSTERS));
        // Large clusters first: they lead to a clear board soonest.
        std::sort(clusters.begin(), clusters.begin() + count,
                  [](const Cluster& a, const Cluster& b) { return a.size > b.size; });
        saved_[depth] = save_position();
        const Position& here = saved_[depth];
        for (int i = 0; i < count; ++i) {
            play(cell_of(clusters[i]));
            path_.push_back(cell_of(clusters[i]));
            const int found = clears();
            if (found == 1) return 1;
            path_.pop_back();
            restore_position(here);
            if (found < 0) return -1;
        }
        // A 64-bit key stands for the position; a collision, one in about
        // 2^64 / positions, could wrongly call a position dead.
        dead_.insert(key);
        return 0;
    }

    std::uint64_t position_key() const {
        std::uint64_t key = 0;
        for (int c = 0; c < board.columns; ++c)
            for (int r = 0; r < board.rows; ++r) key ^= keys_[c][r][board.cells[c][r]];
        return key;
    }

    Clock::time_point deadline_;
    std::uint64_t keys_[MAX_COLUMNS][MAX_ROWS][NUM_COLOURS + 1];
    std::unordered_set<std::uint64_t> dead_;
    std::vector<JournalMove> path_;
    std::vector<Position> saved_;
    std::vector<std::vector<Cluster>> clusters_;
};

}  // namespace

int line_total(const JournalRecord& deal, const std::vector<JournalMove>& line, bool* fits) {
    JournalRecord replayed = deal;
    replayed.play = line;
    const ReplayOutcome outcome = replay_journal_record(replayed);
    if (fits) *fits = outcome.unfit_move < 0;
    return outcome.gets - outcome.rests;
}

std::vector<JournalMove> greedy_line(const JournalRecord& deal) {
    deal_of(deal);
    std::vector<JournalMove> line;
    Cluster clusters[MAX_CLUSTERS];
    for (;;) {
        const int count = list_clusters(clusters);
        if (count == 0) break;
        const Cluster* largest = &clusters[0];
        for (int i = 1; i < count; ++i)
            if (clusters[i].size > largest->size) largest = &clusters[i];
        play(cell_of(*largest));
        line.push_back(cell_of(*largest));
    }
    return line;
}

SearchResult search_better_line(const JournalRecord& record, double seconds, std::uint64_t random_seed) {
    const Clock::time_point start = Clock::now();
    moves_played = 0;
    const auto share = [&](double part) {
        return start + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds * part));
    };
    SearchResult result;

    // The line to beat is the player's. Any move raises the total (gets grow
    // or stay, rests fall), so a line that stops short of the game's end (it
    // did not fit the deal) is carried on greedily to a finished game first.
    std::vector<JournalMove> player = record.play;
    result.player_total = line_total(record, player, &result.player_fits);
    if (!result.player_fits) {
        player.clear();
        result.player_total = line_total(record, player, nullptr);
    }
    NestedSearch nested(share(1.0), random_seed);
    {
        std::vector<JournalMove> finished = player;
        Cluster clusters[MAX_CLUSTERS];
        deal_of(record);
        for (const JournalMove& move : player) play(move);
        for (int count; (count = list_clusters(clusters)) > 0;) {
            play(cell_of(clusters[0]));
            finished.push_back(cell_of(clusters[0]));
        }
        nested.consider(current_total(), finished);
    }
    const std::vector<JournalMove> greedy = greedy_line(record);
    nested.consider(line_total(record, greedy, nullptr), greedy);

    // A fifth of the time, at most, for the question of clearing; the
    // remainder and any time it leaves over for better lines.
    deal_of(record);
    ClearingSearch clearing(share(0.2), random_seed);
    result.clearing = clearing.run(result.clearing_line);
    if (result.clearing == Clearing::CLEARED) {
        result.clearing_total = line_total(record, result.clearing_line, nullptr);
        nested.consider(result.clearing_total, result.clearing_line);
    }

    // Each level costs about as many times the last as a position has moves;
    // past the fourth, no real board finishes one in minutes, and the cap
    // keeps a tiny endgame from nesting without end.
    constexpr int MAX_LEVEL = 6;
    for (int level = 1; level <= MAX_LEVEL && Clock::now() < share(1.0); ++level) {
        deal_of(record);
        if (!nested.run_level(level)) break;
        result.level = level;
    }
    result.best = nested.best_line();
    result.best_total = nested.best_total();
    result.playouts = nested.playouts();
    result.moves = moves_played;

    // When the best line clears the board it is the one to show: it beats
    // any other clearing line found, and it may clear a board whose clearing
    // search ran out of time.
    result.best_total = line_total(record, result.best, nullptr);
    if (board_cleared()) {
        result.clearing = Clearing::CLEARED;
        result.clearing_line = result.best;
        result.clearing_total = result.best_total;
    }
    return result;
}
