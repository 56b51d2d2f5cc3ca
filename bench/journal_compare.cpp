// journal_compare.cpp: the journal tool's search against a greedy player
// (always the largest cluster), on random deals of each standard size, and
// a generator of journals to time the tool on.
// Usage: journal_compare compare DEALS_PER_SIZE SECONDS [FIRST_SEED]
//        journal_compare generate GAMES FILE
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/journal_games.h"
#include "board/board_sizes.h"
#include "journal/journal_search.h"

namespace {

int compare(int deals, double seconds, unsigned first_seed) {
    std::printf("size   deals  greedy mean  best mean  beats greedy  mean gain  max gain  cleared(best)  "
                "cleared(greedy)  proven uncleared  mean level\n");
    for (const BoardSize& size : BOARD_SIZES) {
        int beats = 0, cleared = 0, greedy_cleared = 0, impossible = 0;
        long gain_sum = 0, greedy_sum = 0, best_sum = 0, level_sum = 0;
        int gain_max = 0;
        for (int i = 0; i < deals; ++i) {
            JournalRecord deal;
            deal.deal = first_seed + static_cast<unsigned>(i);
            deal.columns = size.columns;
            deal.rows = size.rows;
            const std::vector<JournalMove> greedy = greedy_line(deal);
            const int greedy_total = line_total(deal, greedy, nullptr);
            greedy_cleared += score_state.rests == 0;
            deal.play = greedy;  // the line to beat
            const SearchResult result = search_better_line(deal, seconds, deal.deal);
            const int gain = result.best_total - greedy_total;
            greedy_sum += greedy_total;
            best_sum += result.best_total;
            level_sum += result.level;
            beats += gain > 0;
            gain_sum += gain;
            if (gain > gain_max) gain_max = gain;
            cleared += result.clearing == Clearing::CLEARED;
            impossible += result.clearing == Clearing::IMPOSSIBLE;
        }
        std::printf("%2dx%-2d  %5d  %11.1f  %9.1f  %12d  %9.1f  %8d  %13d  %15d  %16d  %10.1f\n", size.columns,
                    size.rows, deals, static_cast<double>(greedy_sum) / deals, static_cast<double>(best_sum) / deals,
                    beats, static_cast<double>(gain_sum) / deals, gain_max, cleared, greedy_cleared, impossible,
                    static_cast<double>(level_sum) / deals);
        std::fflush(stdout);
    }
    return 0;
}

int generate(int games, const char* path) {
    FILE* file = std::fopen(path, "w");
    if (!file) return 1;
    for (const JournalRecord& game : random_games(games, 1000)) {
        const std::string line = format_journal_line(game);
        std::fwrite(line.data(), 1, line.size(), file);
    }
    return std::fclose(file) == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "compare" && (argc == 4 || argc == 5))
        return compare(std::atoi(argv[2]), std::atof(argv[3]),
                       argc == 5 ? static_cast<unsigned>(std::strtoul(argv[4], nullptr, 10)) : 1);
    if (command == "generate" && argc == 4) return generate(std::atoi(argv[2]), argv[3]);
    std::fputs("usage: journal_compare compare DEALS_PER_SIZE SECONDS [FIRST_SEED]\n"
               "       journal_compare generate GAMES FILE\n",
               stderr);
    return 2;
}
