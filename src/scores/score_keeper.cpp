// score_keeper.cpp: the keeper process and the game's side of its socket.
// The keeper has seen nothing but the environment when it starts, reads
// nothing but fixed-size requests, and touches no file but the table and
// its lock (through high_score_file).
#include "scores/score_keeper.h"

#include <dirent.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <utility>
#include <vector>

#include "base/report.h"
#include "scores/high_score_file.h"

namespace {

int keeper_socket = -1;  // the game's end; -1 without a keeper
pid_t keeper_pid = -1;
unsigned answers_owed = 0;  // to requests the game stopped waiting for
int watched_fd = -1;
KeeperWaitHook wait_hook = nullptr;

int carry_out(const KeeperRequest& request, KeeperAnswer& answer, const char* data_dir) {
    if (request.kind == KEEPER_RECORD) return record_high_score(request.score, request.size_class, data_dir);
    return read_high_score_row(answer.rows, request.size_class, data_dir);
}

enum class Wait { ANSWERED, GONE, TIMED_OUT, GIVEN_UP };

// One answer from the keeper, waited for until `until` while the game's
// own input is looked at: the hook may end the wait.
Wait receive_answer(KeeperAnswer& answer, std::chrono::steady_clock::time_point until) {
    constexpr int LOOK_MILLISECONDS = 100;
    for (;;) {
        pollfd fds[2] = {{keeper_socket, POLLIN, 0}, {watched_fd, POLLIN, 0}};
        const int ready = ::poll(fds, watched_fd >= 0 ? 2 : 1, LOOK_MILLISECONDS);
        if (ready < 0 && errno != EINTR) return Wait::GONE;
        if (ready > 0 && fds[0].revents != 0) {
            ssize_t n;
            do n = ::recv(keeper_socket, &answer, sizeof answer, MSG_DONTWAIT);
            while (n < 0 && errno == EINTR);
            if (n < 0 && errno == EAGAIN) continue;
            return n == static_cast<ssize_t>(sizeof answer) ? Wait::ANSWERED : Wait::GONE;
        }
        if (wait_hook && !wait_hook()) return Wait::GIVEN_UP;
        if (std::chrono::steady_clock::now() >= until) return Wait::TIMED_OUT;
    }
}

// One request and its answer. The keeper gives up on its own within
// LOCK_WAIT_LIMIT_SECONDS; the game waits two seconds more, then counts the
// answer as owed and goes on. An answer still owed is taken first.
Wait ask_keeper(const KeeperRequest& request, KeeperAnswer& answer) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(LOCK_WAIT_LIMIT_SECONDS + 2);
    for (; answers_owed > 0; --answers_owed) {
        KeeperAnswer late{};
        const Wait got = receive_answer(late, until);
        if (got != Wait::ANSWERED) return got;
    }
    if (::send(keeper_socket, &request, sizeof request, MSG_NOSIGNAL) != static_cast<ssize_t>(sizeof request))
        return Wait::GONE;
    const Wait got = receive_answer(answer, until);
    if (got == Wait::TIMED_OUT || got == Wait::GIVEN_UP) ++answers_owed;
    return got;
}

// Without close_range: every descriptor the process lists, but these.
void close_listed_descriptors(int socket) {
    DIR* listing = ::opendir("/proc/self/fd");
    if (listing == nullptr) return;
    std::vector<int> open_fds;
    while (const dirent* entry = ::readdir(listing)) {
        const int fd = std::atoi(entry->d_name);
        if (fd > STDERR_FILENO && fd != socket && fd != ::dirfd(listing)) open_fds.push_back(fd);
    }
    ::closedir(listing);
    for (int fd : open_fds) ::close(fd);
}

// The keeper keeps nothing the game was started with but its socket and
// the standard streams.
void close_inherited_descriptors(int socket) {
    const unsigned keep = static_cast<unsigned>(socket), first = STDERR_FILENO + 1;
    const bool closed = ::close_range(std::max(keep + 1, first), ~0U, 0) == 0 &&
                        (keep <= first || ::close_range(first, keep - 1, 0) == 0);
    if (!closed) close_listed_descriptors(socket);
}

}  // namespace

std::optional<KeeperRequest> decode_keeper_request(std::span<const std::uint8_t> bytes) {
    if (bytes.size() != KEEPER_REQUEST_BYTES) return std::nullopt;
    KeeperRequest request{};
    std::memcpy(&request.kind, bytes.data(), 4);
    std::memcpy(&request.size_class, bytes.data() + 4, 4);
    std::memcpy(&request.score, bytes.data() + 8, 4);
    const bool known = request.kind == KEEPER_RECORD || request.kind == KEEPER_READ_ROW;
    if (!known || request.size_class < 0 || request.size_class >= HIGH_SCORE_CLASSES) return std::nullopt;
    return request;
}

void serve_score_requests(int socket, const char* data_dir) {
    for (;;) {
        std::uint8_t bytes[KEEPER_REQUEST_BYTES + 1];  // one more: a longer message is seen as such
        const ssize_t n = ::recv(socket, bytes, sizeof bytes, 0);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) _exit(0);  // the game has ended
        KeeperAnswer answer{};
        const std::optional<KeeperRequest> request = decode_keeper_request({bytes, static_cast<std::size_t>(n)});
        answer.result = request ? carry_out(*request, answer, data_dir) : -1;
        ::send(socket, &answer, sizeof answer, MSG_NOSIGNAL);
    }
}

int start_score_keeper(const char* data_dir) {
    int ends[2];
    // Datagrams in order: one request, one answer, never run together.
    if (::socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, ends) != 0) return -1;
    const pid_t game = ::getpid();
    const pid_t pid = ::fork();
    if (pid < 0) {
        ::close(ends[0]);
        ::close(ends[1]);
        return -1;
    }
    if (pid == 0) {
        ::close(ends[0]);
        // Ends with the game: at the end of its socket, and at its death even
        // when that comes first (the signal waits while the lock is held).
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (::getppid() != game) _exit(0);
        close_inherited_descriptors(ends[1]);
        serve_score_requests(ends[1], data_dir);
    }
    ::close(ends[1]);
    keeper_socket = ends[0];
    keeper_pid = pid;
    return 0;
}

void stop_score_keeper() {
    if (keeper_socket < 0) return;
    ::close(std::exchange(keeper_socket, -1));
    // A keeper still at work on a request the game gave up on finishes or
    // gives up on its own (the game's end reaches it as SIGTERM): the game
    // does not wait for it.
    if (answers_owed > 0) return;
    while (::waitpid(keeper_pid, nullptr, 0) < 0 && errno == EINTR) {
    }
}

void set_keeper_wait_hook(int watch_fd, KeeperWaitHook hook) {
    watched_fd = hook ? watch_fd : -1;
    wait_hook = hook;
}

int keeper_record_high_score(int score, int size_class, const char* data_dir) {
    if (keeper_socket < 0) return record_high_score(score, size_class, data_dir);
    KeeperAnswer answer{};
    const Wait got = ask_keeper({KEEPER_RECORD, size_class, score}, answer);
    if (got == Wait::ANSWERED) return answer.result;
    if (got != Wait::GIVEN_UP) report("Error: can't write hiscore file.\n");
    return -1;
}

int keeper_read_high_score_row(HighScoreEntry* destination, int size_class, const char* data_dir) {
    if (keeper_socket < 0) return read_high_score_row(destination, size_class, data_dir);
    KeeperAnswer answer{};
    if (ask_keeper({KEEPER_READ_ROW, size_class, 0}, answer) != Wait::ANSWERED || answer.result != 0) return -1;
    std::memcpy(destination, answer.rows, sizeof answer.rows);
    return 0;
}
