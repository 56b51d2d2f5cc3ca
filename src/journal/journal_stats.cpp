// journal_stats.cpp: the summary of a journal. Only lines that verify count:
// a line the rules do not bear out says nothing about how the player plays.
#include "journal/journal_stats.h"

#include <algorithm>
#include <map>
#include <utility>

#include "journal/journal_replay.h"

namespace {

using Games = std::vector<const JournalRecord*>;

// One row per board size, smaller boards first; the best rank only for
// games that were offered to the shared table.
std::string size_table(const Games& games, bool with_rank) {
    std::map<std::pair<int, int>, Games> by_size;
    for (const JournalRecord* game : games) by_size[{game->columns * game->rows, game->columns}].push_back(game);

    std::string text = with_rank ? "size   games  cleared   best     mean  median  best rank\n"
                                 : "size   games  cleared   best     mean  median\n";
    for (const auto& [key, sized] : by_size) {
        std::vector<int> totals;
        int cleared = 0, best_rank = 0;
        long long sum = 0;
        for (const JournalRecord* game : sized) {
            totals.push_back(game->total);
            sum += game->total;
            if (game->rests == 0) ++cleared;
            if (game->rank > 0 && (best_rank == 0 || game->rank < best_rank)) best_rank = game->rank;
        }
        std::sort(totals.begin(), totals.end());
        const std::size_t n = totals.size();
        const double median = n % 2 ? totals[n / 2] : (totals[n / 2 - 1] + static_cast<double>(totals[n / 2])) / 2;
        const std::string size = std::to_string(sized[0]->columns) + "x" + std::to_string(sized[0]->rows);
        text += format_message("%-6s %5zu  %7d  %5d  %7.1f  %6.1f", size.c_str(), n, cleared, totals.back(),
                               static_cast<double>(sum) / static_cast<double>(n), median);
        text += with_rank ? format_message("  %9s\n", best_rank > 0 ? std::to_string(best_rank).c_str() : "-") : "\n";
    }
    return text;
}

}  // namespace

std::string journal_stats_text(const std::vector<JournalRecord>& records) {
    Games played, replayed, counted;
    for (const JournalRecord& record : records) {
        if (verify_journal_record(record).verdict != Verdict::OK) continue;
        (record.rank == JOURNAL_RANK_REPLAY ? replayed : played).push_back(&record);
        counted.push_back(&record);
    }
    const std::size_t unverified = records.size() - counted.size();
    const std::string not_counted =
        unverified == 0 ? ""
                        : format_message("%zu %s not counted: %s not verify (clumpout-journal verify says why)\n",
                                         unverified, unverified == 1 ? "line" : "lines",
                                         unverified == 1 ? "it does" : "they do");
    if (counted.empty()) return "no games in the journal\n" + not_counted;

    std::string text = played.empty() ? "" : size_table(played, true);
    if (!replayed.empty()) text += (played.empty() ? "" : "\n") + std::string("replayed deals:\n") + size_table(replayed, false);

    text += "\nlast games:\n line  time                  size   moves  total  rank\n";
    const std::size_t first = counted.size() > JOURNAL_LAST_GAMES ? counted.size() - JOURNAL_LAST_GAMES : 0;
    for (std::size_t i = first; i < counted.size(); ++i) {
        const JournalRecord& game = *counted[i];
        const std::string size = std::to_string(game.columns) + "x" + std::to_string(game.rows);
        text += format_message("%5d  %s  %-6s %5d  %5d  %s\n", game.line_number,
                               format_journal_time(game.when).c_str(), size.c_str(), game.moves, game.total,
                               journal_rank_text(game.rank).c_str());
    }
    return text + not_counted;
}
