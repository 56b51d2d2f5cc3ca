// journal_bench.cpp: the journal's costs. Verifying a journal of 10,000
// games (reading the text and replaying every line through the rules), and
// what a game's end adds: formatting its line and one appending write.
#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include <benchmark/benchmark.h>

#include "bench/journal_games.h"
#include "journal/journal_line.h"
#include "journal/journal_replay.h"
#include "journal/journal_search.h"

namespace {

constexpr int JOURNAL_GAMES = 10000;

const std::string& journal_text() {
    static const std::string text = [] {
        std::string all;
        for (const JournalRecord& game : random_games(JOURNAL_GAMES, 1000)) all += format_journal_line(game);
        return all;
    }();
    return text;
}

void BM_VerifyJournal(benchmark::State& state) {
    const std::string& text = journal_text();
    for (auto _ : state) {
        Messages messages;
        const std::vector<JournalRecord> records = read_journal(text, messages);
        int ok = 0;
        for (const JournalRecord& record : records) ok += verify_journal_record(record).verdict == Verdict::OK;
        if (ok != JOURNAL_GAMES) state.SkipWithError("a generated game did not verify");
    }
    state.counters["games"] = JOURNAL_GAMES;
    state.counters["bytes"] = static_cast<double>(text.size());
}

// The work a game's end adds with the journal on: the line, and one write
// on a descriptor opened for appending.
void BM_AppendLine(benchmark::State& state) {
    std::minstd_rand random(7);
    const JournalRecord game = random_game(7, 20, 10, random);
    char path[] = "/tmp/clumpout-journal-bench-XXXXXX";
    const int made = mkstemp(path);
    if (made < 0) {
        state.SkipWithError("no temporary file");
        return;
    }
    close(made);
    for (auto _ : state) {
        const std::string line = format_journal_line(game);
        const int fd = open(path, O_WRONLY | O_APPEND | O_CLOEXEC);
        if (fd < 0 || write(fd, line.data(), line.size()) != static_cast<ssize_t>(line.size()))
            state.SkipWithError("append failed");
        if (fd >= 0) close(fd);
    }
    unlink(path);
}

void BM_FormatLine(benchmark::State& state) {
    std::minstd_rand random(7);
    const JournalRecord game = random_game(7, 20, 10, random);
    for (auto _ : state) benchmark::DoNotOptimize(format_journal_line(game));
}

// The search of `clumpout-journal best`: moves played per second, one
// second of search on a fixed deal of each standard size.
void BM_SearchBetterLine(benchmark::State& state) {
    JournalRecord deal;
    deal.deal = 1;
    deal.columns = static_cast<int>(state.range(0));
    deal.rows = static_cast<int>(state.range(1));
    long moves = 0;
    for (auto _ : state) moves += search_better_line(deal, 1.0, 1).moves;
    state.counters["moves"] = benchmark::Counter(static_cast<double>(moves), benchmark::Counter::kIsRate);
}

BENCHMARK(BM_SearchBetterLine)->Args({15, 8})->Args({20, 10})->Args({25, 15})->Args({30, 20})
    ->Iterations(2)->Unit(benchmark::kSecond);
BENCHMARK(BM_VerifyJournal)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AppendLine)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FormatLine)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
