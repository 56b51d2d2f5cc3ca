// vision.cpp: the simulation, CIELAB and CIEDE2000 (after Sharma, Wu and
// Dalal, "The CIEDE2000 Color-Difference Formula: Implementation Notes",
// Color Research and Application 30(1), 2005).
#include "theme_tool/vision.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "base/report.h"

const Matrix3 MACHADO_PROTANOPIA = {{{0.152286, 1.052583, -0.204868},
                                     {0.114503, 0.786281, 0.099216},
                                     {-0.003882, -0.048116, 1.051998}}};
const Matrix3 MACHADO_DEUTERANOPIA = {{{0.367322, 0.860646, -0.227968},
                                       {0.280085, 0.672501, 0.047413},
                                       {-0.011820, 0.042940, 0.968881}}};
const Matrix3 MACHADO_TRITANOPIA = {{{1.255528, -0.076749, -0.178779},
                                     {-0.078411, 0.930809, 0.147602},
                                     {0.004733, 0.691367, 0.303900}}};

namespace {

constexpr double PI = std::numbers::pi;
constexpr int TILE_GAP = 4;  // between the tiles of the vision picture

using Linear = std::array<double, 3>;

double to_linear(int byte) {
    const double c = byte / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

int to_byte(double linear) {
    const double c = std::clamp(linear, 0.0, 1.0);
    const double encoded = c <= 0.0031308 ? 12.92 * c : 1.055 * std::pow(c, 1 / 2.4) - 0.055;
    return static_cast<int>(std::lround(encoded * 255.0));
}

Linear linear_of(std::uint32_t pixel) {
    return {to_linear(static_cast<int>(pixel >> 16 & 0xff)), to_linear(static_cast<int>(pixel >> 8 & 0xff)),
            to_linear(static_cast<int>(pixel & 0xff))};
}

double luminance(const Linear& c) { return 0.2126729 * c[0] + 0.7151522 * c[1] + 0.0721750 * c[2]; }

Linear simulate(const Linear& c, Vision vision) {
    const Matrix3* matrix = nullptr;
    switch (vision) {
    case VISION_PROTANOPIA: matrix = &MACHADO_PROTANOPIA; break;
    case VISION_DEUTERANOPIA: matrix = &MACHADO_DEUTERANOPIA; break;
    case VISION_TRITANOPIA: matrix = &MACHADO_TRITANOPIA; break;
    case VISION_GREYSCALE: {
        const double y = luminance(c);
        return {y, y, y};
    }
    case VISION_NORMAL: return c;
    }
    Linear out{};
    for (std::size_t row = 0; row < 3; ++row) {
        double sum = 0;
        for (std::size_t i = 0; i < 3; ++i) sum += (*matrix)[row][i] * c[i];
        out[row] = std::clamp(sum, 0.0, 1.0);  // the screen shows no more than its gamut
    }
    return out;
}

double lab_f(double t) {
    constexpr double delta = 6.0 / 29.0;
    return t > delta * delta * delta ? std::cbrt(t) : t / (3 * delta * delta) + 4.0 / 29.0;
}

Lab lab_of_linear(const Linear& c) {
    // sRGB primaries to XYZ, relative to the D65 white.
    const double x = (0.4124564 * c[0] + 0.3575761 * c[1] + 0.1804375 * c[2]) / 0.95047;
    const double y = 0.2126729 * c[0] + 0.7151522 * c[1] + 0.0721750 * c[2];
    const double z = (0.0193339 * c[0] + 0.1191920 * c[1] + 0.9503041 * c[2]) / 1.08883;
    const double fx = lab_f(x), fy = lab_f(y), fz = lab_f(z);
    return {116 * fy - 16, 500 * (fx - fy), 200 * (fy - fz)};
}

double degrees(double radians) { return radians * 180.0 / PI; }
double radians(double degrees) { return degrees * PI / 180.0; }

std::vector<Lab> lab_image(const RgbImage& image, Vision vision) {
    std::vector<Lab> labs;
    labs.reserve(image.pixels.size());
    for (std::uint32_t pixel : image.pixels) labs.push_back(lab_of_linear(simulate(linear_of(pixel), vision)));
    return labs;
}

double mean_of(const std::vector<Lab>& first, const std::vector<Lab>& second) {
    if (first.empty() || first.size() != second.size()) return 0.0;
    double total = 0;
    for (std::size_t i = 0; i < first.size(); ++i) total += ciede2000(first[i], second[i]);
    return total / static_cast<double>(first.size());
}

}  // namespace

Lab lab_of_pixel(std::uint32_t pixel) { return lab_of_linear(linear_of(pixel)); }

double ciede2000(const Lab& first, const Lab& second) {
    const double c1 = std::hypot(first.a, first.b);
    const double c2 = std::hypot(second.a, second.b);
    const double c_mean7 = std::pow((c1 + c2) / 2, 7);
    const double g = 0.5 * (1 - std::sqrt(c_mean7 / (c_mean7 + std::pow(25.0, 7))));
    const double a1 = (1 + g) * first.a;
    const double a2 = (1 + g) * second.a;
    const double cp1 = std::hypot(a1, first.b);
    const double cp2 = std::hypot(a2, second.b);
    const auto hue = [](double b, double a) {
        if (a == 0 && b == 0) return 0.0;
        const double h = degrees(std::atan2(b, a));
        return h < 0 ? h + 360 : h;
    };
    const double h1 = hue(first.b, a1);
    const double h2 = hue(second.b, a2);

    const double dl = second.l - first.l;
    const double dc = cp2 - cp1;
    double dh = 0;
    if (cp1 * cp2 != 0) {
        dh = h2 - h1;
        if (dh > 180) dh -= 360;
        if (dh < -180) dh += 360;
    }
    const double dhh = 2 * std::sqrt(cp1 * cp2) * std::sin(radians(dh / 2));

    const double l_mean = (first.l + second.l) / 2;
    const double cp_mean = (cp1 + cp2) / 2;
    double h_mean = h1 + h2;
    if (cp1 * cp2 != 0) {
        if (std::abs(h1 - h2) <= 180)
            h_mean = (h1 + h2) / 2;
        else
            h_mean = h1 + h2 < 360 ? (h1 + h2 + 360) / 2 : (h1 + h2 - 360) / 2;
    }
    const double t = 1 - 0.17 * std::cos(radians(h_mean - 30)) + 0.24 * std::cos(radians(2 * h_mean)) +
                     0.32 * std::cos(radians(3 * h_mean + 6)) - 0.20 * std::cos(radians(4 * h_mean - 63));
    const double d_theta = 30 * std::exp(-std::pow((h_mean - 275) / 25, 2));
    const double cp_mean7 = std::pow(cp_mean, 7);
    const double rc = 2 * std::sqrt(cp_mean7 / (cp_mean7 + std::pow(25.0, 7)));
    const double sl = 1 + 0.015 * std::pow(l_mean - 50, 2) / std::sqrt(20 + std::pow(l_mean - 50, 2));
    const double sc = 1 + 0.045 * cp_mean;
    const double sh = 1 + 0.015 * cp_mean * t;
    const double rt = -std::sin(radians(2 * d_theta)) * rc;
    const double tl = dl / sl, tc = dc / sc, th = dhh / sh;
    return std::sqrt(tl * tl + tc * tc + th * th + rt * tc * th);
}

std::uint32_t simulate_pixel(std::uint32_t pixel, Vision vision) {
    const Linear c = simulate(linear_of(pixel), vision);
    return static_cast<std::uint32_t>(to_byte(c[0])) << 16 | static_cast<std::uint32_t>(to_byte(c[1])) << 8 |
           static_cast<std::uint32_t>(to_byte(c[2]));
}

RgbImage simulate_image(const RgbImage& image, Vision vision) {
    RgbImage out = image;
    for (std::uint32_t& pixel : out.pixels) pixel = simulate_pixel(pixel, vision);
    return out;
}

bool VisionTable::flagged(int vision) const {
    for (int i = 0; i < NUM_COLOURS; ++i) {
        for (int j = i + 1; j < NUM_COLOURS; ++j) {
            if (difference[static_cast<std::size_t>(vision)][static_cast<std::size_t>(i)][static_cast<std::size_t>(j)] <
                VISION_THRESHOLD)
                return true;
        }
    }
    return false;
}

bool VisionTable::flagged() const {
    for (int vision = 0; vision < NUM_VISIONS; ++vision) {
        if (flagged(vision)) return true;
    }
    return false;
}

VisionTable vision_table(const std::array<RgbImage, NUM_COLOURS>& tiles) {
    VisionTable table;
    for (int vision = 0; vision < NUM_VISIONS; ++vision) {
        std::array<std::vector<Lab>, NUM_COLOURS> labs;
        for (std::size_t i = 0; i < NUM_COLOURS; ++i) labs[i] = lab_image(tiles[i], static_cast<Vision>(vision));
        auto& block = table.difference[static_cast<std::size_t>(vision)];
        for (std::size_t i = 0; i < NUM_COLOURS; ++i) {
            for (std::size_t j = i + 1; j < NUM_COLOURS; ++j) block[i][j] = block[j][i] = mean_of(labs[i], labs[j]);
        }
    }
    return table;
}

std::string vision_report(const VisionTable& table) {
    std::string text = format_message("Mean CIEDE2000 difference of each pair of tiles; below %.0f is flagged (*).\n",
                                      VISION_THRESHOLD);
    text += "pair         ";
    for (const char* name : VISION_NAMES) text += format_message(" %13s", name);
    text += "\n";
    for (std::size_t i = 0; i < NUM_COLOURS; ++i) {
        for (std::size_t j = i + 1; j < NUM_COLOURS; ++j) {
            text += format_message("colours %zu-%zu ", i + 1, j + 1);
            for (std::size_t vision = 0; vision < NUM_VISIONS; ++vision) {
                const double value = table.difference[vision][i][j];
                text += format_message(" %12.1f%c", value, value < VISION_THRESHOLD ? '*' : ' ');
            }
            text += "\n";
        }
    }
    for (int vision = 0; vision < NUM_VISIONS; ++vision)
        text += format_message("%s: %s\n", VISION_NAMES[static_cast<std::size_t>(vision)],
                               table.flagged(vision) ? "FLAGGED" : "ok");
    return text;
}

RgbImage vision_picture(const std::array<RgbImage, NUM_COLOURS>& tiles) {
    const int width = tiles[0].width;
    const int height = tiles[0].height;
    RgbImage picture(NUM_COLOURS * (width + TILE_GAP) + TILE_GAP, NUM_VISIONS * (height + TILE_GAP) + TILE_GAP,
                     WHITE_PIXEL);
    for (int vision = 0; vision < NUM_VISIONS; ++vision) {
        for (int i = 0; i < NUM_COLOURS; ++i) {
            const RgbImage seen = simulate_image(tiles[static_cast<std::size_t>(i)], static_cast<Vision>(vision));
            const int left = TILE_GAP + i * (width + TILE_GAP);
            const int top = TILE_GAP + vision * (height + TILE_GAP);
            for (int y = 0; y < std::min(height, seen.height); ++y) {
                for (int x = 0; x < std::min(width, seen.width); ++x) picture.set(left + x, top + y, seen.at(x, y));
            }
        }
    }
    return picture;
}
