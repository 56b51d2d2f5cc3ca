// layout_test.cpp: the window tree as the window manager and the player see
// it: sizes and places of every window for each board size and tile size,
// the panel's two heights, the size hints, the icon and the title.
#include "e2e/e2e_fixture.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <unistd.h>
#include <set>

namespace {

struct SizeCase {
    int columns;
    int rows;
    int set;
    int tile;
    int scale = 1;  // from clumpout.scale
};

class LayoutTest : public E2eTest, public ::testing::WithParamInterface<SizeCase> {
protected:
    void SetUp() override
    {
        scale = GetParam().scale;
        if (scale > 1) {
            screen_width = 4096;
            screen_height = 2720;
        }
        E2eTest::SetUp();
        if (scale > 1) driver.set_resources("clumpout.scale: " + std::to_string(scale) + "\n");
    }
};

const char* const SET_NAMES[] = {"Marble", "Head", "Face"};

std::string size_case_name(const ::testing::TestParamInfo<SizeCase>& info)
{
    return std::string(SET_NAMES[info.param.set]) + "_" + std::to_string(info.param.columns) + "x" +
           std::to_string(info.param.rows) + (info.param.scale > 1 ? "_scale" + std::to_string(info.param.scale) : "");
}

// Every fixed window of the tree for the given board and tile size.
void expect_layout(const GameWindows& w, int columns, int rows, int tile)
{
    int main_width = columns * tile + 32;
    int main_height = rows * tile + 48;
    EXPECT_EQ(w.main.width, main_width);
    EXPECT_EQ(w.main.height, main_height);
    EXPECT_EQ(w.main.border, 1);

    EXPECT_EQ(w.board.width, columns * tile);
    EXPECT_EQ(w.board.height, rows * tile);
    EXPECT_TRUE(w.board.mapped);

    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(BUTTON_TEXT[i]);
        EXPECT_EQ(w.buttons[i].x, BUTTON_X[i]);
        EXPECT_EQ(w.buttons[i].y, 4);
        EXPECT_EQ(w.buttons[i].width, BUTTON_WIDTH[i]);
        EXPECT_EQ(w.buttons[i].height, 14);
        EXPECT_EQ(w.buttons[i].border, 1);
        EXPECT_TRUE(w.buttons[i].mapped);
    }

    EXPECT_EQ(w.status.y, rows * tile + 28);
    EXPECT_TRUE(w.status.mapped);

    int panel_height = rows * tile < 203 ? 128 : 208;
    EXPECT_EQ(w.panel.x, (main_width - 176) / 2);
    EXPECT_EQ(w.panel.y, 38);
    EXPECT_EQ(w.panel.width, 176);
    EXPECT_EQ(w.panel.height, panel_height);
    EXPECT_FALSE(w.panel.mapped);

    EXPECT_EQ(w.panel_button.x, 56);
    EXPECT_EQ(w.panel_button.y, panel_height - 24);
    EXPECT_EQ(w.panel_button.width, 64);
    EXPECT_EQ(w.panel_button.height, 14);
    EXPECT_EQ(w.panel_button.border, 1);
}

TEST_P(LayoutTest, WindowsFitBoardAndTileSize)
{
    const SizeCase& c = GetParam();
    write_settings(c.columns, c.rows, c.set);
    start_game();
    ASSERT_TRUE(windows.complete);
    expect_layout(windows, c.columns, c.rows, c.tile);

    // The window manager is asked to keep exactly this size.
    XSizeHints hints{};
    long supplied = 0;
    ASSERT_TRUE(XGetWMNormalHints(driver.display(), windows.main.id, &hints, &supplied));
    EXPECT_TRUE(hints.flags & PMinSize);
    EXPECT_TRUE(hints.flags & PMaxSize);
    EXPECT_EQ(hints.min_width, (c.columns * c.tile + 32) * c.scale);
    EXPECT_EQ(hints.max_width, (c.columns * c.tile + 32) * c.scale);
    EXPECT_EQ(hints.min_height, (c.rows * c.tile + 48) * c.scale);
    EXPECT_EQ(hints.max_height, (c.rows * c.tile + 48) * c.scale);
}

INSTANTIATE_TEST_SUITE_P(
    StandardSizes, LayoutTest,
    ::testing::Values(SizeCase{15, 8, SET_MARBLE, 20}, SizeCase{20, 10, SET_MARBLE, 20},
                      SizeCase{25, 15, SET_MARBLE, 20}, SizeCase{30, 20, SET_MARBLE, 20},
                      SizeCase{15, 8, SET_HEAD, 32}, SizeCase{20, 10, SET_HEAD, 32},
                      SizeCase{25, 15, SET_HEAD, 32}, SizeCase{30, 20, SET_HEAD, 32},
                      SizeCase{15, 8, SET_FACE, 64}, SizeCase{20, 10, SET_FACE, 64},
                      SizeCase{25, 15, SET_FACE, 64}, SizeCase{30, 20, SET_FACE, 64}),
    size_case_name);

// Every window exactly twice its place and size at scale 1.
INSTANTIATE_TEST_SUITE_P(
    Scale2, LayoutTest,
    ::testing::Values(SizeCase{15, 8, SET_MARBLE, 20, 2}, SizeCase{20, 10, SET_MARBLE, 20, 2},
                      SizeCase{25, 15, SET_MARBLE, 20, 2}, SizeCase{30, 20, SET_MARBLE, 20, 2},
                      SizeCase{15, 8, SET_HEAD, 32, 2}, SizeCase{20, 10, SET_HEAD, 32, 2},
                      SizeCase{25, 15, SET_HEAD, 32, 2}, SizeCase{30, 20, SET_HEAD, 32, 2},
                      SizeCase{15, 8, SET_FACE, 64, 2}, SizeCase{20, 10, SET_FACE, 64, 2},
                      SizeCase{25, 15, SET_FACE, 64, 2}, SizeCase{30, 20, SET_FACE, 64, 2}),
    size_case_name);

// Rows x tile height of 202 or 203 cannot occur with 8 to 20 rows (202 is
// 2 x 101, 203 is 7 x 29); 200 and 220 are the nearest heights on either side
// of the threshold that the built-in 20-pixel set can give.
INSTANTIATE_TEST_SUITE_P(PanelThreshold, LayoutTest,
                         ::testing::Values(SizeCase{20, 10, SET_MARBLE, 20}, SizeCase{20, 11, SET_MARBLE, 20},
                                           SizeCase{10, 8, SET_HEAD, 32}),
                         [](const auto& info) {
                             return "rows" + std::to_string(info.param.rows) + "_tile" +
                                    std::to_string(info.param.tile);
                         });

INSTANTIATE_TEST_SUITE_P(CustomSizes, LayoutTest,
                         ::testing::Values(SizeCase{12, 9, SET_HEAD, 32}, SizeCase{10, 20, SET_MARBLE, 20},
                                           SizeCase{30, 8, SET_MARBLE, 20}),
                         [](const auto& info) {
                             return std::to_string(info.param.columns) + "x" + std::to_string(info.param.rows);
                         });

class WindowManagerFacts : public E2eTest {};

TEST_F(WindowManagerFacts, TitleAndIconHint)
{
    start_game();
    ASSERT_TRUE(windows.complete);
    char* name = nullptr;
    ASSERT_TRUE(XFetchName(driver.display(), windows.main.id, &name));
    EXPECT_STREQ(name, "Clumpout");
    XFree(name);

    XWMHints* hints = XGetWMHints(driver.display(), windows.main.id);
    ASSERT_NE(hints, nullptr);
    ASSERT_TRUE(hints->flags & IconPixmapHint);
    Pixmap icon = hints->icon_pixmap;
    XFree(hints);

    Window root;
    int x, y;
    unsigned width, height, border, depth;
    ASSERT_TRUE(XGetGeometry(driver.display(), icon, &root, &x, &y, &width, &height, &border, &depth));
    EXPECT_EQ(width, 48u);
    EXPECT_EQ(height, 48u);
    // The icon is drawn in its four colours only.
    XImage* xi = XGetImage(driver.display(), icon, 0, 0, 48, 48, AllPlanes, ZPixmap);
    ASSERT_NE(xi, nullptr);
    const std::set<unsigned long> palette{0x00CFCF, 0x00FFFF, 0xCB00FF, 0x0065AA};
    std::set<unsigned long> seen;
    for (int j = 0; j < 48; ++j)
        for (int i = 0; i < 48; ++i) seen.insert(XGetPixel(xi, i, j) & 0xFFFFFF);
    XDestroyImage(xi);
    for (unsigned long p : seen) EXPECT_TRUE(palette.count(p)) << std::hex << "icon pixel " << p;
    EXPECT_GE(seen.size(), 2u) << "the icon is a plain field";
}

// Read back as a taskbar reads them.
TEST_F(WindowManagerFacts, NamesClassMachinePidAndIcons)
{
    start_game();
    ASSERT_TRUE(windows.complete);
    Display* d = driver.display();
    const Window w = windows.main.id;
    XClassHint class_hint{};
    ASSERT_TRUE(XGetClassHint(d, w, &class_hint));
    EXPECT_STREQ(class_hint.res_name, "clumpout");
    EXPECT_STREQ(class_hint.res_class, "Clumpout");
    XFree(class_hint.res_name);
    XFree(class_hint.res_class);

    const auto property = [&](const char* name, Atom type, int format) {
        Atom actual = None;
        int actual_format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        std::vector<long> values;
        std::string text;
        if (XGetWindowProperty(d, w, XInternAtom(d, name, False), 0, 1 << 20, False, type, &actual, &actual_format,
                               &count, &after, &data) == Success &&
            actual == type && actual_format == format) {
            if (format == 8) text.assign(reinterpret_cast<char*>(data), count);
            if (format == 32) values.assign(reinterpret_cast<long*>(data), reinterpret_cast<long*>(data) + count);
        }
        if (data) XFree(data);
        return std::make_pair(text, values);
    };
    EXPECT_EQ(property("_NET_WM_NAME", XInternAtom(d, "UTF8_STRING", False), 8).first, "Clumpout");
    EXPECT_EQ(property("_NET_WM_PID", XA_CARDINAL, 32).second, std::vector<long>{game.pid()});
    char host[256] = {};
    gethostname(host, sizeof host - 1);
    EXPECT_EQ(property("WM_CLIENT_MACHINE", XA_STRING, 8).first, host);

    // _NET_WM_ICON: width, height, then that many pixels, per size.
    const std::vector<long> icons = property("_NET_WM_ICON", XA_CARDINAL, 32).second;
    std::vector<long> sizes;
    for (size_t at = 0; at + 2 <= icons.size(); at += 2 + static_cast<size_t>(icons[at] * icons[at + 1])) {
        EXPECT_EQ(icons[at], icons[at + 1]);
        sizes.push_back(icons[at]);
    }
    EXPECT_EQ(sizes, (std::vector<long>{16, 32, 48, 64, 128}));
}

TEST_F(WindowManagerFacts, DefaultsWithoutSettingsFile)
{
    start_game();
    ASSERT_TRUE(windows.complete);
    // 20 x 10 with "Head".
    expect_layout(windows, 20, 10, 32);
}

}  // namespace
