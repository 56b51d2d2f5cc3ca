// score_keeper.cpp: the keeper process and the game's side of its socket.
// The keeper has seen nothing but the environment when it starts, reads
// nothing but fixed-size requests, and touches no file but the table and
// its lock (through high_score_file).
#include "scores/score_keeper.h"

#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

#include "base/report.h"
#include "scores/high_score_file.h"

namespace {

int keeper_socket = -1;  // the game's end; -1 without a keeper
pid_t keeper_pid = -1;

int carry_out(const KeeperRequest& request, KeeperAnswer& answer, const char* data_dir) {
    if (request.kind == KEEPER_RECORD) return record_high_score(request.score, request.size_class, data_dir);
    return read_high_score_row(answer.rows, request.size_class, data_dir);
}

// One request and its answer; false when the keeper is gone.
bool ask_keeper(const KeeperRequest& request, KeeperAnswer& answer) {
    if (::send(keeper_socket, &request, sizeof request, MSG_NOSIGNAL) != static_cast<ssize_t>(sizeof request))
        return false;
    ssize_t n;
    do n = ::recv(keeper_socket, &answer, sizeof answer, 0);
    while (n < 0 && errno == EINTR);
    return n == static_cast<ssize_t>(sizeof answer);
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
    while (::waitpid(keeper_pid, nullptr, 0) < 0 && errno == EINTR) {
    }
}

int keeper_record_high_score(int score, int size_class, const char* data_dir) {
    if (keeper_socket < 0) return record_high_score(score, size_class, data_dir);
    KeeperAnswer answer{};
    if (ask_keeper({KEEPER_RECORD, size_class, score}, answer)) return answer.result;
    report("Error: can't write hiscore file.\n");
    return -1;
}

int keeper_read_high_score_row(HighScoreEntry* destination, int size_class, const char* data_dir) {
    if (keeper_socket < 0) return read_high_score_row(destination, size_class, data_dir);
    KeeperAnswer answer{};
    if (!ask_keeper({KEEPER_READ_ROW, size_class, 0}, answer) || answer.result != 0) return -1;
    std::memcpy(destination, answer.rows, sizeof answer.rows);
    return 0;
}
