// private_x_server.cpp: starting and ending the tests' own Xvfb.
#include "x11/private_x_server.h"

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

Display* PrivateXServer::start(int depth, int width, int height) {
    int pipe_fds[2];
    if (pipe(pipe_fds) != 0) return nullptr;
    const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x" + std::to_string(depth);
    const std::string fd_text = std::to_string(pipe_fds[1]);
    pid_ = fork();
    if (pid_ == 0) {
        close(pipe_fds[0]);
        const int null_fd = open("/dev/null", O_RDWR);
        dup2(null_fd, 0);
        dup2(null_fd, 1);
        dup2(null_fd, 2);
        execlp("Xvfb", "Xvfb", "-displayfd", fd_text.c_str(), "-nolisten", "tcp", "-screen", "0", screen.c_str(),
               static_cast<char*>(nullptr));
        _exit(127);
    }
    close(pipe_fds[1]);
    if (pid_ < 0) {
        close(pipe_fds[0]);
        return nullptr;
    }
    // The server writes its display number once it accepts connections.
    std::string number;
    pollfd waiting{pipe_fds[0], POLLIN, 0};
    while (poll(&waiting, 1, 15000) == 1) {
        char c;
        if (read(pipe_fds[0], &c, 1) != 1 || c == '\n') break;
        number += c;
    }
    close(pipe_fds[0]);
    if (number.empty()) return nullptr;
    display_ = XOpenDisplay((":" + number).c_str());
    return display_;
}

PrivateXServer::~PrivateXServer() {
    if (display_ != nullptr) XCloseDisplay(display_);
    if (pid_ > 0) {
        kill(pid_, SIGTERM);
        int status = 0;
        waitpid(pid_, &status, 0);
    }
}
