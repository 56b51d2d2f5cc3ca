// game_journal.cpp: appending finished games to the player's journal, and
// the chosen first deal. A journal that cannot be written costs one warning
// per run; the game goes on either way.
#include "app/game_journal.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

#include "base/report.h"
#include "journal/journal_line.h"
#include "scores/high_score_table.h"
#include "ui/game_record.h"

namespace {

// The journal record of a finished game at `when` (seconds since 1970).
JournalRecord journal_record_of(const FinishedGame& game, std::int64_t when) {
    JournalRecord record;
    record.when = when;
    record.deal = game.deal;
    record.columns = game.columns;
    record.rows = game.rows;
    record.set = game.set_name;
    record.moves = static_cast<int>(game.moves->size());
    record.gets = game.gets;
    record.rests = game.rests;
    record.total = game.gets - game.rests;
    if (game.replay)
        record.rank = JOURNAL_RANK_REPLAY;
    else if (game.table_rank >= 0 && game.table_rank < HIGH_SCORE_ROWS)
        record.rank = game.table_rank + 1;
    else
        record.rank = JOURNAL_RANK_NONE;
    for (const PlayedCell& cell : *game.moves) record.play.push_back({cell.column, cell.row});
    return record;
}

// Appends one line to the journal at `path` with a single write on a
// descriptor opened for appending, never creating the file. 1 written, 0 no
// journal (the file does not exist), -1 failed (the reason is in `why`).
int append_journal_line(const char* path, const std::string& line, std::string& why) {
    // No O_CREAT: the journal is on only while the player keeps the file.
    // O_NONBLOCK keeps a FIFO put there from stalling the game.
    const int fd = open(path, O_WRONLY | O_APPEND | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT) return 0;
        why = std::strerror(errno);
        return -1;
    }
    struct stat status = {};
    int result = 1;
    if (fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        why = "not a regular file";
        result = -1;
    } else {
        // One write of the whole line: with O_APPEND two games ending at once
        // give two whole lines.
        const ssize_t written = write(fd, line.data(), line.size());
        if (written != static_cast<ssize_t>(line.size())) {
            why = written < 0 ? std::strerror(errno) : "short write";
            result = -1;
        }
    }
    close(fd);
    return result;
}

std::string journal_path;
bool warned = false;

void append_finished_game(const FinishedGame& game) {
    const std::string line = format_journal_line(journal_record_of(game, std::time(nullptr)));
    std::string why;
    if (append_journal_line(journal_path.c_str(), line, why) >= 0 || warned) return;
    warned = true;
    report(format_message("Warning: can't write journal '%s': %s.\n", journal_path.c_str(), why.c_str()));
}

}  // namespace

void take_deal_choice() {
    const char* text = std::getenv("CLUMPOUT_DEAL");
    if (text == nullptr) return;
    unsigned seed = 0;
    if (parse_deal_number(text, seed)) {
        choose_first_deal(seed);
        return;
    }
    report(format_message("Warning: CLUMPOUT_DEAL '%s' is not a deal number (0 to 4294967295); dealing from "
                          "the clock.\n",
                          text));
}

void keep_journal() {
    const char* home = std::getenv("HOME");
    if (home == nullptr) return;
    journal_path = std::string(home) + "/" + JOURNAL_FILE_NAME;
    game_end_listener = append_finished_game;
}
