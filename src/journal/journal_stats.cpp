// journal_stats.cpp: the summary of a journal.
#include "journal/journal_stats.h"

#include <algorithm>
#include <map>
#include <utility>

std::string journal_stats_text(const std::vector<JournalRecord>& records) {
    if (records.empty()) return "no games in the journal\n";
    // Smaller boards first.
    std::map<std::pair<int, int>, std::vector<const JournalRecord*>> by_size;
    for (const JournalRecord& record : records)
        by_size[{record.columns * record.rows, record.columns}].push_back(&record);

    std::string text = "size   games  cleared   best     mean  median  best rank\n";
    for (const auto& [key, games] : by_size) {
        std::vector<int> totals;
        int cleared = 0, best_rank = 0;
        long long sum = 0;
        for (const JournalRecord* game : games) {
            totals.push_back(game->total);
            sum += game->total;
            if (game->rests == 0) ++cleared;
            if (game->rank > 0 && (best_rank == 0 || game->rank < best_rank)) best_rank = game->rank;
        }
        std::sort(totals.begin(), totals.end());
        const std::size_t n = totals.size();
        const double median = n % 2 ? totals[n / 2] : (totals[n / 2 - 1] + static_cast<double>(totals[n / 2])) / 2;
        const std::string size = std::to_string(games[0]->columns) + "x" + std::to_string(games[0]->rows);
        text += format_message("%-6s %5zu  %7d  %5d  %7.1f  %6.1f  %9s\n", size.c_str(), n, cleared, totals.back(),
                               static_cast<double>(sum) / static_cast<double>(n), median,
                               best_rank > 0 ? std::to_string(best_rank).c_str() : "-");
    }

    text += "\nlast games:\n line  time                  size   moves  total  rank\n";
    const std::size_t first = records.size() > JOURNAL_LAST_GAMES ? records.size() - JOURNAL_LAST_GAMES : 0;
    for (std::size_t i = first; i < records.size(); ++i) {
        const JournalRecord& game = records[i];
        const std::string size = std::to_string(game.columns) + "x" + std::to_string(game.rows);
        text += format_message("%5d  %s  %-6s %5d  %5d  %s\n", game.line_number,
                               format_journal_time(game.when).c_str(), size.c_str(), game.moves, game.total,
                               journal_rank_text(game.rank).c_str());
    }
    return text;
}
