// quit_test.cpp: every way out: pointer button 3 on each kind of window, the
// Quit button, and the window manager's close request; each ends with status
// 0 and the settings written back.
#include "e2e/e2e_fixture.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <sys/wait.h>
#include <thread>

namespace {

const char* const DEFAULT_SETTINGS = "# Clumpout\nWidth   20\nHeight  10\nPictures 1\n";

enum Target { BOARD, BUTTON_0, BUTTON_1, BUTTON_2, BUTTON_3, BUTTON_4, STATUS, PANEL, PANEL_BUTTON, FRAME };

class QuitTest : public E2eTest, public ::testing::WithParamInterface<Target> {};

std::string target_name(const ::testing::TestParamInfo<Target>& info)
{
    const char* const names[] = {"Board",  "Quit",  "NewGame", "Undo",        "Size",
                                 "Pictures", "Status", "Panel",   "PanelButton", "Frame"};
    return names[info.param];
}

TEST_P(QuitTest, PointerButton3QuitsAndSavesSettings)
{
    start_game();
    ASSERT_TRUE(windows.complete);
    Target t = GetParam();
    if (t == PANEL || t == PANEL_BUTTON) {
        driver.click(windows.status.id, 10, 7);  // shows the panel
        settle();
        ASSERT_TRUE(find_windows().panel.mapped);
    }
    Window target = None;
    int x = 3, y = 3;
    switch (t) {
    case BOARD: target = windows.board.id; break;
    case BUTTON_0: case BUTTON_1: case BUTTON_2: case BUTTON_3: case BUTTON_4:
        target = windows.buttons[t - BUTTON_0].id;
        break;
    case STATUS: target = windows.status.id; break;
    case PANEL: target = windows.panel.id; x = 5; y = 60; break;
    case PANEL_BUTTON: target = windows.panel_button.id; break;
    case FRAME: target = windows.main.id; y = windows.main.height - 4; break;
    }
    driver.click(target, x, y, 3);
    EXPECT_EQ(game.wait_exit(10s), 0);
    EXPECT_EQ(settings_text(), DEFAULT_SETTINGS);
}

INSTANTIATE_TEST_SUITE_P(Windows, QuitTest,
                         ::testing::Values(BOARD, BUTTON_0, BUTTON_1, BUTTON_2, BUTTON_3, BUTTON_4, STATUS, PANEL,
                                           PANEL_BUTTON, FRAME),
                         target_name);

class QuitButtonTest : public E2eTest {};

TEST_F(QuitButtonTest, QuitButtonKeepsTheSettingsRead)
{
    write_settings(12, 9, SET_FACE);
    start_game();
    click_top_button(E2E_QUIT);
    EXPECT_EQ(game.wait_exit(10s), 0);
    EXPECT_EQ(settings_text(), "# Clumpout\nWidth   12\nHeight   9\nPictures 2\n");
}

TEST_F(QuitButtonTest, WithoutHomeNothingIsWritten)
{
    GameOptions options = game_options();
    options.home.clear();
    start_game(options);
    click_top_button(E2E_QUIT);
    EXPECT_EQ(game.wait_exit(10s), 0);
    EXPECT_TRUE(settings_text().empty());
}

TEST_F(QuitButtonTest, LostDisplayKeepsTheSettings)
{
    write_settings(12, 9, SET_FACE);
    start_game();
    ASSERT_TRUE(windows.complete);
    driver.disconnect();
    xvfb.stop();
    EXPECT_EQ(game.wait_exit(10s), 0);
    EXPECT_EQ(settings_text(), "# Clumpout\nWidth   12\nHeight   9\nPictures 2\n");
}

// Under a real window manager the close request is a WM_DELETE_WINDOW
// message; the game ends normally on it, so its settings are saved.
class WindowManagerTest : public E2eTest {
protected:
    void TearDown() override
    {
        end_process(wm);
        E2eTest::TearDown();
    }
    pid_t wm = -1;
};

TEST_F(WindowManagerTest, CloseRequestQuitsAndSavesSettings)
{
    // Without placement by hand: twm would otherwise grab the server and
    // wait for a click to place the window. Its own fonts would need more
    // than the test server has: "fixed" comes with every X font set.
    std::string rc = temp_dir + "/twmrc";
    write_file(rc, "RandomPlacement\nUsePPosition \"on\"\n"
                   "TitleFont \"fixed\"\nResizeFont \"fixed\"\nMenuFont \"fixed\"\n"
                   "IconFont \"fixed\"\nIconManagerFont \"fixed\"\n");
    const std::string errors = temp_dir + "/twm.err";
    const char* args[] = {"-f", rc.c_str(), nullptr};
    wm = spawn_on_display(xvfb.display_name(), "twm", args, errors.c_str());
    ASSERT_GT(wm, 0);
    // The manager is at work once it has framed a window of ours.
    Window probe = XCreateSimpleWindow(driver.display(), driver.root(), 0, 0, 20, 20, 0, 0, 0);
    XMapWindow(driver.display(), probe);
    bool framed = false;
    for (int i = 0; i < 1000 && !framed; ++i) {
        std::this_thread::sleep_for(10ms);
        if (waitpid(wm, nullptr, WNOHANG) == wm) {
            wm = -1;  // it gave up
            break;
        }
        Window root_return, parent = None;
        Window* kids = nullptr;
        unsigned n = 0;
        XQueryTree(driver.display(), probe, &root_return, &parent, &kids, &n);
        if (kids) XFree(kids);
        framed = parent != driver.root();
    }
    XDestroyWindow(driver.display(), probe);
    XSync(driver.display(), False);
    ASSERT_TRUE(framed) << "twm is not managing windows; its standard error:\n" << read_file(errors);
    write_settings(15, 8, SET_MARBLE);
    start_game();
    ASSERT_TRUE(windows.complete);

    Atom protocols = XInternAtom(driver.display(), "WM_PROTOCOLS", False);
    Atom delete_window = XInternAtom(driver.display(), "WM_DELETE_WINDOW", False);
    Atom* list = nullptr;
    int count = 0;
    bool takes_part = false;
    if (XGetWMProtocols(driver.display(), windows.main.id, &list, &count)) {
        for (int i = 0; i < count; ++i) takes_part = takes_part || list[i] == delete_window;
        XFree(list);
    }
    EXPECT_TRUE(takes_part) << "WM_DELETE_WINDOW not in WM_PROTOCOLS";

    // Reparented by the manager, and still its fixed size.
    Window root_return, parent = None;
    Window* kids = nullptr;
    unsigned n = 0;
    XQueryTree(driver.display(), windows.main.id, &root_return, &parent, &kids, &n);
    if (kids) XFree(kids);
    EXPECT_NE(parent, driver.root()) << "twm did not reparent the window";
    EXPECT_EQ(windows.main.width, 15 * 20 + 32);

    XEvent ev{};
    ev.xclient.type = ClientMessage;
    ev.xclient.window = windows.main.id;
    ev.xclient.message_type = protocols;
    ev.xclient.format = 32;
    ev.xclient.data.l[0] = static_cast<long>(delete_window);
    ev.xclient.data.l[1] = CurrentTime;
    XSendEvent(driver.display(), windows.main.id, False, NoEventMask, &ev);
    XFlush(driver.display());
    EXPECT_EQ(game.wait_exit(10s), 0);
    EXPECT_EQ(settings_text(), "# Clumpout\nWidth   15\nHeight   8\nPictures 0\n");
}

}  // namespace
