// colour_names_test.cpp: reading the X colour database text.
#include "theme_tool/colour_names.h"

#include <gtest/gtest.h>

namespace {

TEST(ColourDatabase, ReadsLinesAsScanfWouldButSkipsANumberTooLargeForAnInt) {
    // 2^32 would wrap round to 0 in an int and name black.
    const ColourDatabase database = ColourDatabase::parse("4294967296 0 0 wrapped\n  255 +0 7\tDeep Red \n");
    EXPECT_EQ(database.look_up("wrapped"), std::nullopt);
    EXPECT_EQ(database.look_up("deep red"), (Rgb16{0xffff, 0, 0x707}));
    EXPECT_EQ(database.size(), 1u);
}

}  // namespace
