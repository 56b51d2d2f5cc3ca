// private_x_server.h: an Xvfb of the test's own, at a depth the test picks
// (8 gives a PseudoColor screen whose colormap can be filled up). The server
// picks a free display number itself and is ended by its own process id.
#pragma once

#include <X11/Xlib.h>
#include <string>
#include <sys/types.h>

class PrivateXServer {
public:
    PrivateXServer() = default;
    ~PrivateXServer();
    PrivateXServer(const PrivateXServer&) = delete;
    PrivateXServer& operator=(const PrivateXServer&) = delete;

    // Starts the server and opens a connection to it; null when either fails.
    Display* start(int depth, int width = 320, int height = 240);

private:
    pid_t pid_ = -1;
    Display* display_ = nullptr;
};
