// settings_test.cpp: the settings file, first as text through parse_settings,
// then as a file under a temporary HOME.
#include "app/settings.h"

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

namespace {

struct Values {
    int columns, rows, pictures;
    bool operator==(const Values&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Values& v) {
    return out << "{" << v.columns << ", " << v.rows << ", " << v.pictures << "}";
}

Values parse(std::string_view text) {
    Values v = {-7, -7, -7};
    parse_settings(text, &v.columns, &v.rows, &v.pictures);
    return v;
}

using namespace std::string_literals;

TEST(ParseSettings, LinesAndValues) {
    struct Case {
        const char* name;
        std::string text;
        Values expected;
    };
    const Case cases[] = {
        {"empty file", "", {20, 10, 1}},
        {"header only", "# Clumpout\n", {20, 10, 1}},
        {"as written", "# Clumpout\nWidth   25\nHeight  15\nPictures 2\n", {25, 15, 2}},
        {"width below range", "Width 5\n", {10, 10, 1}},
        {"width above range", "Width 99\n", {30, 10, 1}},
        {"custom width", "Width 12\n", {12, 10, 1}},
        {"height below range", "Height 3\n", {20, 8, 1}},
        {"height above range", "Height 50\n", {20, 20, 1}},
        {"custom height", "Height 9\n", {20, 9, 1}},
        {"negative pictures", "Pictures -4\n", {20, 10, 1}},
        {"catalogue pictures", "Pictures 7\n", {20, 10, 7}},
        {"pictures zero", "Pictures 0\n", {20, 10, 0}},
        {"plus sign", "Pictures +3\n", {20, 10, 3}},
        {"indent and comment", "    Width 25   # wide board\n", {25, 10, 1}},
        {"number run on to key", "Width25\n", {25, 10, 1}},
        {"tab between key and number", "Height\t12\n", {20, 12, 1}},
        {"trailing letters after number", "Width 12abc\n", {12, 10, 1}},
        {"carriage return", "Width 25\r\n", {25, 10, 1}},
        {"no final newline", "Height 12", {20, 12, 1}},
        {"key after hash", "#Width 25\n", {20, 10, 1}},
        {"lower-case key", "width 25\n", {20, 10, 1}},
        {"tab indent", "\tWidth 25\n", {20, 10, 1}},
        {"comment hides number", "Width # 25\n", {20, 10, 1}},
        {"last line wins", "Width 12\nWidth 14\n", {14, 10, 1}},
        {"only the first key counts", "Height 12 Width 25\n", {20, 12, 1}},
        {"number on the next line", "Width\n25\n", {20, 10, 1}},
        {"key alone keeps the earlier value", "Width 25\nWidth\n", {25, 10, 1}},
        {"key with letters keeps the earlier value", "Width 14\nWidthx 12\n", {14, 10, 1}},
        {"kept value stays clamped", "Pictures -2\nPictures x\n", {20, 10, 1}},
        {"huge width", "Width 99999999999\n", {30, 10, 1}},
        {"huge pictures", "Pictures 99999999999\n", {20, 10, INT_MAX}},
        {"huge negative pictures", "Pictures -99999999999\n", {20, 10, 1}},
        {"digits beyond any integer", "Pictures " + std::string(40, '9') + "\n", {20, 10, INT_MAX}},
        {"nul ends the line", "Width 1\0"s "9\nHeight 9\n", {10, 9, 1}},
        // A 256-byte buffer: the first piece ends right after the key, so its
        // number is lost and " 25\n" is a line of its own.
        {"key cut at the piece end", std::string(250, ' ') + "Width 25\n", {20, 10, 1}},
        {"key starting a second piece", std::string(255, 'x') + "Width 25\n", {25, 10, 1}},
    };
    for (const Case& c : cases) EXPECT_EQ(parse(c.text), c.expected) << c.name;
}

// ---- the file -------------------------------------------------------------------

std::string read_file(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void write_file(const std::filesystem::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

class SettingsFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (const char* home = std::getenv("HOME")) saved_home_ = home;
        char pattern[] = "/tmp/clumpout-settings-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        home_ = pattern;
        setenv("HOME", pattern, 1);
        settings_file_ = home_ / ".Clumpout";
    }
    void TearDown() override {
        if (saved_home_) setenv("HOME", saved_home_->c_str(), 1);
        else unsetenv("HOME");
        std::filesystem::remove_all(home_);
    }

    std::optional<std::string> saved_home_;
    std::filesystem::path home_;
    std::filesystem::path settings_file_;
};

TEST_F(SettingsFileTest, MissingFileGivesDefaultsAndIsCreatedWithFourLines) {
    Values v = {1, 2, 3};
    EXPECT_EQ(read_settings(&v.columns, &v.rows, &v.pictures), 0);
    EXPECT_EQ(v, (Values{20, 10, 1}));
    ASSERT_NE(settings_path, nullptr);
    EXPECT_EQ(std::string(settings_path), (home_ / ".Clumpout").string());

    EXPECT_EQ(write_settings(v.columns, v.rows, v.pictures), 0);
    EXPECT_EQ(read_file(settings_file_), "# Clumpout\nWidth   20\nHeight  10\nPictures 1\n");
}

TEST_F(SettingsFileTest, WrittenValuesReadBack) {
    Values v{};
    read_settings(&v.columns, &v.rows, &v.pictures);
    EXPECT_EQ(write_settings(12, 9, 7), 0);
    EXPECT_EQ(read_file(settings_file_), "# Clumpout\nWidth   12\nHeight   9\nPictures 7\n");
    EXPECT_EQ(read_settings(&v.columns, &v.rows, &v.pictures), 0);
    EXPECT_EQ(v, (Values{12, 9, 7}));
}

TEST_F(SettingsFileTest, NegativePicturesAreWrittenAsOne) {
    Values v{};
    read_settings(&v.columns, &v.rows, &v.pictures);
    EXPECT_EQ(write_settings(30, 20, -1), 0);
    EXPECT_EQ(read_file(settings_file_), "# Clumpout\nWidth   30\nHeight  20\nPictures 1\n");
}

TEST_F(SettingsFileTest, ExistingFileIsReadAndKeepsItsPermissions) {
    write_file(settings_file_, "Width 25\nHeight 15\nPictures 2\n# trailing\n");
    ASSERT_EQ(chmod(settings_file_.c_str(), 0640), 0);
    Values v{};
    EXPECT_EQ(read_settings(&v.columns, &v.rows, &v.pictures), 0);
    EXPECT_EQ(v, (Values{25, 15, 2}));

    EXPECT_EQ(write_settings(15, 8, 0), 0);
    EXPECT_EQ(read_file(settings_file_), "# Clumpout\nWidth   15\nHeight   8\nPictures 0\n");
    struct stat info{};
    ASSERT_EQ(stat(settings_file_.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
}

TEST_F(SettingsFileTest, UnwritablePlaceFailsQuietly) {
    setenv("HOME", (home_ / "missing" / "dir").c_str(), 1);
    Values v{};
    EXPECT_EQ(read_settings(&v.columns, &v.rows, &v.pictures), 0);
    EXPECT_EQ(v, (Values{20, 10, 1}));
    EXPECT_EQ(write_settings(20, 10, 1), -1);
    EXPECT_FALSE(std::filesystem::exists(home_ / "missing"));
}

TEST_F(SettingsFileTest, HomeUnsetReadsAndWritesNothing) {
    write_file(settings_file_, "Width 25\n");
    Values v{};
    read_settings(&v.columns, &v.rows, &v.pictures);  // a path from an earlier HOME
    ASSERT_EQ(v.columns, 25);

    unsetenv("HOME");
    const std::filesystem::path old_cwd = std::filesystem::current_path();
    const std::filesystem::path cwd = home_ / "cwd";
    std::filesystem::create_directory(cwd);
    std::filesystem::current_path(cwd);

    v = {1, 2, 3};
    EXPECT_EQ(read_settings(&v.columns, &v.rows, &v.pictures), -1);
    EXPECT_EQ(v, (Values{20, 10, 1}));
    EXPECT_EQ(settings_path, nullptr);
    EXPECT_EQ(write_settings(30, 20, 2), 0);

    std::filesystem::current_path(old_cwd);
    EXPECT_TRUE(std::filesystem::is_empty(cwd));
    EXPECT_EQ(read_file(settings_file_), "Width 25\n");
}

// Opening a FIFO would block for ever; one named as the settings file is
// neither read nor replaced. The alarm turns a hang into a failure.
TEST_F(SettingsFileTest, FifoIsNeitherReadNorReplaced) {
    ASSERT_EQ(mkfifo(settings_file_.c_str(), 0600), 0);
    alarm(10);
    Values v = {1, 2, 3};
    EXPECT_EQ(read_settings(&v.columns, &v.rows, &v.pictures), 0);
    EXPECT_EQ(v, (Values{20, 10, 1}));
    EXPECT_EQ(write_settings(25, 15, 2), -1);
    alarm(0);
    EXPECT_TRUE(std::filesystem::is_fifo(settings_file_));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(home_), {}), 1);
}

// A write that fails half-way (a full disk; here a file size limit, which
// a child can set) keeps the old settings and leaves no temporary file.
TEST_F(SettingsFileTest, FailedWriteKeepsTheOldFile) {
    const std::string old_text = "# mine\nWidth 25\nHeight 15\nPictures 2\n";
    write_file(settings_file_, old_text);
    Values v{};
    read_settings(&v.columns, &v.rows, &v.pictures);
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        const rlimit limit{10, 10};
        setrlimit(RLIMIT_FSIZE, &limit);
        _exit(write_settings(30, 20, 1) == -1 ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the write did not fail with -1";
    EXPECT_EQ(read_file(settings_file_), old_text);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(home_), {}), 1);
}

}  // namespace
