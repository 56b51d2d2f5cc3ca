// xpm_values_test.cpp: which XPM values lines may reach libXpm. Each refused
// line is one libXpm would have sized its tables from.
#include "pictures/xpm_values.h"

#include <string>

#include <gtest/gtest.h>

namespace {

std::string xpm(const std::string& values, const std::string& body = "") {
    return "/* XPM */\nstatic char *a[] = {\n/* values */\n\"" + values + "\",\n" + body + "};\n";
}

const std::string TWO_BY_TWO = "\"a c #000000\",\n\"b c #ffffff\",\n\"ab\",\n\"ba\",\n";

TEST(XpmValues, TakesWhatATileCanUse) {
    for (const char* values : {"2 2 2 1", "2 2 2 1 0 1", "2 2 2 1 XPMEXT", "2 2 2 1 1 1 XPMEXT"}) {
        const std::string file = xpm(values, TWO_BY_TWO);
        EXPECT_TRUE(xpm_values_fit(file, file.size())) << values;
    }
    const std::string xpm2 = "! XPM2\n2 2 2 1\na c #000000\nb c #ffffff\nab\nba\n";
    EXPECT_TRUE(xpm_values_fit(xpm2, xpm2.size()));
}

TEST(XpmValues, RefusesPromisesBeyondATileOrTheFile) {
    const std::string refused[] = {
        "2 2 2 1000000000",   // characters per pixel
        "2 2 2 5", "2 2 2 0",
        "2 2 5 1", "2 2 0 1",  // more colours than pixels, none
        "32768 1 1 1", "0 2 1 1",
        "2 2 2 1 2 0", "2 2 2 1 0 2",  // hotspot outside
        "2 2 2", "2 2 2 1 x", "2 2 2 1 1", "-2 2 2 1", "2 2 2 1 XPMEXT 3",
    };
    for (const std::string& values : refused) {
        const std::string file = xpm(values, TWO_BY_TWO);
        EXPECT_FALSE(xpm_values_fit(file, 1u << 30)) << values;
    }
    // Rows promised but not there: 1000 x 1000 needs a megabyte at least.
    const std::string short_file = xpm("1000 1000 1 1", "\"a c #000000\",\n");
    EXPECT_FALSE(xpm_values_fit(short_file, short_file.size()));
    // A string before the brace is the one libXpm reads.
    const std::string early = "/* XPM */ \"9 9 9 100\" static char *a[] = {\"2 2 2 1\",\n" + TWO_BY_TWO + "};\n";
    EXPECT_FALSE(xpm_values_fit(early, early.size()));
    EXPECT_FALSE(xpm_values_fit("/* XPM */ static char *a[] = {", 100));
}

}  // namespace
