// privileges_test.cpp: giving up the group as a setgid install sees it.
// Root can give a process any real, effective and saved group, so the drop
// runs in a forked child that first makes itself look like a player's
// setgid start; the test process itself keeps its ids. Without root that
// case is skipped.
#include "base/privileges.h"

#include <grp.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include <gtest/gtest.h>

#include "base/report.h"

// The C library's getresgid, or a failure when a test asks for one.
bool fail_getresgid = false;
extern "C" int getresgid(gid_t* real, gid_t* effective, gid_t* saved) {
    if (fail_getresgid) {
        errno = EFAULT;
        return -1;
    }
    return static_cast<int>(syscall(SYS_getresgid, real, effective, saved));
}

namespace {

constexpr gid_t PLAYER_GROUP = 4241;
constexpr gid_t GAMES_GROUP = 4242;
constexpr uid_t PLAYER_USER = 4243;

std::string captured;
void capture(std::string_view message) { captured += message; }

// Exit status 0 when the drop left nothing to take back, else the step
// that failed.
int drop_as_player() {
    gid_t none[1] = {};
    if (setgroups(0, none) != 0 || setresgid(PLAYER_GROUP, GAMES_GROUP, GAMES_GROUP) != 0) return 10;
    // A player, not root: root could take any group back.
    if (setresuid(PLAYER_USER, PLAYER_USER, PLAYER_USER) != 0) return 11;
    if (drop_group_privilege() != 0) return 1;
    gid_t real = 0, effective = 0, saved = 0;
    getresgid(&real, &effective, &saved);
    if (real != PLAYER_GROUP || effective != PLAYER_GROUP || saved != PLAYER_GROUP) return 2;
    if (setegid(GAMES_GROUP) == 0) return 3;
    return 0;
}

TEST(DropGroupPrivilege, LeavesNoGroupToTakeBack) {
    if (geteuid() != 0) GTEST_SKIP() << "needs root to fake a setgid start";
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) _exit(drop_as_player());
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "1: drop failed, 2: ids not all the player's, 3: group taken back";
}

TEST(DropGroupPrivilege, FailsClosedWhenTheGroupsCannotBeRead) {
    captured.clear();
    set_report_sink(capture);
    fail_getresgid = true;
    const int result = drop_group_privilege();
    fail_getresgid = false;
    set_report_sink(nullptr);
    EXPECT_EQ(result, -1);
    EXPECT_EQ(captured, "Error: can't drop group privilege.\n");
}

}  // namespace
