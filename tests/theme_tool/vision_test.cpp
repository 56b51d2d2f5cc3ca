// vision_test.cpp: the published model and formula, and the two sets the
// check must tell apart: tiles that differ only in red against green, and
// tiles that differ only in shape.
#include "theme_tool/vision.h"

#include <gtest/gtest.h>

namespace {

// Machado, Oliveira and Fernandes 2009, table of simulation matrices,
// severity 1.0, as printed in the paper's supplement.
constexpr double PAPER[3][3][3] = {
    {{0.152286, 1.052583, -0.204868}, {0.114503, 0.786281, 0.099216}, {-0.003882, -0.048116, 1.051998}},
    {{0.367322, 0.860646, -0.227968}, {0.280085, 0.672501, 0.047413}, {-0.011820, 0.042940, 0.968881}},
    {{1.255528, -0.076749, -0.178779}, {-0.078411, 0.930809, 0.147602}, {0.004733, 0.691367, 0.303900}},
};

TEST(Vision, MatricesAreThePapersAndKeepWhiteWhite) {
    const Matrix3* ours[] = {&MACHADO_PROTANOPIA, &MACHADO_DEUTERANOPIA, &MACHADO_TRITANOPIA};
    for (int m = 0; m < 3; ++m) {
        for (std::size_t row = 0; row < 3; ++row) {
            double sum = 0;
            for (std::size_t column = 0; column < 3; ++column) {
                EXPECT_DOUBLE_EQ((*ours[m])[row][column], PAPER[m][row][column]) << m << " " << row << " " << column;
                sum += (*ours[m])[row][column];
            }
            EXPECT_NEAR(sum, 1.0, 1e-5) << "matrix " << m << " row " << row;
        }
    }
    for (int vision = 0; vision < NUM_VISIONS; ++vision) {
        EXPECT_EQ(simulate_pixel(0xffffff, static_cast<Vision>(vision)), 0xffffffu);
        EXPECT_EQ(simulate_pixel(0x000000, static_cast<Vision>(vision)), 0x000000u);
    }
}

// Sharma, Wu and Dalal 2005, test data pairs 1, 7, 13, 14, 17, 25 and 33.
TEST(Vision, Ciede2000GivesThePublishedDifferences) {
    struct Pair {
        Lab first;
        Lab second;
        double difference;
    };
    const Pair pairs[] = {
        {{50, 2.6772, -79.7751}, {50, 0, -82.7485}, 2.0425},
        {{50, 0, 0}, {50, -1, 2}, 2.3669},
        {{50, 2.49, -0.001}, {50, -2.49, 0.0009}, 7.1792},
        {{50, 2.49, -0.001}, {50, -2.49, 0.0011}, 7.2195},
        {{50, 2.5, 0}, {73, 25, -18}, 27.1492},
        {{60.2574, -34.0099, 36.2677}, {60.4626, -34.1751, 39.4387}, 1.2644},
        {{2.0776, 0.0795, -1.135}, {0.9033, -0.0636, -0.5514}, 0.9082},
    };
    for (const Pair& pair : pairs) {
        EXPECT_NEAR(ciede2000(pair.first, pair.second), pair.difference, 5e-5);
        EXPECT_NEAR(ciede2000(pair.second, pair.first), pair.difference, 5e-5);
    }
    const Lab white = lab_of_pixel(0xffffff);
    EXPECT_NEAR(white.l, 100, 0.01);
    EXPECT_NEAR(white.a, 0, 0.01);
    EXPECT_NEAR(white.b, 0, 0.01);
}

RgbImage filled(std::uint32_t pixel) { return RgbImage(20, 20, pixel); }

TEST(Vision, TilesOfRedAgainstGreenAreFlaggedForProtanopiaAndDeuteranopiaOnly) {
    // From red to green in five steps, nothing else changing.
    const std::array<RgbImage, NUM_COLOURS> tiles = {filled(0xd20000), filled(0x9e4000), filled(0x698000),
                                                     filled(0x34bf00), filled(0x00ff00)};
    const VisionTable table = vision_table(tiles);
    EXPECT_FALSE(table.flagged(VISION_NORMAL));
    EXPECT_TRUE(table.flagged(VISION_PROTANOPIA));
    EXPECT_TRUE(table.flagged(VISION_DEUTERANOPIA));
    EXPECT_FALSE(table.flagged(VISION_TRITANOPIA));
}

TEST(Vision, FiveShapesInOneColourPassEveryVision) {
    const auto shape = [](auto inside) {
        RgbImage tile(20, 20, 0x303030);
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 20; ++x)
                if (inside(x - 10, y - 10)) tile.set(x, y, 0xe0c020);
        return tile;
    };
    const std::array<RgbImage, NUM_COLOURS> tiles = {
        shape([](int x, int y) { return x * x + y * y < 64; }),              // disc
        shape([](int x, int y) { return std::abs(x) < 4 || std::abs(y) < 4; }),  // cross
        shape([](int x, int y) { return std::abs(x) + std::abs(y) < 6; }),     // small diamond
        shape([](int x, int y) { return std::max(std::abs(x), std::abs(y)) > 6; }),  // frame
        shape([](int x, int y) { return y > x; }),                           // half
    };
    const VisionTable table = vision_table(tiles);
    for (int vision = 0; vision < NUM_VISIONS; ++vision) EXPECT_FALSE(table.flagged(vision)) << VISION_NAMES[vision];
}

}  // namespace
