// keyboard_test.cpp: which command a key gives, Control included.
// GoogleTest first: Xlib defines None as a macro.
#include <gtest/gtest.h>

#include <X11/keysym.h>

#include "ui/keyboard.h"

namespace {

TEST(KeyCommands, ControlOnlyWithZAndQ)
{
    EXPECT_EQ(command_for_key(XK_z, ControlMask), KeyCommand::UNDO);
    EXPECT_EQ(command_for_key(XK_q, ControlMask), KeyCommand::QUIT);
    EXPECT_EQ(command_for_key(XK_z, 0), KeyCommand::NONE);
    EXPECT_EQ(command_for_key(XK_n, ControlMask), KeyCommand::NONE);
    EXPECT_EQ(command_for_key(XK_u, ShiftMask), KeyCommand::UNDO);  // the unshifted keysym is looked up
}

TEST(KeyCommands, EnterAndKeypadKeysAsTheirMainKeys)
{
    EXPECT_EQ(command_for_key(XK_KP_Enter, 0), KeyCommand::ACTIVATE);
    EXPECT_EQ(command_for_key(XK_space, 0), KeyCommand::ACTIVATE);
    EXPECT_EQ(command_for_key(XK_KP_Next, 0), KeyCommand::PAGE_DOWN);
    EXPECT_EQ(command_for_key(XK_KP_Left, 0), KeyCommand::LEFT);
}

}  // namespace
