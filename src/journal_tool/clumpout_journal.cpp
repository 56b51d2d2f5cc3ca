// clumpout_journal.cpp: the headless journal tool. It reads the player's
// journal (or a named file) and deals, replays and searches with the game's
// own board and rules; it links no X and never writes the journal.
// Start reading main().
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "base/decimal_number.h"
#include "base/line_reader.h"
#include "base/report.h"
#include "journal/journal_line.h"
#include "journal/journal_replay.h"
#include "journal/journal_search.h"
#include "journal/journal_stats.h"

namespace {

constexpr int EXIT_USAGE = 2;
constexpr double DEFAULT_SECONDS = 10.0;

const char USAGE[] =
    "usage: clumpout-journal [-f FILE] stats\n"
    "       clumpout-journal [-f FILE] verify\n"
    "       clumpout-journal [-f FILE] show N\n"
    "       clumpout-journal [-f FILE] best N [--seconds S]\n";

void print(const std::string& text) { report_output(text); }

std::string play_text(const std::vector<JournalMove>& play) {
    std::string text;
    for (const JournalMove& move : play) {
        if (!text.empty()) text += ';';
        text += std::to_string(move.column) + "," + std::to_string(move.row);
    }
    return text.empty() ? "(no moves)" : text;
}

void print_board(const char* title) {
    print(format_message("%s\n", title));
    for (const std::string& row : board_text_rows()) print("  " + row + "\n");
}

int run_stats(const std::vector<JournalRecord>& records) {
    print(journal_stats_text(records));
    return 0;
}

int run_verify(const std::vector<JournalRecord>& records) {
    int failed = 0;
    for (const JournalRecord& record : records) {
        const Verification verification = verify_journal_record(record);
        print(verification.text);
        if (verification.verdict != Verdict::OK) ++failed;
    }
    print(format_message("%zu lines, %d not verified\n", records.size(), failed));
    return failed > 0 ? 1 : 0;
}

int run_show(const JournalRecord& record) {
    print(format_message("line %d: deal %u, %dx%d, set %s, total %d\n", record.line_number, record.deal,
                         record.columns, record.rows, record.set.c_str(), record.total));
    deal_board_of_size(record.columns, record.rows, record.deal);
    print_board("dealt board:");
    const ReplayOutcome outcome = replay_journal_record(record);
    if (outcome.unfit_move >= 0)
        print_board(format_message("board when move %d stopped fitting:", outcome.unfit_move + 1).c_str());
    else
        print_board(format_message("final board after %d moves:", outcome.moves).c_str());
    return 0;
}

int run_best(const JournalRecord& record, double seconds) {
    const SearchResult result = search_better_line(record, seconds, record.deal);
    print(format_message("line %d: deal %u, %dx%d\n", record.line_number, record.deal, record.columns, record.rows));
    if (result.player_fits)
        print(format_message("player:  total %d in %zu moves\n", result.player_total, record.play.size()));
    else
        print("player:  the line does not fit the dealt board (deals come from the C library's rand)\n");
    const int gain = result.best_total - result.player_total;
    print(format_message("best:    total %d in %zu moves, %s\n", result.best_total, result.best.size(),
                         gain > 0 ? format_message("%d more than the player's", gain).c_str()
                                  : "the same as the player's"));
    print("moves:   " + play_text(result.best) + "\n");
    switch (result.clearing) {
    case Clearing::CLEARED:
        print("board:   cleared by " + play_text(result.clearing_line) +
              format_message(" (total %d)\n", result.clearing_total));
        break;
    case Clearing::IMPOSSIBLE: print("board:   cannot be cleared\n"); break;
    case Clearing::UNKNOWN: print("board:   unknown whether it can be cleared\n"); break;
    }
    print(format_message("search:  nested Monte Carlo, level %d finished, %ld playouts in %.1f s\n", result.level,
                         result.playouts, seconds));
    return 0;
}

int usage() {
    report(USAGE);
    return EXIT_USAGE;
}

// A line number: a whole number of at least 1.
bool parse_line_number(const char* text, int& out) {
    // As strtol reads it: white space first is allowed.
    std::string_view number = text;
    while (!number.empty() && is_c_space(number.front())) number.remove_prefix(1);
    long long value = 0;
    if (!read_whole_decimal(number, 1, 1 << 30, value)) return false;
    out = static_cast<int>(value);
    return true;
}

bool parse_seconds(const char* text, double& out) {
    char* end = nullptr;
    const double value = std::strtod(text, &end);
    if (end == text || *end != '\0' || !(value > 0) || value > 1e6) return false;
    out = value;
    return true;
}

const JournalRecord* find_line(const std::vector<JournalRecord>& records, int line_number) {
    for (const JournalRecord& record : records)
        if (record.line_number == line_number) return &record;
    return nullptr;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    std::string path;
    if (args.size() >= 2 && (args[0] == "-f" || args[0] == "--file")) {
        path = args[1];
        args.erase(args.begin(), args.begin() + 2);
    } else {
        const char* home = std::getenv("HOME");
        if (!home) {
            report("Error: HOME is not set; name the journal with -f FILE.\n");
            return 1;
        }
        path = std::string(home) + "/" + JOURNAL_FILE_NAME;
    }
    if (args.empty()) return usage();
    const std::string& command = args[0];
    int line_number = 0;
    double seconds = DEFAULT_SECONDS;
    if (command == "stats" || command == "verify") {
        if (args.size() != 1) return usage();
    } else if (command == "show") {
        if (args.size() != 2 || !parse_line_number(args[1].c_str(), line_number)) return usage();
    } else if (command == "best") {
        if (args.size() != 2 && !(args.size() == 4 && args[2] == "--seconds")) return usage();
        if (!parse_line_number(args[1].c_str(), line_number)) return usage();
        if (args.size() == 4 && !parse_seconds(args[3].c_str(), seconds)) return usage();
    } else {
        return usage();
    }

    const std::optional<std::string> text = read_whole_file(path.c_str(), JOURNAL_FILE_MAX);
    if (!text) {
        report(format_message("Error: can't read journal '%s'.\n", path.c_str()));
        return 1;
    }
    Messages messages;
    const std::vector<JournalRecord> records = read_journal(*text, messages);
    report_all(messages);

    if (command == "stats") return run_stats(records);
    if (command == "verify") return run_verify(records);
    const JournalRecord* record = find_line(records, line_number);
    if (!record) {
        report(format_message("Error: line %d of '%s' is not a journal line.\n", line_number, path.c_str()));
        return 1;
    }
    return command == "show" ? run_show(*record) : run_best(*record, seconds);
}
