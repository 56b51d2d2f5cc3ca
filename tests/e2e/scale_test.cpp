// scale_test.cpp: the scale from the X resources: where it comes from, how
// it gives way to a small screen, and that the scaled game is the game at
// scale 1 blown up pixel for pixel.
#include "e2e/e2e_fixture.h"

namespace {

class ScaleTest : public E2eTest {
protected:
    void SetUp() override
    {
        screen_width = 4096;
        screen_height = 2720;
        E2eTest::SetUp();
    }

    // Starts the game with `resources` loaded on the server; the main
    // window's width on the screen.
    int start_with(const std::string& resources)
    {
        driver.set_resources(resources);
        start_game();
        auto main = driver.geometry(driver.find_window_by_name("Clumpout", 5s));
        return main ? main->width : -1;
    }
};

class SmallScreenScaleTest : public E2eTest {};

class ScaledPixelsTest : public ScaleTest, public ::testing::WithParamInterface<int> {};

// With a pinned deal, every pixel of the whole window at scale 2 (tiles,
// frame, buttons, status line and their text) is the scale-1 pixel it comes
// from.
TEST_P(ScaledPixelsTest, EachBlockIsTheScale1Pixel)
{
    write_settings(15, 8, GetParam());
    GameOptions options = game_options();
    options.environment.push_back("CLUMPOUT_DEAL=4242");
    driver.set_resources("");
    start_game(options);
    const Image small = driver.read(windows.main.id);
    game.kill_now();

    scale = 2;
    driver.set_resources("clumpout.scale: 2\n");
    start_game(options);
    const Image big = driver.read(windows.main.id);
    ASSERT_FALSE(small.empty());
    ASSERT_EQ(big.width, 2 * small.width);
    ASSERT_EQ(big.height, 2 * small.height);
    long wrong = 0;
    for (int y = 0; y < big.height; ++y)
        for (int x = 0; x < big.width; ++x)
            if (big.at(x, y) != small.at(x / 2, y / 2)) ++wrong;
    EXPECT_EQ(wrong, 0) << "pixels that are not their scale-1 pixel";
    if (wrong != 0) {
        dump(small, "scale1");
        dump(big, "scale2");
    }
}

INSTANTIATE_TEST_SUITE_P(BuiltinSets, ScaledPixelsTest, ::testing::Values(SET_MARBLE, SET_HEAD, SET_FACE),
                         [](const auto& info) { return std::string(BUILTIN_SET_NAMES[info.param]); });

// Head on Normal is 674 pixels wide with its border, 672 inside it.
TEST_F(ScaleTest, DesktopDpiGivesTheScale)
{
    scale = 2;
    EXPECT_EQ(start_with("Xft.dpi: 192\n"), 2 * 672);
}

TEST_F(ScaleTest, ScaleResourceWinsOverDpi)
{
    scale = 3;
    EXPECT_EQ(start_with("Xft.dpi: 192\nclumpout.scale: 3\n"), 3 * 672);
}

TEST_F(ScaleTest, BadValueWarnsOnceAndGivesScale1)
{
    EXPECT_EQ(start_with("clumpout.scale: big\n"), 672);
    EXPECT_EQ(game.stderr_text(), "Warning: bad value 'big' of the X resource clumpout.scale, using scale 1.\n");
}

// Marble on Small is 334 x 210 with its border: scale 4 would not fit
// 1280 x 1024, scale 3 does.
TEST_F(SmallScreenScaleTest, LargestScaleThatFits)
{
    write_settings(15, 8, SET_MARBLE);
    scale = 3;
    driver.set_resources("clumpout.scale: 4\n");
    start_game();
    ASSERT_TRUE(windows.complete);
    EXPECT_EQ(windows.main.width, 332);  // at scale 1, found at scale 3
    EXPECT_EQ(windows.board.width, 300);
}

}  // namespace
