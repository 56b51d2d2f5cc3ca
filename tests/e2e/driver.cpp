// driver.cpp: the child process, the tree walk, XTest input, the idle test
// and read-back. Everything here talks to the server only through our own
// connection; the program's state is seen only through its windows and
// through /proc (to know when it has gone back to sleep).
#include "e2e/driver.h"

#include <X11/Xutil.h>
#include <X11/Xatom.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <grp.h>
#include <fstream>
#include <sstream>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

int x_errors = 0;

int count_x_error(Display*, XErrorEvent*)
{
    ++x_errors;
    return 0;
}

std::string read_file(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

struct ProcSample {
    bool alive = false;
    char state = '?';
    long voluntary = -1;
    long involuntary = -1;
    bool operator==(const ProcSample&) const = default;
};

ProcSample sample_process(pid_t pid)
{
    ProcSample s;
    std::ifstream in("/proc/" + std::to_string(pid) + "/status");
    if (!in) return s;
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("State:", 0) == 0) {
            size_t p = line.find_first_not_of(" \t", 6);
            if (p != std::string::npos) s.state = line[p];
        } else if (line.rfind("voluntary_ctxt_switches:", 0) == 0) {
            s.voluntary = std::atol(line.c_str() + 24);
        } else if (line.rfind("nonvoluntary_ctxt_switches:", 0) == 0) {
            s.involuntary = std::atol(line.c_str() + 27);
        }
    }
    s.alive = s.state != 'Z' && s.state != 'X' && s.state != '?';
    return s;
}

// The program with its children (the score keeper it asks and waits for):
// asleep only when all are, counting all their context switches.
ProcSample sample_with_children(pid_t pid)
{
    ProcSample s = sample_process(pid);
    std::ifstream children("/proc/" + std::to_string(pid) + "/task/" + std::to_string(pid) + "/children");
    pid_t child = 0;
    while (children >> child) {
        const ProcSample c = sample_process(child);
        if (!c.alive) continue;
        if (c.state != 'S') s.state = c.state;
        s.voluntary += c.voluntary;
        s.involuntary += c.involuntary;
    }
    return s;
}

Image to_image(XImage* xi)
{
    Image image;
    image.width = xi->width;
    image.height = xi->height;
    image.pixels.resize(static_cast<size_t>(xi->width) * xi->height);
    for (int y = 0; y < xi->height; ++y)
        for (int x = 0; x < xi->width; ++x)
            image.pixels[static_cast<size_t>(y) * xi->width + x] =
                static_cast<std::uint32_t>(XGetPixel(xi, x, y)) & 0xFFFFFFu;
    return image;
}

}  // namespace

Image Image::crop(int x, int y, int w, int h) const
{
    Image out;
    out.width = w;
    out.height = h;
    out.pixels.resize(static_cast<size_t>(w) * h);
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i) {
            int sx = x + i;
            int sy = y + j;
            out.pixels[static_cast<size_t>(j) * w + i] =
                (sx >= 0 && sy >= 0 && sx < width && sy < height) ? at(sx, sy) : 0xFF000000u;
        }
    return out;
}

long count_differences(const Image& a, const Image& b)
{
    if (a.width != b.width || a.height != b.height)
        return std::max<long>(static_cast<long>(a.pixels.size()), static_cast<long>(b.pixels.size()));
    long n = 0;
    for (size_t i = 0; i < a.pixels.size(); ++i) n += a.pixels[i] != b.pixels[i];
    return n;
}

int write_ppm(const Image& image, const std::string& path)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) return -1;
    std::fprintf(f, "P6\n%d %d\n255\n", image.width, image.height);
    for (std::uint32_t p : image.pixels) {
        unsigned char rgb[3] = {static_cast<unsigned char>(p >> 16), static_cast<unsigned char>(p >> 8),
                                static_cast<unsigned char>(p)};
        std::fwrite(rgb, 1, 3, f);
    }
    return std::fclose(f) == 0 ? 0 : -1;
}

// ---------------------------------------------------------------- process

long bytes_written(pid_t pid)
{
    std::ifstream in("/proc/" + std::to_string(pid) + "/io");
    std::string line;
    while (std::getline(in, line))
        if (line.rfind("wchar:", 0) == 0) return std::atol(line.c_str() + 6);
    return -1;
}

int GameProcess::start(const GameOptions& options, const std::string& output_dir)
{
    out_path_ = output_dir + "/stdout.txt";
    err_path_ = output_dir + "/stderr.txt";
    // CLUMPOUT_E2E_PROGRAM runs the tests against another build of the game
    // (one made with a deliberate fault, to see that the tests notice).
    const char* other = std::getenv("CLUMPOUT_E2E_PROGRAM");
    std::string program = !options.program.empty() ? options.program : other != nullptr ? other : E2E_GAME_BINARY;

    std::vector<std::string> env;
    env.push_back("PATH=/usr/local/bin:/usr/bin:/bin");
    env.push_back("DISPLAY=" + options.display);
    if (!options.home.empty()) env.push_back("HOME=" + options.home);
    if (!options.logname.empty()) env.push_back("LOGNAME=" + options.logname);
    for (const char* keep : {"ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS"})
        if (const char* v = std::getenv(keep)) env.push_back(std::string(keep) + "=" + v);
    env.insert(env.end(), options.environment.begin(), options.environment.end());
    std::vector<std::string> args{program};
    args.insert(args.end(), options.args.begin(), options.args.end());

    std::vector<char*> envp;
    for (auto& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);

    std::fflush(nullptr);
    pid_t parent = getpid();
    pid_t pid = fork();
    if (pid < 0) return -1;
    if (pid == 0) {
        prctl(PR_SET_PDEATHSIG, SIGKILL);  // no orphan game when a test is killed
        if (getppid() != parent) _exit(1);
        if (chdir(options.cwd.c_str()) != 0) _exit(126);
        int in = open("/dev/null", O_RDONLY);
        int out = open(out_path_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        int err = open(err_path_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (in < 0 || out < 0 || err < 0) _exit(126);
        dup2(in, 0);
        dup2(out, 1);
        dup2(err, 2);
        if (options.uid != 0 && (setgroups(0, nullptr) != 0 || setresgid(options.gid, options.gid, options.gid) != 0 ||
                                 setresuid(options.uid, options.uid, options.uid) != 0))
            _exit(126);
        execve(argv[0], argv.data(), envp.data());
        _exit(127);
    }
    pid_ = pid;
    status_ = -1;
    return 0;
}

bool GameProcess::running()
{
    if (pid_ <= 0) return false;
    int status = 0;
    pid_t r = waitpid(pid_, &status, WNOHANG);
    if (r == 0) return true;
    if (r == pid_) status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 256 + WTERMSIG(status);
    pid_ = -1;
    return false;
}

int GameProcess::wait_exit(std::chrono::milliseconds limit)
{
    auto until = std::chrono::steady_clock::now() + limit;
    while (running()) {
        if (std::chrono::steady_clock::now() > until) return -1;
        std::this_thread::sleep_for(2ms);
    }
    return status_;
}

void GameProcess::kill_now()
{
    if (!running()) return;
    kill(pid_, SIGKILL);
    int status = 0;
    waitpid(pid_, &status, 0);
    status_ = 256 + SIGKILL;
    pid_ = -1;
}

std::string GameProcess::stderr_text() const { return read_file(err_path_); }
std::string GameProcess::stdout_text() const { return read_file(out_path_); }

// ---------------------------------------------------------------- driver

Driver::~Driver() { disconnect(); }

void Driver::disconnect()
{
    if (display_ != nullptr) XCloseDisplay(display_);
    display_ = nullptr;
}

int Driver::connect(const std::string& display_name)
{
    display_ = XOpenDisplay(display_name.c_str());
    if (display_ == nullptr) return -1;
    XSetErrorHandler(count_x_error);
    root_ = DefaultRootWindow(display_);
    int event_base, error_base, major, minor;
    if (!XTestQueryExtension(display_, &event_base, &error_base, &major, &minor)) return -1;
    return 0;
}

int Driver::take_errors()
{
    XSync(display_, False);
    int n = x_errors;
    x_errors = 0;
    return n;
}

namespace {

Window search_by_name(Display* d, Window w, const char* name)
{
    char* found = nullptr;
    if (XFetchName(d, w, &found) && found != nullptr) {
        bool match = std::strcmp(found, name) == 0;
        XFree(found);
        if (match) {
            XWindowAttributes a;
            if (XGetWindowAttributes(d, w, &a) && a.map_state == IsViewable) return w;
        }
    }
    Window root_return, parent_return;
    Window* kids = nullptr;
    unsigned n = 0;
    if (!XQueryTree(d, w, &root_return, &parent_return, &kids, &n)) return None;
    Window result = None;
    for (unsigned i = 0; i < n && result == None; ++i) result = search_by_name(d, kids[i], name);
    if (kids != nullptr) XFree(kids);
    return result;
}

}  // namespace

Window Driver::find_window_by_name(const char* name, std::chrono::milliseconds limit)
{
    auto until = std::chrono::steady_clock::now() + limit;
    for (;;) {
        Window w = search_by_name(display_, root_, name);
        take_errors();  // windows may vanish during the walk
        if (w != None) return w;
        if (std::chrono::steady_clock::now() > until) return None;
        std::this_thread::sleep_for(5ms);
    }
}

std::optional<WindowGeometry> Driver::geometry(Window window)
{
    XWindowAttributes a;
    x_errors = 0;
    if (!XGetWindowAttributes(display_, window, &a) || take_errors() != 0) return std::nullopt;
    WindowGeometry g;
    g.id = window;
    g.x = a.x;
    g.y = a.y;
    g.width = a.width;
    g.height = a.height;
    g.border = a.border_width;
    g.mapped = a.map_state == IsViewable;
    return g;
}

std::vector<WindowGeometry> Driver::children(Window window)
{
    std::vector<WindowGeometry> out;
    Window root_return, parent_return;
    Window* kids = nullptr;
    unsigned n = 0;
    if (!XQueryTree(display_, window, &root_return, &parent_return, &kids, &n)) return out;
    for (unsigned i = 0; i < n; ++i)
        if (auto g = geometry(kids[i])) out.push_back(*g);
    if (kids != nullptr) XFree(kids);
    return out;
}

std::pair<int, int> Driver::to_root(Window window, int x, int y)
{
    int rx = 0, ry = 0;
    Window child;
    XTranslateCoordinates(display_, window, root_, x, y, &rx, &ry, &child);
    return {rx, ry};
}

void Driver::move_to(Window window, int x, int y)
{
    auto [rx, ry] = to_root(window, x, y);
    move_to_root(rx, ry);
}

void Driver::move_to_root(int x, int y)
{
    XTestFakeMotionEvent(display_, -1, x, y, CurrentTime);
    XSync(display_, False);
}

void Driver::type_key(unsigned long key, bool control)
{
    const KeyCode code = XKeysymToKeycode(display_, key);
    const KeyCode control_code = XKeysymToKeycode(display_, XK_Control_L);
    if (control) XTestFakeKeyEvent(display_, control_code, True, CurrentTime);
    XTestFakeKeyEvent(display_, code, True, CurrentTime);
    XTestFakeKeyEvent(display_, code, False, CurrentTime);
    if (control) XTestFakeKeyEvent(display_, control_code, False, CurrentTime);
    XSync(display_, False);
}

void Driver::set_resources(const std::string& text)
{
    XChangeProperty(display_, root_, XInternAtom(display_, "RESOURCE_MANAGER", False), XA_STRING, 8,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(text.data()),
                    static_cast<int>(text.size()));
    XSync(display_, False);
}

void Driver::press(unsigned button)
{
    XTestFakeButtonEvent(display_, button, True, CurrentTime);
    XSync(display_, False);
}

void Driver::release(unsigned button)
{
    XTestFakeButtonEvent(display_, button, False, CurrentTime);
    XSync(display_, False);
}

void Driver::click(Window window, int x, int y, unsigned button)
{
    move_to(window, x, y);
    press(button);
    release(button);
}

bool Driver::settle(pid_t program, std::chrono::milliseconds limit)
{
    auto until = std::chrono::steady_clock::now() + limit;
    XSync(display_, False);
    ProcSample previous = sample_with_children(program);
    int stable = 0;
    while (std::chrono::steady_clock::now() < until) {
        XSync(display_, False);
        std::this_thread::sleep_for(300us);
        ProcSample now = sample_with_children(program);
        if (!now.alive) return true;
        if (now.state == 'S' && now == previous) {
            if (++stable >= 2) return true;
        } else {
            stable = 0;
        }
        previous = now;
    }
    return false;
}

Image Driver::read(Window window)
{
    XWindowAttributes a;
    x_errors = 0;
    if (!XGetWindowAttributes(display_, window, &a) || take_errors() != 0) return {};
    return read(window, 0, 0, a.width, a.height);
}

Image Driver::read(Window window, int x, int y, int width, int height)
{
    x_errors = 0;
    XImage* xi = XGetImage(display_, window, x, y, static_cast<unsigned>(width),
                           static_cast<unsigned>(height), AllPlanes, ZPixmap);
    if (xi == nullptr || take_errors() != 0) {
        if (xi != nullptr) XDestroyImage(xi);
        return {};
    }
    Image image = to_image(xi);
    XDestroyImage(xi);
    return image;
}
