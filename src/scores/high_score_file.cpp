// high_score_file.cpp: the lock file, reading "hiscore" and updating it in
// place. Other running copies of the game share these files, so the names,
// the record layout, the lock's exclusive create of a mode-0000 file and the
// stale-lock timing stay as they are. The umask is never touched.
//
// The table is written into, never replaced: a replacing file would belong
// to whoever wrote last, who could then rewrite it or take it away from
// everyone. Only a table that is not there at all is created.
#include "scores/high_score_file.h"

#include <fcntl.h>
#include <pwd.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <utility>

#include "base/file_handle.h"
#include "base/privileges.h"
#include "base/report.h"

HighScoreTable high_score_table{};

namespace {

constexpr std::size_t PATH_BUFFER_BYTES = 1024;
constexpr char TABLE_FILE_NAME[] = "hiscore";
constexpr char LOCK_FILE_NAME[] = ".LOCK";
constexpr mode_t TABLE_FILE_MODE = 0664;
constexpr unsigned STALE_LOCK_TRIES = 3;  // tries at 0, 1 and 2 s; removal at 3 s

void real_sleep(unsigned seconds) { ::sleep(seconds); }
LockSleep lock_sleep = real_sleep;
void no_hook() {}
LockHeldHook lock_held_hook = no_hook;

// data_dir + "/" + name in a 1024-byte buffer; false when it would not fit.
bool form_path(char (&path)[PATH_BUFFER_BYTES], const char* data_dir, const char* name) {
    const int length = std::snprintf(path, sizeof path, "%s/%s", data_dir, name);
    return length >= 0 && static_cast<std::size_t>(length) < sizeof path;
}

bool valid_class(int size_class) { return size_class >= 0 && size_class < HIGH_SCORE_CLASSES; }

// While a result is stored, from the lock to its release: a termination
// signal waits until the end (so none leaves the lock behind), and a file
// size limit makes the write fail instead of ending the process. While the
// lock is only waited for, the signals are let through: a player who gives
// up waiting must be able to end the process.
class StoringSignals {
public:
    StoringSignals() {
        sigemptyset(&held_);
        for (int signal : {SIGHUP, SIGINT, SIGQUIT, SIGTERM, SIGPIPE, SIGALRM, SIGUSR1, SIGUSR2, SIGXCPU,
                           SIGVTALRM, SIGPROF, SIGIO, SIGPWR})
            sigaddset(&held_, signal);
        sigprocmask(SIG_BLOCK, &held_, &mask_before_);
        struct sigaction ignore {};
        ignore.sa_handler = SIG_IGN;
        sigaction(SIGXFSZ, &ignore, &file_size_before_);
    }
    ~StoringSignals() {
        sigaction(SIGXFSZ, &file_size_before_, nullptr);
        sigprocmask(SIG_SETMASK, &mask_before_, nullptr);  // a signal that came takes effect here
    }
    StoringSignals(const StoringSignals&) = delete;
    StoringSignals& operator=(const StoringSignals&) = delete;

    // A wait with no lock held: what came meanwhile, and what comes now,
    // takes effect.
    void wait(unsigned seconds) const {
        sigprocmask(SIG_SETMASK, &mask_before_, nullptr);
        lock_sleep(seconds);
        sigprocmask(SIG_BLOCK, &held_, nullptr);
    }

private:
    sigset_t held_;
    sigset_t mask_before_;
    struct sigaction file_size_before_;
};

// The one set of blocked signals of the store in progress; waits go through
// it so that they are open to signals. Outside a store (a bare
// lock_high_scores) waits are plain sleeps.
const StoringSignals* storing_signals = nullptr;

// Every wait for the lock and for the table counts against one bound: a
// result that cannot be stored within it is given up, so no holder, live,
// dead or hostile, can keep a player waiting longer.
unsigned seconds_waited = 0;

// A wait for the lock file, which holds nothing: open to signals.
void wait_a_second() {
    ++seconds_waited;
    if (storing_signals) storing_signals->wait(1);
    else lock_sleep(1);
}

bool out_of_time() { return seconds_waited >= LOCK_WAIT_LIMIT_SECONDS; }

enum class TableRead { READ, MISSING, UNREADABLE };

// Opens the table without following a link, and without blocking on a FIFO;
// anything but a regular file is refused.
int open_table(const char* path, int flags) {
    const int fd = ::open(path, flags | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    struct stat st {};
    if (fd >= 0 && (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))) {
        ::close(fd);
        errno = EINVAL;
        return -1;
    }
    return fd;
}

// Lays the file's first 960 bytes over `table` (a short file changes only
// its own length of the image).
bool read_table_bytes(int fd, HighScoreTable& table) {
    HighScoreImage bytes{};
    std::size_t got = 0;
    while (got < bytes.size()) {
        const ssize_t n = ::pread(fd, bytes.data() + got, bytes.size() - got, static_cast<off_t>(got));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) break;
        got += static_cast<std::size_t>(n);
    }
    decode_high_score_table(std::span<const std::uint8_t>(bytes.data(), got), table);
    return true;
}

TableRead read_table_file(const char* path, HighScoreTable& table) {
    FileDescriptor file(open_table(path, O_RDONLY));
    if (file.get() < 0) return errno == ENOENT ? TableRead::MISSING : TableRead::UNREADABLE;
    return read_table_bytes(file.get(), table) ? TableRead::READ : TableRead::UNREADABLE;
}

// The table for the update under the lock: the file that is there, or a new
// one only when there is none at all. -1 when neither can be had. A keeper
// with a group the player lacks never creates it: the new file would be
// the player's, to take away from everyone. The install makes it.
int open_table_for_update(const char* path, bool& created) {
    created = false;
    const int fd = open_table(path, O_RDWR);
    if (fd >= 0 || errno != ENOENT || holds_borrowed_group()) return fd;
    const int made = ::open(path, O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, TABLE_FILE_MODE);
    if (made < 0) return -1;
    created = true;
    ::fchmod(made, TABLE_FILE_MODE);  // exact, whatever the umask
    return made;
}

// The whole image at offset 0 in one write, then to the disk. A file size
// limit below the table would cut the write short and leave a mixed table,
// so it is checked before anything is written.
int write_table(int fd, const HighScoreTable& table) {
    rlimit limit {};
    if (::getrlimit(RLIMIT_FSIZE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY &&
        limit.rlim_cur < HIGH_SCORE_TABLE_BYTES)
        return -1;
    const HighScoreImage image = encode_high_score_table(table);
    ssize_t n;
    do n = ::pwrite(fd, image.data(), image.size(), 0);
    while (n < 0 && errno == EINTR);
    return n == static_cast<ssize_t>(image.size()) && ::fsync(fd) == 0 ? 0 : -1;
}

// Mode 0000 keeps old copies (which open for writing) out; O_EXCL keeps out
// everyone, root included.
std::optional<struct stat> try_create_lock(const char* lock_path) {
    const int fd = ::open(lock_path, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0);
    if (fd < 0) return std::nullopt;
    struct stat st {};
    const bool known = ::fstat(fd, &st) == 0;
    ::close(fd);
    if (!known) {  // a lock we could not tell from another's is no lock
        ::unlink(lock_path);
        errno = EIO;
        return std::nullopt;
    }
    return st;
}

// Which entry stands at the lock path, whatever it is. A lock waited for
// is known by its device and inode alone, which its owner cannot change: a
// mode, owner or times that keep moving do not make it another lock. The
// lock this process made is known also by its change time, since a new
// lock made after its removal may come back with its inode. (A waiter
// that takes such a new lock for the old one removes it as stale; the
// kernel lock on the table, lock_table, keeps the two writers apart.)
struct LockIdentity {
    dev_t device;
    ino_t inode;
    long changed_seconds;
    long changed_nanoseconds;
    bool operator==(const LockIdentity&) const = default;
    bool same_entry(const LockIdentity& other) const { return device == other.device && inode == other.inode; }
};

LockIdentity identity_of(const struct stat& st) {
    return {st.st_dev, st.st_ino, static_cast<long>(st.st_ctim.tv_sec), static_cast<long>(st.st_ctim.tv_nsec)};
}

// lstat, not stat: a link, dangling or not, is an entry that the exclusive
// create cannot make over, so it counts as a held lock.
std::optional<LockIdentity> lock_identity(const char* lock_path) {
    struct stat st {};
    if (::lstat(lock_path, &st) != 0) return std::nullopt;
    return identity_of(st);
}

// The lock this process made and has not released.
std::optional<LockIdentity> held_lock;

bool lock_is_ours(const char* lock_path) { return held_lock && lock_identity(lock_path) == held_lock; }

bool take_if_free(const char* lock_path) {
    const std::optional<struct stat> made = try_create_lock(lock_path);
    if (made) held_lock = identity_of(*made);
    return made.has_value();
}

int cannot_create_lock(const char* lock_path) {
    report(format_message("Error: can't create lock file '%s'.\n", lock_path));
    return -1;
}

int take_lock(const char* lock_path) {
    for (;;) {
        if (take_if_free(lock_path)) return 0;
        const bool held = errno == EEXIST;  // not a directory we cannot write to
        const std::optional<LockIdentity> waited_for = lock_identity(lock_path);
        if (held && !waited_for && errno == ENOENT) continue;  // released since the try: try again
        for (unsigned tries = 1; tries < STALE_LOCK_TRIES; ++tries) {
            if (held && out_of_time()) return cannot_create_lock(lock_path);
            wait_a_second();
            if (take_if_free(lock_path)) return 0;
        }
        if (held && out_of_time()) return cannot_create_lock(lock_path);
        wait_a_second();
        // Three seconds behind one and the same lock: its holder is taken to
        // have died. A lock that changed hands meanwhile was taken just now
        // by a live player (several finishing at once queue up here), and
        // removing it would let two writers in: wait for it from the start.
        // A lock that is gone was released: try for it at once, since
        // removing "nothing" could remove a lock another waiter makes now.
        const std::optional<LockIdentity> now = lock_identity(lock_path);
        if (now && waited_for && !now->same_entry(*waited_for)) continue;
        if (!now && held) continue;
        const bool removed = std::remove(lock_path) == 0;
        if (removed) {
            report("Warning: remove the lock file and retry...\n");
        } else if (errno != ENOENT) {
            return cannot_create_lock(lock_path);
        }
        // A lock that vanished by itself was released by its holder: take it.
        if (take_if_free(lock_path)) return 0;
        if (!removed && errno != EEXIST) return cannot_create_lock(lock_path);  // nothing held it, yet it cannot be made
    }
}

// LOGNAME, else the account name of the real user, else the empty marker.
std::string player_name() {
    if (const char* logname = std::getenv("LOGNAME")) return logname;
    if (const passwd* account = ::getpwuid(::getuid()); account && account->pw_name)
        return account->pw_name;
    return EMPTY_NAME;
}

constexpr int LOCK_LOST = -2;
constexpr int TABLE_BUSY = -3;

// The kernel's write lock on the open table, held from the read to the
// write and dropped with the descriptor (or the holder's death). Unlike the
// lock file, nobody can take it away as stale, so a keeper stopped past the
// stale time still keeps the next one from reading the table before its
// write. Waited for within what is left of the bound, with the lock file
// held and so with termination signals kept waiting. 0, or -1.
int lock_table(int fd) {
    struct flock whole {};
    whole.l_type = F_WRLCK;
    whole.l_whence = SEEK_SET;  // start 0, length 0: the whole file
    for (;;) {
        if (::fcntl(fd, F_OFD_SETLK, &whole) == 0) return 0;
        if (errno != EAGAIN && errno != EACCES && errno != EINTR) return -1;
        if (out_of_time()) return -1;
        ++seconds_waited;
        lock_sleep(1);
    }
}

// The update under the lock: the table as it is now, the result ranked on
// it and stored when it ranks (or when there was no table). The rank, -1
// when the table cannot be written, LOCK_LOST when the lock was taken from
// us (by a player who waited past the stale time) and nothing was written.
int update_table(const char* table_path, const char* lock_path, int score, int size_class) {
    bool created = false;
    FileDescriptor file(open_table_for_update(table_path, created));
    if (file.get() < 0) return -1;
    if (lock_table(file.get()) != 0) return TABLE_BUSY;
    if (!created && !read_table_bytes(file.get(), high_score_table)) return -1;
    if (created) high_score_table = empty_high_score_table();
    // Rank on the table as it is now: another player may have stored a
    // result since the first look, and writing the old image would lose it.
    const int rank = rank_result(high_score_table, size_class, score);
    if (!created && rank == HIGH_SCORE_ROWS) return rank;
    insert_result(high_score_table, size_class, rank, score, player_name());
    if (!lock_is_ours(lock_path)) return LOCK_LOST;
    lock_held_hook();
    if (write_table(file.get(), high_score_table) == 0) return rank;
    if (created) ::unlink(table_path);  // no table rather than an empty file
    return -1;
}

}  // namespace

LockSleep set_lock_sleep(LockSleep sleeper) {
    return std::exchange(lock_sleep, sleeper ? sleeper : real_sleep);
}

LockHeldHook set_lock_held_hook(LockHeldHook hook) {
    return std::exchange(lock_held_hook, hook ? hook : no_hook);
}

int lock_high_scores(int unlock, const char* data_dir) {
    char lock_path[PATH_BUFFER_BYTES];
    if (!form_path(lock_path, data_dir, LOCK_FILE_NAME)) {
        report("Error: lock file name too long.\n");
        return -1;
    }
    if (unlock != 1) {
        seconds_waited = 0;
        return take_lock(lock_path);
    }
    // Only our own lock is removed: one that stands there now was made by
    // the player who took ours as stale, and is theirs.
    const bool ours = lock_is_ours(lock_path);
    held_lock.reset();
    if (ours && std::remove(lock_path) == 0) return 0;
    report("Error: can't unlock hiscore file.\n");
    return -1;
}

int record_high_score(int score, int size_class, const char* data_dir) {
    char table_path[PATH_BUFFER_BYTES], lock_path[PATH_BUFFER_BYTES];
    if (!form_path(table_path, data_dir, TABLE_FILE_NAME)) {
        report("Error: hiscore file name too long.\n");
        return -1;
    }
    if (!valid_class(size_class)) return -1;

    // A result that does not rank in the table as it stands needs no lock:
    // rows are only ever replaced by higher scores, so it cannot rank later.
    if (read_table_file(table_path, high_score_table) == TableRead::READ &&
        rank_result(high_score_table, size_class, score) == HIGH_SCORE_ROWS)
        return HIGH_SCORE_ROWS;

    // Blocked from before the lock is made, so that none comes between its
    // making and the blocking; every wait opens them again.
    const StoringSignals storing;
    storing_signals = &storing;
    struct Forget {
        ~Forget() { storing_signals = nullptr; }
    } forget;
    if (lock_high_scores(0, data_dir) != 0) return -1;
    form_path(lock_path, data_dir, LOCK_FILE_NAME);  // fits: the lock was made
    const int rank = update_table(table_path, lock_path, score, size_class);
    if (rank < 0) report("Error: can't write hiscore file.\n");
    if (rank == LOCK_LOST) {
        held_lock.reset();  // the lock standing there is another player's
        return -1;
    }
    const int released = lock_high_scores(1, data_dir);
    return rank < 0 || released != 0 ? -1 : rank;
}

int read_high_score_row(HighScoreEntry* destination, int size_class, const char* data_dir) {
    char table_path[PATH_BUFFER_BYTES];
    if (!form_path(table_path, data_dir, TABLE_FILE_NAME)) {
        report("Error: hiscore file name too long.\n");
        return -1;
    }
    if (!valid_class(size_class)) return -1;
    if (read_table_file(table_path, high_score_table) != TableRead::READ) return -1;
    for (int r = 0; r < HIGH_SCORE_ROWS; ++r) destination[r] = high_score_table.entries[size_class][r];
    return 0;
}
