// score_keeper.h: the score keeper, the one process of the game that keeps
// the group the game is installed with. main splits it off before it opens
// any file or the display; it does the high-score file's work and nothing
// else, asked over a socket in fixed-size messages, and ends with the game.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "scores/high_score_table.h"

// Forks the keeper, which works on the table in `data_dir`. 0 when it runs,
// -1 when it could not be made (the calls below then work on the file
// directly, with the rights the process has).
int start_score_keeper(const char* data_dir);

// Closes the game's end of the socket and waits until the keeper has ended.
void stop_score_keeper();

// record_high_score and read_high_score_row (high_score_file.h), carried
// out by the keeper; `data_dir` counts only when there is no keeper. The
// game never blocks on the keeper: it waits at most two seconds beyond the
// keeper's own bound (LOCK_WAIT_LIMIT_SECONDS), and the wait hook below may
// end the wait sooner. A wait that ends without an answer is a result not
// recorded (-1); its late answer is taken and dropped before the next.
int keeper_record_high_score(int score, int size_class, const char* data_dir);
int keeper_read_high_score_row(HighScoreEntry* destination, int size_class, const char* data_dir);

// Looked at while the game waits for its keeper: whenever `watch_fd` has
// input, and every tenth of a second. false ends the wait (the player
// quits). nullptr for none.
using KeeperWaitHook = bool (*)();
void set_keeper_wait_hook(int watch_fd, KeeperWaitHook hook);

// One request: three 32-bit ints in host order, nothing more.
enum KeeperRequestKind : std::int32_t { KEEPER_RECORD = 1, KEEPER_READ_ROW = 2 };
struct KeeperRequest {
    std::int32_t kind;
    std::int32_t size_class;
    std::int32_t score;  // KEEPER_RECORD only
};
constexpr std::size_t KEEPER_REQUEST_BYTES = 12;
static_assert(sizeof(KeeperRequest) == KEEPER_REQUEST_BYTES);

// The answer to every request: the result and, after a read, the rows.
struct KeeperAnswer {
    std::int32_t result;
    HighScoreEntry rows[HIGH_SCORE_ROWS];
};

// Whatever the game sends is checked: exactly 12 bytes, a known kind, a
// size class of the table (0..3); any score. nullopt for anything else.
std::optional<KeeperRequest> decode_keeper_request(std::span<const std::uint8_t> bytes);

// The keeper's loop on `socket`: answers each request until the game's end
// closes, then ends the process.
[[noreturn]] void serve_score_requests(int socket, const char* data_dir);
