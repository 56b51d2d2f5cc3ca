// privileges_test.cpp: the group switching as a setgid install sees it.
// Root can give a process any real, effective and saved group, so each case
// runs in a forked child that first makes itself look like a setgid start;
// the test process itself keeps its ids. Without root the cases are skipped.
#include "base/privileges.h"

#include <fcntl.h>
#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

#include <gtest/gtest.h>

namespace {

constexpr gid_t PLAYER_GROUP = 4241;
constexpr gid_t GAMES_GROUP = 4242;
constexpr uid_t PLAYER_USER = 4243;

struct Groups {
    gid_t real, effective, saved;
    bool operator==(const Groups&) const = default;
};

Groups current_groups() {
    Groups g{};
    getresgid(&g.real, &g.effective, &g.saved);
    return g;
}

std::string describe(const char* step, Groups got, Groups want) {
    return std::string(step) + ": got " + std::to_string(got.real) + "/" +
           std::to_string(got.effective) + "/" + std::to_string(got.saved) + ", want " +
           std::to_string(want.real) + "/" + std::to_string(want.effective) + "/" +
           std::to_string(want.saved);
}

// Runs body in a child process; body returns "" or the first failure.
std::string in_child(const std::function<std::string()>& body) {
    int fds[2];
    if (pipe(fds) != 0) return "pipe failed";
    pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        std::string failure = body();
        if (write(fds[1], failure.data(), failure.size()) < 0) _exit(2);
        _exit(0);
    }
    close(fds[1]);
    std::string failure;
    char buffer[256];
    ssize_t n;
    while ((n = read(fds[0], buffer, sizeof buffer)) > 0) failure.append(buffer, n);
    close(fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return "child died: " + failure;
    return failure;
}

// What the kernel gives a setgid-games program started by a player.
bool become_setgid_start() {
    gid_t none[1] = {};
    return setgroups(0, none) == 0 &&
           setresgid(PLAYER_GROUP, GAMES_GROUP, GAMES_GROUP) == 0;
}

class PrivilegesTest : public testing::Test {
protected:
    void SetUp() override {
        if (geteuid() != 0) GTEST_SKIP() << "needs root to fake a setgid start";
    }
};

TEST_F(PrivilegesTest, DropKeepsSavedGroupAndNestedGuardsRegainItOnce) {
    EXPECT_EQ(in_child([]() -> std::string {
                  if (!become_setgid_start()) return "setup failed";
                  const Groups dropped{PLAYER_GROUP, PLAYER_GROUP, GAMES_GROUP};
                  const Groups raised{PLAYER_GROUP, GAMES_GROUP, GAMES_GROUP};
                  drop_group_privilege();
                  if (current_groups() != dropped)
                      return describe("after drop", current_groups(), dropped);
                  {
                      GamesGroup outer;
                      if (current_groups() != raised)
                          return describe("outer guard", current_groups(), raised);
                      {
                          GamesGroup inner;
                          if (current_groups() != raised)
                              return describe("inner guard", current_groups(), raised);
                      }
                      if (current_groups() != raised)
                          return describe("inner guard gone", current_groups(), raised);
                  }
                  if (current_groups() != dropped)
                      return describe("outer guard gone", current_groups(), dropped);
                  drop_group_privilege();  // a second drop must not lose the saved group
                  {
                      GamesGroup again;
                      if (current_groups() != raised)
                          return describe("guard after second drop", current_groups(), raised);
                  }
                  return "";
              }),
              "");
}

TEST_F(PrivilegesTest, GuardPutsBackTheGroupItFound) {
    // Code that never dropped (a tool, a test) must not lose its group to a guard.
    EXPECT_EQ(in_child([]() -> std::string {
                  if (!become_setgid_start()) return "setup failed";
                  const Groups start = current_groups();
                  { GamesGroup guard; }
                  if (current_groups() != start)
                      return describe("after guard", current_groups(), start);
                  return "";
              }),
              "");
}

TEST_F(PrivilegesTest, GroupDirectoryIsWritableOnlyInsideGuard) {
    // The data directory of an install: group games, no rights for others.
    char dir_template[] = "/tmp/clumpout-priv-XXXXXX";
    ASSERT_NE(mkdtemp(dir_template), nullptr);
    const std::string dir = dir_template;
    ASSERT_EQ(chown(dir.c_str(), 0, GAMES_GROUP), 0);
    ASSERT_EQ(chmod(dir.c_str(), 02770), 0);
    const std::string lock = dir + "/.LOCK";

    EXPECT_EQ(in_child([&lock]() -> std::string {
                  if (!become_setgid_start()) return "setup failed";
                  // A player, not root, so the permission bits count; the
                  // saved uid 0 is never used again.
                  if (setresuid(PLAYER_USER, PLAYER_USER, 0) != 0) return "setresuid failed";
                  auto can_create = [&lock] {
                      int fd = open(lock.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0);
                      if (fd < 0) return false;
                      close(fd);
                      unlink(lock.c_str());
                      return true;
                  };
                  drop_group_privilege();
                  if (can_create()) return "player rights created the lock";
                  {
                      GamesGroup guard;
                      if (!can_create()) return "games group could not create the lock";
                  }
                  if (can_create()) return "rights kept after the guard";
                  return "";
              }),
              "");
    rmdir(dir.c_str());
}

}  // namespace
