// cli_test.cpp: the built program's command line and run sequence, seen from
// outside: what it prints, its exit status, and what happens to the settings
// file. Every run gets a temporary HOME and working directory and no DISPLAY,
// and is killed if it does not end, so no test can reach a real display.
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;

const std::string USAGE_TAIL = " [-display ???:?.?]\n";
const std::string VERSION_LINE = "Clumpout version 3.02\n";

std::string read_file(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void write_file(const fs::path& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

struct Outcome {
    bool finished = false;  // false: still running after the time limit, killed
    int status = -1;        // exit status when it exited normally
    std::string out, err;
};

class CliTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/clumpout-cli-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        root_ = pattern;
        home_ = root_ / "home";
        cwd_ = root_ / "cwd";
        fs::create_directory(home_);
        fs::create_directory(cwd_);
        settings_ = home_ / ".Clumpout";
    }
    void TearDown() override { fs::remove_all(root_); }

    // Runs `program` with exactly `argv` (argv[0] included).
    Outcome run(const std::vector<std::string>& argv, bool with_home = true,
            const std::string& program = CLUMPOUT_EXE) {
        const fs::path out_file = root_ / "stdout", err_file = root_ / "stderr";
        std::vector<std::string> env = {"PATH=/usr/bin:/bin"};
        if (with_home) env.push_back("HOME=" + home_.string());
        std::vector<char*> c_argv, c_env;
        for (const std::string& a : argv) c_argv.push_back(const_cast<char*>(a.c_str()));
        c_argv.push_back(nullptr);
        for (const std::string& e : env) c_env.push_back(const_cast<char*>(e.c_str()));
        c_env.push_back(nullptr);

        const pid_t child = fork();
        if (child == 0) {
            const int out = open(out_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            const int err = open(err_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            if (out < 0 || err < 0 || chdir(cwd_.c_str()) != 0) _exit(127);
            dup2(out, 1);
            dup2(err, 2);
            execve(program.c_str(), c_argv.data(), c_env.data());
            _exit(127);
        }
        Outcome result;
        int wait_status = 0;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (waitpid(child, &wait_status, WNOHANG) == 0) {
            if (std::chrono::steady_clock::now() > deadline) {
                kill(child, SIGKILL);
                waitpid(child, &wait_status, 0);
                return result;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        result.finished = true;
        if (WIFEXITED(wait_status)) result.status = WEXITSTATUS(wait_status);
        result.out = read_file(out_file);
        result.err = read_file(err_file);
        return result;
    }

    fs::path root_, home_, cwd_, settings_;
};

TEST_F(CliTest, BadArgumentsPrintVersionAndUsageAndLeaveTheSettingsAlone) {
    const std::string settings_text = "Width 25\nHeight 15\nPictures 2\n";
    write_file(settings_, settings_text);
    const timespec old_times[2] = {{1000000000, 0}, {1000000000, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, settings_.c_str(), old_times, 0), 0);

    const std::vector<std::vector<std::string>> bad_arguments = {
        {"-x"},
        {"host:0"},
        {"-display"},
        {"-Display", "host:0"},
        {"--display", "host:0"},
        {"-displa", "host:0"},
        {"-display", "host:0", "-x"},
        {"-display", "host:0", "-display"},
        {"-display", "host:0", "host:1"},
        {""},
    };
    for (const auto& arguments : bad_arguments) {
        std::vector<std::string> argv = {CLUMPOUT_EXE};
        argv.insert(argv.end(), arguments.begin(), arguments.end());
        const Outcome r = run(argv);
        const std::string label = ::testing::PrintToString(arguments);
        ASSERT_TRUE(r.finished) << label;
        EXPECT_EQ(r.status, 0) << label;
        EXPECT_EQ(r.out, VERSION_LINE + "Usage: clumpout" + USAGE_TAIL) << label;
        EXPECT_EQ(r.err, "") << label;
    }
    EXPECT_EQ(read_file(settings_), settings_text);
    struct stat info{};
    ASSERT_EQ(stat(settings_.c_str(), &info), 0);
    EXPECT_EQ(info.st_mtim.tv_sec, 1000000000);
    EXPECT_TRUE(fs::is_empty(cwd_));
}

TEST_F(CliTest, BadArgumentsDoNotEvenReadTheSettingsFile) {
    // A read moves an access time this old forward (even under relatime).
    write_file(settings_, "Width 25\n");
    const timespec old_times[2] = {{1000000000, 0}, {1000000000, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, settings_.c_str(), old_times, 0), 0);
    const Outcome r = run({CLUMPOUT_EXE, "-bogus"});
    ASSERT_TRUE(r.finished);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, VERSION_LINE + "Usage: clumpout" + USAGE_TAIL);
    struct stat info{};
    ASSERT_EQ(stat(settings_.c_str(), &info), 0);
    EXPECT_EQ(info.st_atim.tv_sec, 1000000000);
}

TEST_F(CliTest, UsageNamesTheProgramAfterTheLastSlash) {
    const fs::path bin = root_ / "some.dir" / "bin";
    fs::create_directories(bin);
    const fs::path link = bin / "tile-game";
    fs::create_symlink(CLUMPOUT_EXE, link);

    struct Case {
        std::string argv0, expected_name;
    };
    const Case cases[] = {
        {link.string(), "tile-game"},
        {"tile-game", "tile-game"},
        {"./x/tile.game", "tile.game"},
        {"odd/", ""},
    };
    for (const Case& c : cases) {
        const Outcome r = run({c.argv0, "-h"}, true, link.string());
        ASSERT_TRUE(r.finished) << c.argv0;
        EXPECT_EQ(r.status, 0) << c.argv0;
        EXPECT_EQ(r.out, VERSION_LINE + "Usage: " + c.expected_name + USAGE_TAIL) << c.argv0;
    }
}

TEST_F(CliTest, SecondDisplayPairIsTheOneUsed) {
    // Display numbers no server here answers to; nothing in the environment
    // names a display either.
    const Outcome r = run({CLUMPOUT_EXE, "-display", ":4193", "-display", ":4197"});
    ASSERT_TRUE(r.finished);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "Clumpout: can't open display: :4197.\n");
}

TEST_F(CliTest, SettingsAreWrittenBackWhenTheGameCannotStart) {
    write_file(settings_, "# mine\n  Width 25\nHeight 15 # tall\nPictures 2\n");
    const Outcome r = run({CLUMPOUT_EXE, "-display", ":4193", "-display", ":4197"});
    ASSERT_TRUE(r.finished);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(read_file(settings_), "# Clumpout\nWidth   25\nHeight  15\nPictures 2\n");
}

TEST_F(CliTest, MissingSettingsFileIsCreatedWithTheDefaults) {
    const Outcome r = run({CLUMPOUT_EXE, "-display", ":4197"});
    ASSERT_TRUE(r.finished);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(read_file(settings_), "# Clumpout\nWidth   20\nHeight  10\nPictures 1\n");
}

TEST_F(CliTest, WithoutHomeNoSettingsFileIsMade) {
    const Outcome r = run({CLUMPOUT_EXE, "-display", ":4197"}, false);
    ASSERT_TRUE(r.finished);
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(fs::is_empty(cwd_));
    EXPECT_TRUE(fs::is_empty(home_));
}

}  // namespace
