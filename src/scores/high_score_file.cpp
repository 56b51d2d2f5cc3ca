// high_score_file.cpp: the lock file, reading "hiscore" and replacing it.
// Other running copies of the game share these files, so the names, the
// record layout, the lock's exclusive create of a mode-0000 file and the
// stale-lock timing stay as they are. The umask is never touched.
#include "scores/high_score_file.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <utility>

#include "base/privileges.h"
#include "base/report.h"

HighScoreTable high_score_table{};

namespace {

constexpr std::size_t PATH_BUFFER_BYTES = 1024;
constexpr char TABLE_FILE_NAME[] = "hiscore";
constexpr char LOCK_FILE_NAME[] = ".LOCK";
constexpr mode_t TABLE_FILE_MODE = 0664;
constexpr unsigned STALE_LOCK_TRIES = 3;  // tries at 0, 1 and 2 s; removal at 3 s

class FileDescriptor {  // owns one open descriptor
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    int get() const { return fd_; }
    // Closes now so that the caller sees the result (a late write error).
    int close() { return ::close(std::exchange(fd_, -1)); }

private:
    int fd_;
};

void real_sleep(unsigned seconds) { ::sleep(seconds); }
LockSleep lock_sleep = real_sleep;

// data_dir + "/" + name in a 1024-byte buffer; false when it would not fit.
bool form_path(char (&path)[PATH_BUFFER_BYTES], const char* data_dir, const char* name) {
    const int length = std::snprintf(path, sizeof path, "%s/%s", data_dir, name);
    return length >= 0 && static_cast<std::size_t>(length) < sizeof path;
}

bool valid_class(int size_class) { return size_class >= 0 && size_class < HIGH_SCORE_CLASSES; }

enum class TableRead { READ, MISSING, UNREADABLE };

// Lays the file's first 960 bytes over `table` (a short file changes only
// its own length of the image).
TableRead read_table_file(const char* path, HighScoreTable& table) {
    GamesGroup games;
    FileDescriptor file(::open(path, O_RDONLY | O_CLOEXEC));
    if (file.get() < 0) return errno == ENOENT ? TableRead::MISSING : TableRead::UNREADABLE;
    HighScoreImage bytes{};
    std::size_t got = 0;
    while (got < bytes.size()) {
        const ssize_t n = ::read(file.get(), bytes.data() + got, bytes.size() - got);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return TableRead::UNREADABLE;
        if (n == 0) break;
        got += static_cast<std::size_t>(n);
    }
    decode_high_score_table(std::span<const std::uint8_t>(bytes.data(), got), table);
    return TableRead::READ;
}

bool write_all(int fd, const HighScoreImage& image) {
    std::size_t done = 0;
    while (done < image.size()) {
        const ssize_t n = ::write(fd, image.data() + done, image.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// Replaces the table file as a whole: a reader sees the old 960 bytes or the
// new ones, never a truncated file. On failure the old file stays and the
// temporary file is gone.
int write_table_file(const char* table_path, const char* data_dir, const HighScoreTable& table) {
    std::string temporary = std::string(data_dir) + "/." + TABLE_FILE_NAME + ".XXXXXX";
    GamesGroup games;
    FileDescriptor file(::mkstemp(temporary.data()));
    if (file.get() < 0) return -1;
    // fchmod, not the umask: the mode is exact and the user's umask stays.
    bool written = ::fchmod(file.get(), TABLE_FILE_MODE) == 0 &&
                   write_all(file.get(), encode_high_score_table(table)) &&
                   ::fsync(file.get()) == 0;
    written = file.close() == 0 && written;
    if (written && std::rename(temporary.c_str(), table_path) == 0) return 0;
    ::unlink(temporary.c_str());
    return -1;
}

// Mode 0000 keeps old copies (which open for writing) out; O_EXCL keeps out
// everyone, root included.
bool try_create_lock(const char* lock_path) {
    const int fd = ::open(lock_path, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0);
    if (fd < 0) return false;
    ::close(fd);
    return true;
}

// Which lock file stands at the path. Each holder makes a new file, which
// differs at least in its change time even when the inode number comes back.
struct LockIdentity {
    dev_t device;
    ino_t inode;
    long changed_seconds;
    long changed_nanoseconds;
    bool operator==(const LockIdentity&) const = default;
};

std::optional<LockIdentity> lock_identity(const char* lock_path) {
    struct stat st {};
    if (::stat(lock_path, &st) != 0) return std::nullopt;
    return LockIdentity{st.st_dev, st.st_ino, static_cast<long>(st.st_ctim.tv_sec),
                        static_cast<long>(st.st_ctim.tv_nsec)};
}

int take_lock(const char* lock_path) {
    for (;;) {
        if (try_create_lock(lock_path)) return 0;
        const bool held = errno == EEXIST;  // not a directory we cannot write to
        const std::optional<LockIdentity> waited_for = lock_identity(lock_path);
        if (held && !waited_for && errno == ENOENT) continue;  // released since the try: try again
        for (unsigned tries = 1; tries < STALE_LOCK_TRIES; ++tries) {
            lock_sleep(1);
            if (try_create_lock(lock_path)) return 0;
        }
        lock_sleep(1);
        // Three seconds behind one and the same lock: its holder is taken to
        // have died. A lock that changed hands meanwhile was taken just now
        // by a live player (several finishing at once queue up here), and
        // removing it would let two writers in: wait for it from the start.
        // A lock that is gone was released: try for it at once, since
        // removing "nothing" could remove a lock another waiter makes now.
        const std::optional<LockIdentity> now = lock_identity(lock_path);
        if (now && waited_for && *now != *waited_for) continue;
        if (!now && held) continue;
        const bool removed = std::remove(lock_path) == 0;
        if (removed) {
            report("Warning: remove the lock file and retry...\n");
        } else if (errno != ENOENT) {
            report(format_message("Error: can't create lock file '%s'.\n", lock_path));
            return -1;
        }
        // A lock that vanished by itself was released by its holder: take it.
        if (try_create_lock(lock_path)) return 0;
        if (!removed && errno != EEXIST) {  // nothing held it, yet it cannot be made
            report(format_message("Error: can't create lock file '%s'.\n", lock_path));
            return -1;
        }
    }
}

// LOGNAME, else the account name of the real user, else the empty marker.
std::string player_name() {
    if (const char* logname = std::getenv("LOGNAME")) return logname;
    if (const passwd* account = ::getpwuid(::getuid()); account && account->pw_name)
        return account->pw_name;
    return EMPTY_NAME;
}

}  // namespace

LockSleep set_lock_sleep(LockSleep sleeper) {
    return std::exchange(lock_sleep, sleeper ? sleeper : real_sleep);
}

int lock_high_scores(int unlock, const char* data_dir) {
    char lock_path[PATH_BUFFER_BYTES];
    if (!form_path(lock_path, data_dir, LOCK_FILE_NAME)) {
        report("Error: lock file name too long.\n");
        return -1;
    }
    GamesGroup games;
    if (unlock != 1) return take_lock(lock_path);
    if (std::remove(lock_path) == 0) return 0;
    report("Error: can't unlock hiscore file.\n");
    return -1;
}

int record_high_score(int score, int size_class, const char* data_dir) {
    char table_path[PATH_BUFFER_BYTES];
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

    if (lock_high_scores(0, data_dir) != 0) return -1;
    // Rank on the table as it is now: another player may have stored a
    // result since the look above, and writing the old image would lose it.
    const TableRead fresh = read_table_file(table_path, high_score_table);
    if (fresh == TableRead::MISSING) high_score_table = empty_high_score_table();
    const int rank = rank_result(high_score_table, size_class, score);
    int written = 0;
    if (fresh == TableRead::UNREADABLE) {
        written = -1;  // it exists: an empty table must not replace it
    } else if (fresh == TableRead::MISSING || rank < HIGH_SCORE_ROWS) {
        insert_result(high_score_table, size_class, rank, score, player_name());
        written = write_table_file(table_path, data_dir, high_score_table);
    }
    if (written != 0) report("Error: can't write hiscore file.\n");
    const int released = lock_high_scores(1, data_dir);
    return written != 0 || released != 0 ? -1 : rank;
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
