// driver.h: driving the real game from outside. Runs the program as a child
// process, finds its windows on the display, moves and clicks the pointer
// through XTest, waits until the program has handled everything, and reads
// windows back as plain pixel arrays. Knows the window tree only by geometry,
// never by the program's own data.
#pragma once

#include <X11/Xlib.h>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

using namespace std::chrono_literals;

// 0x00RRGGBB pixels of a 24-bit TrueColor screen, row by row.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;

    bool empty() const { return pixels.empty(); }
    std::uint32_t at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
    Image crop(int x, int y, int w, int h) const;
    bool operator==(const Image& other) const = default;
};

// Number of pixels that differ; sizes that differ count as all pixels.
long count_differences(const Image& a, const Image& b);
// Writes a binary PPM; returns 0 or -1.
int write_ppm(const Image& image, const std::string& path);

struct WindowGeometry {
    Window id = None;
    int x = 0;  // relative to the parent
    int y = 0;
    int width = 0;
    int height = 0;
    int border = 0;
    bool mapped = false;  // map state is IsViewable
};

struct GameOptions {
    std::string home;     // HOME of the program; empty leaves HOME unset
    std::string cwd;      // its working directory
    std::string display;  // DISPLAY
    std::string logname = "tester";
    std::vector<std::string> args;  // after argv[0]
    std::vector<std::string> environment;  // more NAME=value entries
    std::string program = "";       // defaults to the e2e build of the game
    uid_t uid = 0;                  // not 0: run as this account, with its group `gid` alone
    gid_t gid = 0;
};

// The game as a child process, with its standard output and error kept in
// files so tests can compare messages byte for byte.
class GameProcess {
public:
    GameProcess() = default;
    ~GameProcess() { kill_now(); }
    GameProcess(const GameProcess&) = delete;
    GameProcess& operator=(const GameProcess&) = delete;

    int start(const GameOptions& options, const std::string& output_dir);
    bool running();
    // Exit status, -1 on timeout, 256 + signal number when killed by a signal.
    int wait_exit(std::chrono::milliseconds limit = 10s);
    void kill_now();
    pid_t pid() const { return pid_; }
    std::string stderr_text() const;
    std::string stdout_text() const;

private:
    pid_t pid_ = -1;
    int status_ = -1;
    std::string out_path_;
    std::string err_path_;
};

// Bytes the process has written so far (all its X requests go through
// write calls on its socket); -1 when unknown.
long bytes_written(pid_t pid);

// One connection of our own to the test's X server.
class Driver {
public:
    Driver() = default;
    ~Driver();
    Driver(const Driver&) = delete;
    Driver& operator=(const Driver&) = delete;

    int connect(const std::string& display_name);
    // Closes the connection, before a test takes the server away.
    void disconnect();
    Display* display() const { return display_; }
    Window root() const { return root_; }

    // Depth-first search of the whole tree (the window may be reparented by
    // a window manager) for a window whose WM_NAME equals `name`.
    Window find_window_by_name(const char* name, std::chrono::milliseconds limit = 10s);
    std::optional<WindowGeometry> geometry(Window window);
    std::vector<WindowGeometry> children(Window window);  // bottom to top
    // Position of a window point in root coordinates.
    std::pair<int, int> to_root(Window window, int x, int y);

    void move_to(Window window, int x, int y);
    void move_to_root(int x, int y);
    void press(unsigned button = 1);
    void release(unsigned button = 1);
    void click(Window window, int x, int y, unsigned button = 1);
    // Presses and releases the key of `key`, with Control held when asked.
    void type_key(unsigned long key, bool control = false);
    // The server's resource database text, as xrdb would load it.
    void set_resources(const std::string& text);

    // Waits until `program` has handled every event the server sent it and
    // the server has carried out its requests: the process and its children
    // (the score keeper) stay asleep with unchanged context-switch counts
    // across two round trips.
    bool settle(pid_t program, std::chrono::milliseconds limit = 10s);

    // The window's contents as shown on the screen; empty on an X error
    // (window gone, or not wholly on the screen).
    Image read(Window window);
    Image read(Window window, int x, int y, int width, int height);

    // X errors seen since the last call (our own requests only).
    int take_errors();

private:
    Display* display_ = nullptr;
    Window root_ = None;
};
