// command_line_test.cpp: the run as a whole from its command line: the
// "-display" pair, the usage lines, and a display that cannot be opened.
#include "e2e/e2e_fixture.h"

namespace {

class CommandLineTest : public E2eTest {};

TEST_F(CommandLineTest, DisplayPairWinsOverTheEnvironment)
{
    GameOptions options = game_options();
    options.display = ":999";  // nothing there
    options.args = {"-display", ":998", "-display", xvfb.display_name()};
    start_game(options);
    EXPECT_TRUE(windows.complete);
    EXPECT_EQ(quit_with_button3(windows.board.id), 0);
}

TEST_F(CommandLineTest, UnopenableDisplayIsReportedAndSettingsStillWritten)
{
    write_file(home + "/.Clumpout", "Width 25\nHeight 15\nPictures 2\n");
    GameOptions options = game_options();
    options.args = {"-display", ":999"};
    ASSERT_EQ(game.start(options, temp_dir), 0);
    EXPECT_EQ(game.wait_exit(10s), 0);
    EXPECT_EQ(game.stderr_text(), "Clumpout: can't open display: :999.\n");
    EXPECT_EQ(settings_text(), "# Clumpout\nWidth   25\nHeight  15\nPictures 2\n");
}

TEST_F(CommandLineTest, OtherArgumentsPrintUsageAndTouchNothing)
{
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"-display"}, {"-Display", ":0"}, {"-geometry", "10x10"}, {":0"}}) {
        SCOPED_TRACE(args[0]);
        GameOptions options = game_options();
        options.args = args;
        ASSERT_EQ(game.start(options, temp_dir), 0);
        EXPECT_EQ(game.wait_exit(10s), 0);
        std::string name = std::string(E2E_GAME_BINARY).substr(std::string(E2E_GAME_BINARY).rfind('/') + 1);
        if (const char* other = std::getenv("CLUMPOUT_E2E_PROGRAM"))
            name = std::string(other).substr(std::string(other).rfind('/') + 1);
        EXPECT_EQ(game.stdout_text(), "Clumpout version 3.02\nUsage: " + name + " [-display ???:?.?]\n");
        EXPECT_EQ(settings_text(), "") << "settings written after a bad argument";
    }
}

}  // namespace
