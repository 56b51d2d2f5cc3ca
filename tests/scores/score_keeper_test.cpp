// score_keeper_test.cpp: the keeper's side of the socket: which requests it
// takes, that it answers them with the file's work and refuses the rest,
// and that it ends with the game, also a game that is killed.
#include "scores/score_keeper.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <climits>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "scores/high_score_file.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes request_bytes(std::int32_t kind, std::int32_t size_class, std::int32_t score) {
    Bytes bytes(12);
    std::memcpy(bytes.data(), &kind, 4);
    std::memcpy(bytes.data() + 4, &size_class, 4);
    std::memcpy(bytes.data() + 8, &score, 4);
    return bytes;
}

TEST(DecodeKeeperRequest, TakesTwelveBytesOfAKnownKindAndClass) {
    for (const std::int32_t score : {INT_MIN, -1, 0, INT_MAX}) {
        const std::optional<KeeperRequest> r = decode_keeper_request(request_bytes(KEEPER_RECORD, 3, score));
        ASSERT_TRUE(r.has_value()) << score;
        EXPECT_EQ(r->score, score);
        EXPECT_EQ(r->size_class, 3);
    }
    EXPECT_TRUE(decode_keeper_request(request_bytes(KEEPER_READ_ROW, 0, 0)).has_value());

    Bytes longer = request_bytes(KEEPER_RECORD, 0, 5), shorter = longer;
    longer.push_back(0);
    shorter.pop_back();
    const Bytes refused[] = {
        {}, shorter, longer,
        request_bytes(0, 0, 5), request_bytes(3, 0, 5), request_bytes(-1, 0, 5),
        request_bytes(KEEPER_RECORD, -1, 5), request_bytes(KEEPER_RECORD, 4, 5), request_bytes(KEEPER_READ_ROW, INT_MIN, 0),
    };
    for (const Bytes& bytes : refused)
        EXPECT_FALSE(decode_keeper_request(bytes).has_value()) << "a request of " << bytes.size() << " bytes";
}

class ScoreKeeperTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/clumpout-keeper-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
        setenv("LOGNAME", "keeper-test", 1);
    }
    void TearDown() override { std::filesystem::remove_all(dir); }
    std::string dir;
};

TEST_F(ScoreKeeperTest, AnswersWithTheFilesWorkAndRefusesBadRequests) {
    int ends[2];
    ASSERT_EQ(socketpair(AF_UNIX, SOCK_SEQPACKET, 0, ends), 0);
    const pid_t keeper = fork();
    ASSERT_GE(keeper, 0);
    if (keeper == 0) {
        close(ends[0]);
        serve_score_requests(ends[1], dir.c_str());
    }
    close(ends[1]);
    auto ask = [&ends](const Bytes& request) {
        KeeperAnswer answer{};
        answer.result = 99;
        EXPECT_EQ(send(ends[0], request.data(), request.size(), 0), static_cast<ssize_t>(request.size()));
        EXPECT_EQ(recv(ends[0], &answer, sizeof answer, 0), static_cast<ssize_t>(sizeof answer));
        return answer;
    };
    EXPECT_EQ(ask(request_bytes(KEEPER_READ_ROW, 2, 0)).result, -1);  // no table yet
    Bytes longer = request_bytes(KEEPER_RECORD, 2, 70);
    longer.push_back(1);
    EXPECT_EQ(ask(longer).result, -1);
    EXPECT_EQ(ask(request_bytes(KEEPER_RECORD, 4, 70)).result, -1);
    EXPECT_FALSE(std::filesystem::exists(dir + "/hiscore")) << "a refused request touched the table";

    EXPECT_EQ(ask(request_bytes(KEEPER_RECORD, 2, 70)).result, 0);
    const KeeperAnswer rows = ask(request_bytes(KEEPER_READ_ROW, 2, 0));
    EXPECT_EQ(rows.result, 0);
    EXPECT_EQ(rows.rows[0].score, 70);
    EXPECT_STREQ(rows.rows[0].name, "keeper-test");
    EXPECT_STREQ(rows.rows[1].name, EMPTY_NAME);

    close(ends[0]);  // the game's end: the keeper ends
    int status = 0;
    ASSERT_EQ(waitpid(keeper, &status, 0), keeper);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

// Whatever the game was started with stays with the game.
TEST_F(ScoreKeeperTest, KeepsNoDescriptorButItsSocketAndTheStandardOnes) {
    const int inherited = open("/dev/null", O_RDONLY);  // as a shell may pass one on
    ASSERT_GE(inherited, 0);
    ASSERT_EQ(start_score_keeper(dir.c_str()), 0);
    HighScoreEntry rows[HIGH_SCORE_ROWS];
    keeper_read_high_score_row(rows, 0, dir.c_str());  // answered: the keeper is past its start
    std::string children;
    std::ifstream("/proc/self/task/" + std::to_string(getpid()) + "/children") >> children;
    const std::string fd_dir = "/proc/" + children + "/fd";
    std::vector<std::string> open_fds;
    for (const auto& entry : std::filesystem::directory_iterator(fd_dir)) open_fds.push_back(entry.path().filename());
    stop_score_keeper();
    close(inherited);
    EXPECT_EQ(open_fds.size(), 4u) << "the standard three and the socket";
}

bool running(pid_t pid) {
    std::ifstream stat_file("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (!std::getline(stat_file, line)) return false;
    const std::size_t close_paren = line.rfind(')');
    return close_paren != std::string::npos && line.size() > close_paren + 2 && line[close_paren + 2] != 'Z';
}

// A game that is killed never closes its end itself: the keeper must still
// go, and not be left running on its own.
TEST_F(ScoreKeeperTest, EndsWhenTheGameIsKilled) {
    int report_pipe[2];
    ASSERT_EQ(pipe(report_pipe), 0);
    const pid_t game = fork();
    ASSERT_GE(game, 0);
    if (game == 0) {
        close(report_pipe[0]);
        if (start_score_keeper(dir.c_str()) != 0) _exit(1);
        const int rank = keeper_record_high_score(5, 0, "/nonexistent");  // the keeper's own directory counts
        // The keeper is this process's only child.
        std::string children;
        std::ifstream("/proc/self/task/" + std::to_string(getpid()) + "/children") >> children;
        const pid_t keeper = static_cast<pid_t>(std::atoi(children.c_str()));
        const int message[2] = {rank, keeper};
        (void)!write(report_pipe[1], message, sizeof message);
        pause();
        _exit(0);
    }
    close(report_pipe[1]);
    int message[2] = {-9, 0};
    ASSERT_EQ(read(report_pipe[0], message, sizeof message), static_cast<ssize_t>(sizeof message));
    close(report_pipe[0]);
    EXPECT_EQ(message[0], 0) << "the keeper did not store the result";
    const pid_t keeper = message[1];
    ASSERT_GT(keeper, 0);
    EXPECT_TRUE(running(keeper));

    kill(game, SIGKILL);
    waitpid(game, nullptr, 0);
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (running(keeper) && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_FALSE(running(keeper)) << "the keeper outlived the game";
}

}  // namespace
