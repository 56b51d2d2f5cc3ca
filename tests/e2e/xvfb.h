// xvfb.h: a private X server for one test. Starts Xvfb on the first free
// display number from :90 up, waits until it accepts connections, and ends
// it by its own process id. Knows nothing of the game.
#pragma once

#include <string>
#include <sys/types.h>

class Xvfb {
public:
    Xvfb() = default;
    ~Xvfb() { stop(); }
    Xvfb(const Xvfb&) = delete;
    Xvfb& operator=(const Xvfb&) = delete;

    // Starts a 24-bit screen of the given size. Returns 0, or -1 when no
    // server could be started on any of the display numbers tried.
    int start(int width = 1280, int height = 1024);
    void stop();

    const std::string& display_name() const { return display_name_; }
    pid_t pid() const { return pid_; }

private:
    pid_t pid_ = -1;
    std::string display_name_;
};

// Starts a helper program (a window manager, xlogo) on the display with its
// output discarded, or its standard error written to error_path when given.
// Returns its process id, or -1.
pid_t spawn_on_display(const std::string& display_name, const char* program,
                       const char* const* extra_args, const char* error_path = nullptr);
// Sends SIGTERM to one process we started and reaps it (SIGKILL after a while).
void end_process(pid_t pid);
