// setgid_test.cpp: the game installed setgid to a group of its own, with
// the data directory and the high-score table as the install leaves them,
// played by two accounts in turn. Root only: the test makes the group and
// the accounts, and removes them again. The table must stay root's and
// shared, only the score keeper may hold the group, and the keeper must
// end with the game.
#include "e2e/e2e_fixture.h"

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "scores/high_score_table.h"

namespace {

namespace fs = std::filesystem;

struct Account {
    std::string name;
    uid_t uid = 0;
    gid_t gid = 0;
    std::string home;  // also its working directory
};

int quietly(const std::string& command) { return std::system((command + " >/dev/null 2>&1").c_str()); }

// Real, effective, saved and file-system group of a process.
std::vector<gid_t> groups_of(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    std::vector<gid_t> ids;
    while (std::getline(status, line))
        if (line.rfind("Gid:", 0) == 0) {
            std::istringstream fields(line.substr(4));
            gid_t id;
            while (fields >> id) ids.push_back(id);
        }
    return ids;
}

std::vector<pid_t> children_of(pid_t pid)
{
    std::ifstream list("/proc/" + std::to_string(pid) + "/task/" + std::to_string(pid) + "/children");
    std::vector<pid_t> children;
    pid_t child;
    while (list >> child) children.push_back(child);
    return children;
}

bool running(pid_t pid)
{
    std::ifstream stat_file("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (!std::getline(stat_file, line)) return false;
    const size_t close = line.rfind(')');
    return close != std::string::npos && line.size() > close + 2 && line[close + 2] != 'Z';
}

// Whether `account` may do `action` (true = it succeeded), tried in a child
// with the account's ids.
bool as_account(const Account& account, bool (*action)(const char* path), const std::string& path)
{
    const pid_t pid = fork();
    if (pid == 0) {
        if (setgroups(0, nullptr) != 0 || setresgid(account.gid, account.gid, account.gid) != 0 ||
            setresuid(account.uid, account.uid, account.uid) != 0)
            _exit(2);
        _exit(action(path.c_str()) ? 0 : 1);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool open_for_writing(const char* path)
{
    const int fd = open(path, O_WRONLY);
    if (fd >= 0) close(fd);
    return fd >= 0;
}

bool create_inside(const char* dir)
{
    const std::string path = std::string(dir) + "/.taken";
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600);
    if (fd >= 0) {
        close(fd);
        unlink(path.c_str());
    }
    return fd >= 0;
}

bool reach(const char* path) { return access(path, X_OK) == 0; }

class SetgidInstallTest : public E2eTest {
protected:
    void SetUp() override
    {
        if (geteuid() != 0) GTEST_SKIP() << "needs root to make accounts, a group and a setgid program";
        E2eTest::SetUp();
        if (HasFatalFailure()) return;
        const std::string suffix = std::to_string(getpid() % 100000);
        group = "clmpg" + suffix;
        ASSERT_EQ(quietly("groupadd " + group), 0) << "groupadd " << group;
        made_group = true;
        const struct group* games = getgrnam(group.c_str());
        ASSERT_NE(games, nullptr);
        games_gid = games->gr_gid;
        for (const char* letter : {"a", "b"}) {
            Account account;
            account.name = std::string("clmp") + letter + suffix;
            ASSERT_EQ(quietly("useradd -M -U -s /usr/sbin/nologin " + account.name), 0) << account.name;
            made_accounts.push_back(account.name);
            const passwd* entry = getpwnam(account.name.c_str());
            ASSERT_NE(entry, nullptr);
            account.uid = entry->pw_uid;
            account.gid = entry->pw_gid;
            ASSERT_NE(account.gid, games_gid);
            account.home = temp_dir + "/" + account.name;
            fs::create_directory(account.home);
            ASSERT_EQ(chown(account.home.c_str(), account.uid, account.gid), 0);
            write_file(account.home + "/.Clumpout", "Width 15\nHeight 8\nPictures 0\n");  // Small, "Marble"
            ASSERT_EQ(chown((account.home + "/.Clumpout").c_str(), account.uid, account.gid), 0);
            accounts.push_back(account);
        }
        ASSERT_EQ(chmod(temp_dir.c_str(), 0711), 0);

        // As the install leaves them: the game setgid, the data directory
        // the group's with mode 2775, the table root's and the group's, 0664.
        program = temp_dir + "/clumpout";
        fs::copy_file(E2E_GAME_BINARY, program);
        ASSERT_EQ(chown(program.c_str(), 0, games_gid), 0);
        ASSERT_EQ(chmod(program.c_str(), 02755), 0);
        ASSERT_EQ(stat(E2E_DATA_DIR, &data_dir_before), 0);
        data_dir_changed = true;
        ASSERT_EQ(chown(E2E_DATA_DIR, 0, games_gid), 0);
        ASSERT_EQ(chmod(E2E_DATA_DIR, 02775), 0);
        HighScoreTable table = empty_high_score_table();
        for (int r = 0; r < HIGH_SCORE_ROWS; ++r) insert_result(table, 0, r, -100000 - r, "filler");
        const HighScoreImage image = encode_high_score_table(table);
        write_file(data_path("hiscore"), std::string(image.begin(), image.end()));
        ASSERT_EQ(chown(data_path("hiscore").c_str(), 0, games_gid), 0);
        ASSERT_EQ(chmod(data_path("hiscore").c_str(), 0664), 0);

        if (!as_account(accounts[0], reach, E2E_DATA_DIR) || !as_account(accounts[0], reach, program))
            GTEST_SKIP() << "the build tree is out of reach of other accounts";
        // Leak checking stops the world through ptrace, which a process that
        // changed its groups does not allow.
        if (const char* options = std::getenv("ASAN_OPTIONS")) asan_options_before = options;
        setenv("ASAN_OPTIONS", (asan_options_before.value_or("") + ":detect_leaks=0").c_str(), 1);
    }

    void TearDown() override
    {
        game.kill_now();
        if (asan_options_before) setenv("ASAN_OPTIONS", asan_options_before->c_str(), 1);
        else unsetenv("ASAN_OPTIONS");
        if (data_dir_changed) {
            chown(E2E_DATA_DIR, data_dir_before.st_uid, data_dir_before.st_gid);
            chmod(E2E_DATA_DIR, data_dir_before.st_mode & 07777);
        }
        E2eTest::TearDown();
        for (const std::string& name : made_accounts) {
            quietly("userdel -f " + name);
            quietly("groupdel " + name);
        }
        if (made_group) quietly("groupdel " + group);
    }

    // One game to its end as `account`, with the groups of its processes
    // checked while it runs; the keeper's pid goes to `keeper`.
    void play_as(const Account& account, Score& score, pid_t& keeper)
    {
        GameOptions options = game_options();
        options.program = program;
        options.home = options.cwd = account.home;
        options.logname = account.name;
        options.uid = account.uid;
        options.gid = account.gid;
        start_game(options);
        ASSERT_TRUE(windows.complete);

        EXPECT_EQ(groups_of(game.pid()), std::vector<gid_t>(4, account.gid)) << "the game's groups";
        const std::vector<pid_t> children = children_of(game.pid());
        ASSERT_EQ(children.size(), 1u) << "the game has no one score keeper";
        keeper = children[0];
        const std::vector<gid_t> keeper_groups = groups_of(keeper);
        ASSERT_EQ(keeper_groups.size(), 4u);
        EXPECT_EQ(keeper_groups[0], account.gid) << "the keeper's real group";
        EXPECT_EQ(keeper_groups[1], games_gid) << "the keeper's effective group";

        use_builtin_set(SET_MARBLE);
        score = {0, 15 * 8};
        play_to_end(read_board(), score);
    }

    // Waits until `name` stands in class 0 of the table; the whole class.
    std::vector<std::pair<std::string, int>> wait_for_entry(const std::string& name)
    {
        std::vector<std::pair<std::string, int>> rows;
        const auto until = std::chrono::steady_clock::now() + 10s;
        for (;;) {
            const std::string bytes = read_file(data_path("hiscore"));
            HighScoreTable table{};
            decode_high_score_table(std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()),
                                    table);
            rows.clear();
            bool found = false;
            for (const HighScoreEntry& e : table.entries[0]) {
                rows.emplace_back(std::string(e.name, strnlen(e.name, HIGH_SCORE_NAME_BYTES)), e.score);
                found = found || rows.back().first == name;
            }
            if (found || std::chrono::steady_clock::now() > until) return rows;
            std::this_thread::sleep_for(20ms);
        }
    }

    std::string group;
    gid_t games_gid = 0;
    bool made_group = false;
    std::vector<std::string> made_accounts;
    std::vector<Account> accounts;
    std::string program;
    struct stat data_dir_before {};
    bool data_dir_changed = false;
    std::optional<std::string> asan_options_before;
};

TEST_F(SetgidInstallTest, TwoAccountsShareTheTableThatNeitherCanTakeOver)
{
    std::vector<int> results;
    for (const Account& account : accounts) {
        Score score;
        pid_t keeper = -1;
        play_as(account, score, keeper);
        ASSERT_FALSE(HasFailure()) << account.name;
        results.push_back(score.gets - score.rests);
        const auto rows = wait_for_entry(account.name);
        EXPECT_NE(std::find(rows.begin(), rows.end(), std::pair{account.name, results.back()}), rows.end())
            << account.name << " with " << results.back() << " is not in the table";

        EXPECT_EQ(quit_with_button3(windows.board.id), 0) << account.name;
        EXPECT_FALSE(running(keeper)) << "the keeper outlived " << account.name << "'s game";

        struct stat table {};
        ASSERT_EQ(stat(data_path("hiscore").c_str(), &table), 0);
        EXPECT_EQ(table.st_uid, 0u) << "the table changed hands after " << account.name;
        EXPECT_EQ(table.st_gid, games_gid);
        EXPECT_EQ(table.st_mode & 07777, 0664u);
        for (const Account& anyone : accounts) {
            EXPECT_FALSE(as_account(anyone, open_for_writing, data_path("hiscore"))) << anyone.name;
            EXPECT_FALSE(as_account(anyone, create_inside, E2E_DATA_DIR)) << anyone.name;
        }
    }
    const auto rows = wait_for_entry(accounts[0].name);
    for (size_t i = 0; i < accounts.size(); ++i)
        EXPECT_NE(std::find(rows.begin(), rows.end(), std::pair{accounts[i].name, results[i]}), rows.end())
            << accounts[i].name << " was lost";
    EXPECT_FALSE(fs::exists(data_path(".LOCK")));
}

// A keeper with the group never makes a missing table: it would belong to
// the player. The install makes it again.
TEST_F(SetgidInstallTest, MissingTableIsNotMadeByAPlayersKeeper)
{
    ASSERT_TRUE(fs::remove(data_path("hiscore")));
    Score score;
    pid_t keeper = -1;
    play_as(accounts[0], score, keeper);
    ASSERT_FALSE(HasFailure());
    const auto until = std::chrono::steady_clock::now() + 10s;
    while (game.stderr_text().find("Error: can't write hiscore file.\n") == std::string::npos &&
           std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(20ms);
    EXPECT_EQ(game.stderr_text(), "Error: can't write hiscore file.\n");
    EXPECT_FALSE(fs::exists(data_path("hiscore")));
    EXPECT_FALSE(fs::exists(data_path(".LOCK")));
}

}  // namespace
