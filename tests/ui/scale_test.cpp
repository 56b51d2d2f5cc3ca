// scale_test.cpp: the display options' texts as the X resources give them.
#include "ui/scale.h"

#include <gtest/gtest.h>

namespace {

TEST(ScaleText, WholeNumbersClampedOthersRefused)
{
    EXPECT_EQ(parse_scale("2"), 2);
    EXPECT_EQ(parse_scale(" 3 "), 3);
    EXPECT_EQ(parse_scale("0"), 1);
    EXPECT_EQ(parse_scale("9"), 4);
    EXPECT_EQ(parse_scale("99999999999999999999"), 4);
    EXPECT_EQ(parse_scale("2x"), -1);
    EXPECT_EQ(parse_scale("1.5"), -1);
    EXPECT_EQ(parse_scale(""), -1);
}

TEST(ScaleText, DpiRoundsFromNinetySix)
{
    EXPECT_EQ(scale_for_dpi("96"), 1);
    EXPECT_EQ(scale_for_dpi("192"), 2);
    EXPECT_EQ(scale_for_dpi("163"), 2);   // a 27-inch 3840 x 2160 screen
    EXPECT_EQ(scale_for_dpi("143.9"), 1);
    EXPECT_EQ(scale_for_dpi("40"), 1);
    EXPECT_EQ(scale_for_dpi("1000"), 4);
    EXPECT_EQ(scale_for_dpi("-192"), -1);
    EXPECT_EQ(scale_for_dpi("high"), -1);
}

TEST(ScaleFit, LargestScaleThatFitsTheScreenNeverBelowOne)
{
    EXPECT_EQ(fitting_scale(4, {334, 210}, {1280, 1024}), 3);
    EXPECT_EQ(fitting_scale(2, {674, 370}, {1348, 740}), 2);  // exactly the screen
    EXPECT_EQ(fitting_scale(2, {674, 370}, {1347, 740}), 1);
    EXPECT_EQ(fitting_scale(3, {2000, 2000}, {1280, 1024}), 1);
}

TEST(SwitchText, OnOffAnyCase)
{
    EXPECT_EQ(parse_switch("on"), 1);
    EXPECT_EQ(parse_switch("True"), 1);
    EXPECT_EQ(parse_switch("OFF"), 0);
    EXPECT_EQ(parse_switch("maybe"), -1);
}

}  // namespace
