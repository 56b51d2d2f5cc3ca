// line_reader_test.cpp: the one text cutter every file reader relies on,
// tested once and hard: piece lengths, kept newlines, NUL bytes, the last
// line, comments and word splitting.
#include "base/line_reader.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

using namespace std::string_literals;
using Pieces = std::vector<std::string>;

Pieces cut(std::string_view text) {
    Pieces pieces;
    LineReader reader(text);
    while (const auto piece = reader.next()) pieces.emplace_back(*piece);
    return pieces;
}

TEST(LineReader, CutsLikeAnFgetsBufferOf256Bytes) {
    struct Case {
        const char* name;
        std::string text;
        Pieces expected;
    };
    const std::string a254(254, 'a'), a255(255, 'a');
    const Case cases[] = {
        {"no data", "", {}},
        {"newline kept", "one\ntwo\n", {"one\n", "two\n"}},
        {"last line without newline", "one\ntwo", {"one\n", "two"}},
        {"blank lines", "\n\n", {"\n", "\n"}},
        {"254 characters and newline fill one piece", a254 + "\n", {a254 + "\n"}},
        {"255 characters leave the newline alone", a255 + "\n", {a255, "\n"}},
        {"long line without newline", std::string(600, 'b'),
         {std::string(255, 'b'), std::string(255, 'b'), std::string(90, 'b')}},
        {"NUL ends the visible piece", "ab\0cd\nef"s, {"ab", "ef"}},
        {"NUL first", "\0x\ny\n"s, {"", "y\n"}},
        {"NUL in a long piece hides up to the cut", std::string(10, 'c') + '\0' + std::string(289, 'd'),
         {std::string(10, 'c'), std::string(45, 'd')}},
    };
    for (const Case& c : cases) EXPECT_EQ(cut(c.text), c.expected) << c.name;
}

TEST(LineReader, StaysAtTheEnd) {
    LineReader reader("x");
    EXPECT_EQ(reader.next(), "x");
    EXPECT_EQ(reader.next(), std::nullopt);
    EXPECT_EQ(reader.next(), std::nullopt);
}

TEST(CutComment, DropsFromTheFirstHash) {
    EXPECT_EQ(cut_comment("Width 25 # wide\n"), "Width 25 ");
    EXPECT_EQ(cut_comment("#Width 25\n"), "");
    EXPECT_EQ(cut_comment("a#b#c"), "a");
    EXPECT_EQ(cut_comment("no comment\n"), "no comment\n");
    EXPECT_EQ(cut_comment(""), "");
}

TEST(SplitWords, SeparatesOnCLocaleSpace) {
    std::string_view words[3];
    EXPECT_EQ(split_words(" one\ttwo\v\fthree\r\n", words, 3), 3u);
    EXPECT_EQ(words[0], "one");
    EXPECT_EQ(words[1], "two");
    EXPECT_EQ(words[2], "three");

    EXPECT_EQ(split_words("", words, 3), 0u);
    EXPECT_EQ(split_words(" \t\n", words, 3), 0u);
}

TEST(SplitWords, CountsBeyondTheRoomItFills) {
    std::string_view words[2] = {"untouched", "untouched"};
    EXPECT_EQ(split_words("a b c d", words, 1), 4u);
    EXPECT_EQ(words[0], "a");
    EXPECT_EQ(words[1], "untouched");
}

TEST(ReadWholeFile, ReturnsEveryByteOrNothing) {
    char path[] = "/tmp/clumpout-reader-XXXXXX";
    const int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    const std::string data = "a\0b\n"s + std::string(10000, 'z');
    ASSERT_EQ(write(fd, data.data(), data.size()), static_cast<ssize_t>(data.size()));
    close(fd);

    EXPECT_EQ(read_whole_file(path), data);
    EXPECT_EQ(read_whole_file(path, 5000), data.substr(0, 5000));
    std::remove(path);
    EXPECT_EQ(read_whole_file(path), std::nullopt);
}

// A text file named by mistake must not take all memory.
TEST(ReadWholeFile, StopsAtItsLimit) {
    char path[] = "/tmp/clumpout-reader-XXXXXX";
    const int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(ftruncate(fd, 2 * TEXT_FILE_MAX), 0);  // sparse: no disk needed
    close(fd);
    const std::optional<std::string> zeros = read_whole_file(path);
    std::remove(path);
    ASSERT_TRUE(zeros.has_value());
    EXPECT_EQ(zeros->size(), TEXT_FILE_MAX);
}

// Opening a FIFO for reading waits for a writer, for ever if none comes,
// and a device may never end: neither counts as a file that can be read,
// and the FIFO is left as it was. The alarm turns a hang into a failure.
TEST(ReadWholeFile, ReadsOnlyRegularFilesAndNeverBlocks) {
    char dir[] = "/tmp/clumpout-reader-XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    const std::string fifo = std::string(dir) + "/fifo";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    alarm(10);
    for (const std::string& path : {fifo, std::string("/dev/zero"), std::string(dir)}) {
        EXPECT_EQ(read_whole_file(path.c_str()), std::nullopt) << path;
        EXPECT_FALSE(is_readable_regular_file(path.c_str())) << path;
    }
    alarm(0);
    struct stat st {};
    EXPECT_EQ(lstat(fifo.c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
    std::remove(fifo.c_str());
    rmdir(dir);
}

}  // namespace
