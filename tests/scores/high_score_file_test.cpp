// high_score_file_test.cpp: the shared file and its lock in a temporary data
// directory: ranking on the file, the lock protocol and its stale-lock
// recovery, the update in place, signals and stopped holders, and several
// processes at once. The lock waits through an injected sleep except where
// real time is the point.
#include "scores/high_score_file.h"

#include <fcntl.h>
#include <pwd.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "base/report.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

std::string captured;
void capture(std::string_view message) { captured += message; }

// The fake sleep: records each wait, and may act as the lock's holder.
std::vector<unsigned> sleeps;
std::string lock_to_release;   // removed at the sleep numbered release_at_sleep
std::string holder_table;      // the table file, for on_release to rewrite
unsigned release_at_sleep = 0;
void (*on_release)() = nullptr;  // runs just before that removal
void fake_sleep(unsigned seconds) {
    sleeps.push_back(seconds);
    if (sleeps.size() == release_at_sleep) {
        if (on_release) on_release();
        std::remove(lock_to_release.c_str());
    }
}

std::optional<Bytes> read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

void write_file(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

Bytes image_of(const HighScoreTable& table) {
    const HighScoreImage image = encode_high_score_table(table);
    return Bytes(image.begin(), image.end());
}

HighScoreTable table_with(int size_class, const std::vector<int>& scores) {
    HighScoreTable table = empty_high_score_table();
    for (std::size_t r = 0; r < scores.size(); ++r)
        insert_result(table, size_class, static_cast<int>(r), scores[r], "p" + std::to_string(r));
    return table;
}

HighScoreTable decoded(const Bytes& bytes) {
    HighScoreTable table{};
    decode_high_score_table(bytes, table);
    return table;
}

std::string name_of(const HighScoreEntry& entry) {
    return std::string(entry.name, strnlen(entry.name, HIGH_SCORE_NAME_BYTES));
}

std::vector<int> scores_of(const HighScoreTable& table, int size_class) {
    std::vector<int> scores;
    for (const HighScoreEntry& entry : table.entries[size_class]) scores.push_back(entry.score);
    return scores;
}

std::vector<std::string> files_in(const std::string& dir) {
    std::vector<std::string> names;
    for (const auto& item : fs::directory_iterator(dir)) names.push_back(item.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

mode_t current_umask() {
    const mode_t mask = umask(0);
    umask(mask);
    return mask;
}

class HighScoreFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/clumpout-scores-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
        table_path = dir + "/hiscore";
        lock_path = dir + "/.LOCK";
        captured.clear();
        set_report_sink(capture);
        sleeps.clear();
        lock_to_release = lock_path;
        holder_table = table_path;
        release_at_sleep = 0;
        on_release = nullptr;
        set_lock_sleep(fake_sleep);
        set_lock_held_hook(nullptr);
        if (const char* name = std::getenv("LOGNAME")) saved_logname = name;
        setenv("LOGNAME", "tester", 1);
        saved_umask = current_umask();
        high_score_table = HighScoreTable{};
    }
    void TearDown() override {
        set_report_sink(nullptr);
        set_lock_sleep(nullptr);
        set_lock_held_hook(nullptr);
        if (saved_logname) setenv("LOGNAME", saved_logname->c_str(), 1);
        else unsetenv("LOGNAME");
        umask(saved_umask);
        std::error_code ignored;
        fs::remove_all(dir, ignored);
    }
    void make_lock() {
        const int fd = open(lock_path.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0);
        ASSERT_GE(fd, 0);
        close(fd);
    }

    std::string dir, table_path, lock_path;
    std::optional<std::string> saved_logname;
    mode_t saved_umask = 022;
};

// Four players finish at the same moment, ten games each; a fifth keeps
// looking at the file. Real one-second lock waits, so this takes ~3 s.
TEST_F(HighScoreFileTest, ConcurrentPlayersLoseNoResultAndReadersSeeWholeFiles) {
    set_lock_sleep(nullptr);
    write_file(table_path, image_of(empty_high_score_table()));
    constexpr int PLAYERS = 4, GAMES = 10;
    int barrier[2];
    ASSERT_EQ(pipe(barrier), 0);
    std::vector<pid_t> players;
    for (int p = 0; p < PLAYERS; ++p) {
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            close(barrier[1]);
            char go;
            (void)!read(barrier[0], &go, 1);  // returns when the parent closes its end
            setenv("LOGNAME", ("player" + std::to_string(p)).c_str(), 1);
            int failures = 0;
            // Scores 1..40 over all players, each player's spread out.
            for (int g = 0; g < GAMES; ++g)
                if (record_high_score(p + PLAYERS * ((g * 3) % GAMES) + 1, 0, dir.c_str()) < 0)
                    ++failures;
            _exit(failures);
        }
        players.push_back(pid);
    }
    close(barrier[0]);
    close(barrier[1]);

    std::size_t looks = 0, torn = 0;
    int finished = 0;
    std::vector<int> statuses;
    while (finished < PLAYERS) {
        const std::optional<Bytes> seen = read_file(table_path);
        ++looks;
        if (!seen || seen->size() != HIGH_SCORE_TABLE_BYTES) ++torn;
        int status;
        const pid_t done = waitpid(-1, &status, WNOHANG);
        if (done > 0) {
            ++finished;
            statuses.push_back(status);
        }
    }
    for (int status : statuses) {
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 0) << "failed records in one player";
    }
    EXPECT_EQ(torn, 0u) << "of " << looks << " looks";

    const std::optional<Bytes> final_bytes = read_file(table_path);
    ASSERT_TRUE(final_bytes);
    const HighScoreTable table = decoded(*final_bytes);
    EXPECT_EQ(scores_of(table, 0), (std::vector<int>{40, 39, 38, 37, 36, 35, 34, 33, 32, 31}));
    for (const HighScoreEntry& entry : table.entries[0])
        EXPECT_EQ(name_of(entry), "player" + std::to_string((entry.score - 1) % PLAYERS));
    EXPECT_FALSE(fs::exists(lock_path));
    EXPECT_EQ(files_in(dir), std::vector<std::string>{"hiscore"});
}

TEST_F(HighScoreFileTest, NoFileAndNoPointsCreatesTheEmptyTable) {
    for (int score : {0, -7}) {
        std::remove(table_path.c_str());
        EXPECT_EQ(record_high_score(score, 1, dir.c_str()), 10);
        EXPECT_EQ(read_file(table_path), image_of(empty_high_score_table()));
    }
    EXPECT_EQ(files_in(dir), std::vector<std::string>{"hiscore"});
    EXPECT_EQ(captured, "");
}

TEST_F(HighScoreFileTest, NoFileAndOnePointTakesRankZeroOfItsClassOnly) {
    EXPECT_EQ(record_high_score(1, 2, dir.c_str()), 0);
    HighScoreTable want = empty_high_score_table();
    insert_result(want, 2, 0, 1, "tester");
    EXPECT_EQ(read_file(table_path), image_of(want));

    HighScoreEntry row[HIGH_SCORE_ROWS];
    ASSERT_EQ(read_high_score_row(row, 2, dir.c_str()), 0);
    EXPECT_EQ(row[0].score, 1);
    EXPECT_EQ(name_of(row[0]), "tester");
    EXPECT_EQ(name_of(row[1]), EMPTY_NAME);
}

TEST_F(HighScoreFileTest, ResultThatDoesNotRankLeavesTheFileAndTheLockAlone) {
    const Bytes before = image_of(table_with(0, {100, 90, 80, 70, 60, 50, 40, 30, 20, 10}));
    write_file(table_path, before);
    const timespec old_times[2] = {{946684800, 0}, {946684800, 0}};  // 2000-01-01
    ASSERT_EQ(utimensat(AT_FDCWD, table_path.c_str(), old_times, 0), 0);
    make_lock();  // a stale lock that taking the lock would wait for and remove

    EXPECT_EQ(record_high_score(10, 0, dir.c_str()), 10);  // equal to the last row

    EXPECT_EQ(read_file(table_path), before);
    struct stat after {};
    ASSERT_EQ(stat(table_path.c_str(), &after), 0);
    EXPECT_EQ(after.st_mtim.tv_sec, 946684800);
    EXPECT_TRUE(sleeps.empty());
    EXPECT_TRUE(fs::exists(lock_path));
    EXPECT_EQ(captured, "");
}

TEST_F(HighScoreFileTest, StoresTheFirstTwentyBytesOfALongLogname) {
    setenv("LOGNAME", "abcdefghijklmnopqrstuvwxyz", 1);
    ASSERT_EQ(record_high_score(5, 3, dir.c_str()), 0);
    const std::optional<Bytes> bytes = read_file(table_path);
    ASSERT_TRUE(bytes);
    const std::size_t name_at = 240 * 3 + 4;
    EXPECT_EQ(std::string(bytes->begin() + name_at, bytes->begin() + name_at + 20),
              "abcdefghijklmnopqrst");
    EXPECT_EQ((*bytes)[name_at + 20], 0);  // the next entry's score, not a terminator
}

TEST_F(HighScoreFileTest, WithoutLognameStoresTheAccountName) {
    unsetenv("LOGNAME");
    const passwd* account = getpwuid(getuid());
    ASSERT_NE(account, nullptr);
    const std::string want = std::string(account->pw_name).substr(0, 20);
    ASSERT_EQ(record_high_score(5, 0, dir.c_str()), 0);
    HighScoreEntry row[HIGH_SCORE_ROWS];
    ASSERT_EQ(read_high_score_row(row, 0, dir.c_str()), 0);
    EXPECT_EQ(name_of(row[0]), want);
}

TEST_F(HighScoreFileTest, ShortFileIsReadAsFarAsItGoesAndRewrittenWhole) {
    for (auto& row : high_score_table.entries)
        for (HighScoreEntry& entry : row) {
            entry.score = 7;
            std::memset(entry.name, 'o', sizeof entry.name);
        }
    // Entry 0 whole, then the score and two name bytes of entry 1.
    HighScoreTable source = table_with(0, {300, 200});
    Bytes bytes = image_of(source);
    bytes.resize(30);
    write_file(table_path, bytes);

    HighScoreEntry row[HIGH_SCORE_ROWS];
    ASSERT_EQ(read_high_score_row(row, 0, dir.c_str()), 0);
    EXPECT_EQ(row[0].score, 300);
    EXPECT_EQ(name_of(row[0]), "p0");
    EXPECT_EQ(row[1].score, 200);
    EXPECT_EQ(std::string(row[1].name, 20), std::string("p1") + std::string(18, 'o'));
    EXPECT_EQ(row[2].score, 7);

    ASSERT_EQ(record_high_score(250, 0, dir.c_str()), 1);
    const std::optional<Bytes> rewritten = read_file(table_path);
    ASSERT_TRUE(rewritten);
    EXPECT_EQ(rewritten->size(), HIGH_SCORE_TABLE_BYTES);
    EXPECT_EQ(scores_of(decoded(*rewritten), 0), (std::vector<int>{300, 250, 200, 7, 7, 7, 7, 7, 7, 7}));
}

TEST_F(HighScoreFileTest, ReadRowWithoutAFileFailsQuietly) {
    HighScoreEntry row[HIGH_SCORE_ROWS];
    EXPECT_EQ(read_high_score_row(row, 0, dir.c_str()), -1);
    EXPECT_EQ(captured, "");
}

// The result is ranked on the table as it is once the lock is held, not as
// it was when the game looked first: here the holder stores 50 and leaves.
TEST_F(HighScoreFileTest, RanksOnTheTableFoundUnderTheLock) {
    write_file(table_path, image_of(empty_high_score_table()));
    make_lock();
    release_at_sleep = 1;
    on_release = [] {
        HighScoreTable other = empty_high_score_table();
        insert_result(other, 0, 0, 50, "holder");
        write_file(holder_table, image_of(other));
    };
    EXPECT_EQ(record_high_score(10, 0, dir.c_str()), 1);
    const std::optional<Bytes> bytes = read_file(table_path);
    ASSERT_TRUE(bytes);
    const HighScoreTable table = decoded(*bytes);
    EXPECT_EQ(name_of(table.entries[0][0]), "holder");
    EXPECT_EQ(table.entries[0][1].score, 10);
    EXPECT_EQ(name_of(table.entries[0][1]), "tester");
    EXPECT_FALSE(fs::exists(lock_path));
}

TEST_F(HighScoreFileTest, ResultOutrankedWhileWaitingIsNotWritten) {
    write_file(table_path, image_of(empty_high_score_table()));
    make_lock();
    release_at_sleep = 2;
    on_release = [] {
        write_file(holder_table, image_of(table_with(0, std::vector<int>(10, 100))));
    };
    EXPECT_EQ(record_high_score(10, 0, dir.c_str()), 10);
    EXPECT_EQ(read_file(table_path), image_of(table_with(0, std::vector<int>(10, 100))));
    EXPECT_EQ(sleeps, (std::vector<unsigned>{1, 1}));
    EXPECT_FALSE(fs::exists(lock_path));
    EXPECT_EQ(captured, "");
}

// Root is not held back by the lock file's mode; the exclusive create is.
TEST_F(HighScoreFileTest, HeldLockIsWaitedForThreeSecondsThenRemovedWithAWarning) {
    ASSERT_EQ(lock_high_scores(0, dir.c_str()), 0);
    struct stat lock {};
    ASSERT_EQ(stat(lock_path.c_str(), &lock), 0);
    EXPECT_EQ(lock.st_mode & 07777, 0u);
    EXPECT_EQ(lock.st_size, 0);
    EXPECT_TRUE(sleeps.empty());

    ASSERT_EQ(lock_high_scores(0, dir.c_str()), 0);
    EXPECT_EQ(sleeps, (std::vector<unsigned>{1, 1, 1}));
    EXPECT_EQ(captured, "Warning: remove the lock file and retry...\n");
    EXPECT_TRUE(fs::exists(lock_path));

    EXPECT_EQ(lock_high_scores(1, dir.c_str()), 0);
    EXPECT_FALSE(fs::exists(lock_path));
}

// A holder that releases in time hands the lock over without any message,
// also when it lets go just before the waiter would call the lock stale.
TEST_F(HighScoreFileTest, LockReleasedByItsHolderIsTakenQuietly) {
    for (unsigned release : {1u, 3u}) {
        sleeps.clear();
        make_lock();
        release_at_sleep = release;
        EXPECT_EQ(lock_high_scores(0, dir.c_str()), 0);
        EXPECT_EQ(sleeps, std::vector<unsigned>(release, 1)) << "released at sleep " << release;
        EXPECT_TRUE(fs::exists(lock_path));
        EXPECT_EQ(lock_high_scores(1, dir.c_str()), 0);
    }
    EXPECT_EQ(captured, "");
}

// Several players finishing at once queue up behind the lock: one that was
// released and taken by the next player while we waited is a live lock,
// not a stale one, and removing it would let two writers in.
TEST_F(HighScoreFileTest, LockThatChangedHandsIsWaitedForAfresh) {
    make_lock();
    static std::string next_holder_lock;
    next_holder_lock = lock_path;
    lock_to_release = dir + "/nothing-to-release";
    release_at_sleep = 2;
    on_release = [] {
        // The next player's lock replaces the old one: a new file.
        const std::string fresh = next_holder_lock + ".next";
        const int fd = open(fresh.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0);
        ASSERT_GE(fd, 0);
        close(fd);
        ASSERT_EQ(std::rename(fresh.c_str(), next_holder_lock.c_str()), 0);
    };
    EXPECT_EQ(lock_high_scores(0, dir.c_str()), 0);
    // Three seconds behind the first holder, then three behind the next
    // one, who is taken to have died: one warning, for that lock only.
    EXPECT_EQ(sleeps, std::vector<unsigned>(6, 1));
    EXPECT_EQ(captured, "Warning: remove the lock file and retry...\n");
    EXPECT_EQ(lock_high_scores(1, dir.c_str()), 0);
}

TEST_F(HighScoreFileTest, StaleLockCostsThreeSecondsAndOneWarning) {
    set_lock_sleep(nullptr);
    make_lock();
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(record_high_score(50, 0, dir.c_str()), 0);
    const double waited =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_GE(waited, 2.9);
    EXPECT_LT(waited, 5.0);
    EXPECT_EQ(captured, "Warning: remove the lock file and retry...\n");
    EXPECT_FALSE(fs::exists(lock_path));
    EXPECT_EQ(decoded(*read_file(table_path)).entries[0][0].score, 50);
}

TEST_F(HighScoreFileTest, DataDirectoryThatCannotHoldTheLockFailsAfterThreeTries) {
    // A data directory below a regular file: not even root can create in it.
    write_file(dir + "/plain", {});
    const std::string data_dir = dir + "/plain/data";
    umask(027);
    EXPECT_EQ(record_high_score(5, 0, data_dir.c_str()), -1);
    EXPECT_EQ(captured, "Error: can't create lock file '" + data_dir + "/.LOCK'.\n");
    EXPECT_EQ(sleeps, (std::vector<unsigned>{1, 1, 1}));
    EXPECT_EQ(current_umask(), 027u);
}

TEST_F(HighScoreFileTest, ModesAreExactAndTheUmaskIsLeftAlone) {
    umask(077);
    ASSERT_EQ(record_high_score(5, 0, dir.c_str()), 0);
    struct stat table {};
    ASSERT_EQ(stat(table_path.c_str(), &table), 0);
    EXPECT_EQ(table.st_mode & 07777, 0664u);
    EXPECT_EQ(current_umask(), 077u);

    umask(0);
    ASSERT_EQ(lock_high_scores(0, dir.c_str()), 0);
    struct stat lock {};
    ASSERT_EQ(stat(lock_path.c_str(), &lock), 0);
    EXPECT_EQ(lock.st_mode & 07777, 0u);
    EXPECT_EQ(current_umask(), 0u);
}

TEST_F(HighScoreFileTest, ReleasingALockNobodyHoldsFails) {
    EXPECT_EQ(lock_high_scores(1, dir.c_str()), -1);
    EXPECT_EQ(captured, "Error: can't unlock hiscore file.\n");
}

// Paths are formed in 1024 bytes: "hiscore" fits a 1015-character directory,
// ".LOCK" a 1017-character one.
TEST_F(HighScoreFileTest, PathsOfMoreThan1023CharactersAreRefused) {
    const std::string dir_1015 = "/nonexistent" + std::string(1015 - 12, 'd');
    const std::string dir_1016 = dir_1015 + "d";
    HighScoreEntry row[HIGH_SCORE_ROWS];

    EXPECT_EQ(read_high_score_row(row, 0, dir_1015.c_str()), -1);
    EXPECT_EQ(captured, "");
    EXPECT_EQ(read_high_score_row(row, 0, dir_1016.c_str()), -1);
    EXPECT_EQ(record_high_score(5, 0, dir_1016.c_str()), -1);
    EXPECT_EQ(captured, "Error: hiscore file name too long.\nError: hiscore file name too long.\n");

    captured.clear();
    EXPECT_EQ(lock_high_scores(0, (dir_1016 + "dd").c_str()), -1);
    EXPECT_EQ(lock_high_scores(1, (dir_1016 + "dd").c_str()), -1);
    EXPECT_EQ(captured, "Error: lock file name too long.\nError: lock file name too long.\n");
    EXPECT_TRUE(sleeps.empty());

    captured.clear();
    EXPECT_EQ(lock_high_scores(0, (dir_1016 + "d").c_str()), -1);  // fits, cannot be made
    EXPECT_EQ(captured, "Error: can't create lock file '" + dir_1016 + "d/.LOCK'.\n");
}

TEST_F(HighScoreFileTest, ClassOutsideTheTableIsRefused) {
    HighScoreEntry row[HIGH_SCORE_ROWS];
    EXPECT_EQ(record_high_score(5, -1, dir.c_str()), -1);
    EXPECT_EQ(record_high_score(5, 4, dir.c_str()), -1);
    EXPECT_EQ(read_high_score_row(row, 4, dir.c_str()), -1);
    EXPECT_FALSE(fs::exists(table_path));
}

// A write that fails half-way (here: the file size limit) keeps the old
// table, leaves no temporary file and no lock. Runs in a child because of
// the limit.
TEST_F(HighScoreFileTest, FailedWriteKeepsTheOldTable) {
    const Bytes before = image_of(table_with(0, {100, 90, 80}));
    write_file(table_path, before);
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{100, 100};
        setrlimit(RLIMIT_FSIZE, &limit);
        captured.clear();
        const int rank = record_high_score(95, 0, dir.c_str());
        _exit(rank == -1 && captured == "Error: can't write hiscore file.\n" ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "expected -1 and the write error";
    EXPECT_EQ(read_file(table_path), before);
    EXPECT_EQ(files_in(dir), std::vector<std::string>{"hiscore"});
}

TEST_F(HighScoreFileTest, UnreadableTableIsNotReplacedByAnEmptyOne) {
    fs::create_directory(table_path);  // exists, cannot be read as a file
    EXPECT_EQ(record_high_score(5, 0, dir.c_str()), -1);
    EXPECT_EQ(captured, "Error: can't write hiscore file.\n");
    EXPECT_TRUE(fs::is_directory(table_path));
    EXPECT_FALSE(fs::exists(lock_path));
}

// The table is written into, never replaced: it keeps its inode, and so
// its owner, group and mode, and whatever lies past its 960 bytes.
TEST_F(HighScoreFileTest, TableIsUpdatedInPlace) {
    Bytes before = image_of(table_with(0, {100}));
    before.insert(before.end(), {'t', 'a', 'i', 'l'});
    write_file(table_path, before);
    ASSERT_EQ(chmod(table_path.c_str(), 0640), 0);
    struct stat old_file {};
    ASSERT_EQ(stat(table_path.c_str(), &old_file), 0);

    ASSERT_EQ(record_high_score(50, 0, dir.c_str()), 1);

    struct stat new_file {};
    ASSERT_EQ(stat(table_path.c_str(), &new_file), 0);
    EXPECT_EQ(new_file.st_ino, old_file.st_ino);
    EXPECT_EQ(new_file.st_mode & 07777, 0640u);
    const std::optional<Bytes> after = read_file(table_path);
    ASSERT_TRUE(after);
    ASSERT_EQ(after->size(), before.size());
    EXPECT_EQ(std::string(after->end() - 4, after->end()), "tail");
    EXPECT_EQ(scores_of(decoded(*after), 0)[1], 50);
    EXPECT_EQ(files_in(dir), std::vector<std::string>{"hiscore"});
}

// A FIFO at the table's name would block its open for ever; a link would
// send the write elsewhere. Neither is opened for the table nor replaced.
TEST_F(HighScoreFileTest, TableThatIsNoRegularFileIsLeftAlone) {
    alarm(10);  // a hang fails the test instead of the run
    for (const bool fifo : {true, false}) {
        captured.clear();
        std::remove(table_path.c_str());
        const std::string elsewhere = dir + "/elsewhere";
        write_file(elsewhere, image_of(empty_high_score_table()));
        ASSERT_EQ(fifo ? mkfifo(table_path.c_str(), 0664) : symlink(elsewhere.c_str(), table_path.c_str()), 0);
        HighScoreEntry row[HIGH_SCORE_ROWS];
        EXPECT_EQ(read_high_score_row(row, 0, dir.c_str()), -1);
        EXPECT_EQ(record_high_score(5, 0, dir.c_str()), -1);
        EXPECT_EQ(captured, "Error: can't write hiscore file.\n");
        struct stat st {};
        ASSERT_EQ(lstat(table_path.c_str(), &st), 0);
        EXPECT_TRUE(fifo ? S_ISFIFO(st.st_mode) : S_ISLNK(st.st_mode));
        EXPECT_EQ(read_file(elsewhere), image_of(empty_high_score_table()));
        EXPECT_FALSE(fs::exists(lock_path));
    }
    alarm(0);
}

// An entry at the lock's name that the exclusive create cannot make over is
// a held lock like any other: after three seconds it is removed with the
// warning and the result is stored, having cost next to no CPU time. Each
// kind runs in a process of its own, all at once, in a directory of its own.
TEST_F(HighScoreFileTest, LinkDirectoryOrFifoAtTheLockIsStaleAfterThreeSeconds) {
    struct Kind {
        const char* name;
        int (*make)(const char* path);
    };
    const Kind kinds[] = {
        {"dangling link", [](const char* path) { return symlink("/nonexistent/lock", path); }},
        {"directory", [](const char* path) { return mkdir(path, 0700); }},
        {"fifo", [](const char* path) { return mkfifo(path, 0600); }},
    };
    std::vector<std::pair<pid_t, std::string>> runs;
    const auto start = std::chrono::steady_clock::now();
    for (const Kind& kind : kinds) {
        const std::string data_dir = dir + "/" + kind.name;
        ASSERT_EQ(mkdir(data_dir.c_str(), 0700), 0);
        ASSERT_EQ(kind.make((data_dir + "/.LOCK").c_str()), 0) << kind.name;
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            alarm(10);
            set_lock_sleep(nullptr);
            captured.clear();
            const int rank = record_high_score(50, 0, data_dir.c_str());
            _exit(rank == 0 && captured == "Warning: remove the lock file and retry...\n" ? 0 : 1);
        }
        runs.emplace_back(pid, data_dir);
    }
    for (const auto& [pid, data_dir] : runs) {
        int status = 0;
        rusage usage {};
        ASSERT_EQ(wait4(pid, &status, 0, &usage), pid);
        const double cpu = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << data_dir << ": not stored with the warning";
        EXPECT_LT(cpu, 0.5) << data_dir << ": seconds of CPU while waiting";
        EXPECT_FALSE(fs::exists(data_dir + "/.LOCK")) << data_dir;
        const std::optional<Bytes> stored = read_file(data_dir + "/hiscore");
        ASSERT_TRUE(stored) << data_dir;
        EXPECT_EQ(decoded(*stored).entries[0][0].score, 50) << data_dir;
    }
    const double waited = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_GE(waited, 2.9);
    EXPECT_LT(waited, 6.0);
}

// A termination signal that comes while the lock is held waits until the
// lock is released and the table written; then it ends the process as
// usual, and leaves no lock and no stray file behind.
TEST_F(HighScoreFileTest, SignalWhileTheLockIsHeldEndsTheProcessAfterTheRelease) {
    for (const int signal_number : {SIGTERM, SIGINT, SIGHUP}) {
        write_file(table_path, image_of(table_with(0, {100})));
        static int to_send;
        to_send = signal_number;
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            set_lock_held_hook([] { kill(getpid(), to_send); });
            record_high_score(50, 0, dir.c_str());
            _exit(0);
        }
        int status = 0;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal_number) << strsignal(signal_number);
        EXPECT_EQ(files_in(dir), std::vector<std::string>{"hiscore"}) << strsignal(signal_number);
        const std::optional<Bytes> stored = read_file(table_path);
        ASSERT_TRUE(stored);
        EXPECT_EQ(stored->size(), HIGH_SCORE_TABLE_BYTES);
        EXPECT_EQ(scores_of(decoded(*stored), 0)[1], 50) << strsignal(signal_number);
    }
}

// A holder stopped just before its write, past the stale time, has its
// lock broken by the next player. The next player must not read the table
// before that write lands (it would write its own old copy over it later):
// it waits for the kernel's lock on the table, here until the holder goes
// on, writes and ends. Both results survive.
TEST_F(HighScoreFileTest, StoppedHolderKeepsTheTableFromTheNextPlayerUntilItsWrite) {
    write_file(table_path, image_of(table_with(0, {100})));
    static pid_t holder;
    holder = fork();
    ASSERT_GE(holder, 0);
    if (holder == 0) {
        set_lock_held_hook([] { raise(SIGSTOP); });
        captured.clear();
        setenv("LOGNAME", "holder", 1);
        const int rank = record_high_score(40, 0, dir.c_str());
        _exit(rank == -1 && captured == "Error: can't unlock hiscore file.\n" ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(holder, &status, WUNTRACED), holder);
    ASSERT_TRUE(WIFSTOPPED(status));

    // The next player: three seconds (of the fake sleep) behind the lock,
    // then behind the table until the holder has gone on.
    static int holder_status;
    holder_status = -1;
    lock_to_release = dir + "/nothing-to-release";
    release_at_sleep = 4;
    on_release = [] {
        kill(holder, SIGCONT);
        waitpid(holder, &holder_status, 0);
    };
    EXPECT_EQ(record_high_score(50, 0, dir.c_str()), 1);
    EXPECT_EQ(captured, "Warning: remove the lock file and retry...\n");
    if (holder_status == -1) {  // never waited for: let it write now
        kill(holder, SIGCONT);
        waitpid(holder, &holder_status, 0);
    }
    EXPECT_TRUE(WIFEXITED(holder_status) && WEXITSTATUS(holder_status) == 0);
    const std::optional<Bytes> stored = read_file(table_path);
    ASSERT_TRUE(stored);
    EXPECT_EQ(scores_of(decoded(*stored), 0), (std::vector<int>{100, 50, 40, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_FALSE(fs::exists(lock_path));
}

// The lock's owner changes its mode (and so its change time) all the time:
// it is still the same lock, stale after three seconds.
TEST_F(HighScoreFileTest, LockWhoseModeKeepsChangingIsStaleAfterThreeSeconds) {
    make_lock();
    static std::string changed;
    changed = lock_path;
    lock_to_release = dir + "/nothing-to-release";
    release_at_sleep = 1;
    on_release = [] {
        chmod(changed.c_str(), sleeps.size() % 2 ? 0400 : 0);
        release_at_sleep = sleeps.size() + 1;
        if (sleeps.size() > 20) unlink(changed.c_str());  // a wait without end ends here, failing
    };
    EXPECT_EQ(lock_high_scores(0, dir.c_str()), 0);
    EXPECT_EQ(sleeps, (std::vector<unsigned>{1, 1, 1}));
    EXPECT_EQ(captured, "Warning: remove the lock file and retry...\n");
    EXPECT_EQ(lock_high_scores(1, dir.c_str()), 0);
}

// Lock after lock, each a new one (players queueing, or a hostile one): the
// wait ends within the bound, and nothing is written.
TEST_F(HighScoreFileTest, LockThatKeepsChangingHandsIsGivenUpWithinTheBound) {
    write_file(table_path, image_of(table_with(0, {100})));
    make_lock();
    static std::string lock;
    lock = lock_path;
    lock_to_release = dir + "/nothing-to-release";
    release_at_sleep = 1;
    on_release = [] {
        const std::string fresh = lock + ".next";
        close(open(fresh.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0));
        std::rename(fresh.c_str(), lock.c_str());
        release_at_sleep = sleeps.size() + 1;
        if (sleeps.size() > 20) unlink(lock.c_str());  // a wait without end ends here, failing
    };
    EXPECT_EQ(record_high_score(50, 0, dir.c_str()), -1);
    EXPECT_EQ(sleeps.size(), LOCK_WAIT_LIMIT_SECONDS);
    EXPECT_EQ(captured, "Error: can't create lock file '" + lock_path + "'.\n");
    EXPECT_EQ(scores_of(decoded(*read_file(table_path)), 0)[1], 0);
}

}  // namespace
