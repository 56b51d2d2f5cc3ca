// xvfb.cpp: starting and ending the private X server. A display number is
// ours only when the lock file names our own server process: another test
// run may start a server on the same number at the same moment.
#include "e2e/xvfb.h"

#include <X11/Xlib.h>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

constexpr int FIRST_DISPLAY = 90;
constexpr int LAST_DISPLAY = 250;

bool path_exists(const std::string& path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

// The pid written in /tmp/.X<n>-lock, or -1.
pid_t lock_owner(int number)
{
    std::string path = "/tmp/.X" + std::to_string(number) + "-lock";
    FILE* f = std::fopen(path.c_str(), "r");
    if (f == nullptr) return -1;
    long pid = -1;
    if (std::fscanf(f, "%ld", &pid) != 1) pid = -1;
    std::fclose(f);
    return static_cast<pid_t>(pid);
}

// A child of a test dies with it, also when the test is killed on a timeout.
void die_with_parent(pid_t parent)
{
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != parent) _exit(1);
}

void redirect_to_null()
{
    int fd = open("/dev/null", O_RDWR);
    if (fd < 0) return;
    dup2(fd, 0);
    dup2(fd, 1);
    dup2(fd, 2);
    if (fd > 2) close(fd);
}

bool reap(pid_t pid, std::chrono::milliseconds limit)
{
    auto until = std::chrono::steady_clock::now() + limit;
    for (;;) {
        int status = 0;
        pid_t r = waitpid(pid, &status, WNOHANG);
        if (r == pid || (r < 0 && errno == ECHILD)) return true;
        if (std::chrono::steady_clock::now() > until) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

}  // namespace

int Xvfb::start(int width, int height)
{
    std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
    for (int number = FIRST_DISPLAY; number <= LAST_DISPLAY; ++number) {
        char name_buffer[16];
        std::snprintf(name_buffer, sizeof name_buffer, ":%d", number);
        std::string name = name_buffer;
        if (path_exists("/tmp/.X" + std::to_string(number) + "-lock") ||
            path_exists("/tmp/.X11-unix/X" + std::to_string(number)))
            continue;
        pid_t parent = getpid();
        pid_t pid = fork();
        if (pid < 0) return -1;
        if (pid == 0) {
            die_with_parent(parent);
            redirect_to_null();
            execlp("Xvfb", "Xvfb", name.c_str(), "-nolisten", "tcp", "-screen", "0", screen.c_str(),
                   "-noreset", static_cast<char*>(nullptr));
            _exit(127);
        }
        // Wait until it accepts connections, or until it gives up (another
        // server took the number first).
        bool up = false;
        bool died = false;
        auto until = std::chrono::steady_clock::now() + std::chrono::seconds(15);
        while (std::chrono::steady_clock::now() < until) {
            int status = 0;
            if (waitpid(pid, &status, WNOHANG) == pid) {
                died = true;
                break;
            }
            if (lock_owner(number) == pid) {
                Display* d = XOpenDisplay(name.c_str());
                if (d != nullptr) {
                    XCloseDisplay(d);
                    up = true;
                    break;
                }
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        if (up) {
            pid_ = pid;
            display_name_ = name;
            return 0;
        }
        if (!died) end_process(pid);
    }
    return -1;
}

void Xvfb::stop()
{
    if (pid_ > 0) end_process(pid_);
    pid_ = -1;
}

pid_t spawn_on_display(const std::string& display_name, const char* program,
                       const char* const* extra_args, const char* error_path)
{
    std::vector<const char*> argv{program, "-display", display_name.c_str()};
    for (const char* const* a = extra_args; a != nullptr && *a != nullptr; ++a) argv.push_back(*a);
    argv.push_back(nullptr);
    pid_t parent = getpid();
    pid_t pid = fork();
    if (pid < 0) return -1;
    if (pid == 0) {
        die_with_parent(parent);
        redirect_to_null();
        if (error_path != nullptr) {
            int fd = open(error_path, O_WRONLY | O_CREAT | O_TRUNC, 0644);
            if (fd >= 0 && fd != 2) {
                dup2(fd, 2);
                close(fd);
            }
        }
        execvp(program, const_cast<char* const*>(argv.data()));
        _exit(127);
    }
    return pid;
}

void end_process(pid_t pid)
{
    if (pid <= 0) return;
    kill(pid, SIGTERM);
    if (!reap(pid, std::chrono::seconds(5))) {
        kill(pid, SIGKILL);
        reap(pid, std::chrono::seconds(5));
    }
}
