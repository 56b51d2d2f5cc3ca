// vision.h: can the five tiles of a set be told apart by players with a
// colour vision deficiency? Each tile is simulated for protanopia,
// deuteranopia and tritanopia with the model of Machado, Oliveira and
// Fernandes, "A Physiologically-based Model for Simulation of Color Vision
// Deficiency", IEEE Transactions on Visualization and Computer Graphics
// 15(6), 2009 (their matrices for severity 1.0, applied to linear sRGB), and
// in greyscale (relative luminance only). Two tiles differ by the CIEDE2000
// colour difference of each pair of pixels at the same place, averaged over
// the tile (CIELAB from sRGB, D65 white), so tiles that differ in shape
// stay apart even when their colours merge.
#pragma once

#include <array>
#include <string>

#include "board/board.h"
#include "theme_tool/theme_image.h"

enum Vision { VISION_NORMAL, VISION_PROTANOPIA, VISION_DEUTERANOPIA, VISION_TRITANOPIA, VISION_GREYSCALE };
constexpr int NUM_VISIONS = 5;
constexpr std::array<const char*, NUM_VISIONS> VISION_NAMES = {"normal", "protanopia", "deuteranopia", "tritanopia",
                                                               "greyscale"};

// Pairs whose mean difference is below this are flagged. A CIEDE2000
// difference near 1 is just noticeable side by side; tiles must be told
// apart at a glance across a board, which takes several times more.
constexpr double VISION_THRESHOLD = 10.0;

using Matrix3 = std::array<std::array<double, 3>, 3>;
// Machado et al. 2009, severity 1.0, rows giving linear red, green, blue.
extern const Matrix3 MACHADO_PROTANOPIA;
extern const Matrix3 MACHADO_DEUTERANOPIA;
extern const Matrix3 MACHADO_TRITANOPIA;

struct Lab {
    double l;
    double a;
    double b;
};

// sRGB pixel to CIELAB (D65), and the CIEDE2000 difference.
Lab lab_of_pixel(std::uint32_t pixel);
double ciede2000(const Lab& first, const Lab& second);

// A pixel as a player with `vision` sees it, back in sRGB.
std::uint32_t simulate_pixel(std::uint32_t pixel, Vision vision);
RgbImage simulate_image(const RgbImage& image, Vision vision);

// difference[v][i][j] for tiles i, j (0..4) under vision v.
struct VisionTable {
    std::array<std::array<std::array<double, NUM_COLOURS>, NUM_COLOURS>, NUM_VISIONS> difference{};
    // True when some pair, under some vision, is below the threshold.
    bool flagged() const;
    bool flagged(int vision) const;
};
VisionTable vision_table(const std::array<RgbImage, NUM_COLOURS>& tiles);

// The table as printed: one block per vision, pairs below the threshold
// marked.
std::string vision_report(const VisionTable& table);

// The five tiles in a row under each vision in turn, one row per vision.
RgbImage vision_picture(const std::array<RgbImage, NUM_COLOURS>& tiles);
