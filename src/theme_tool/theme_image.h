// theme_image.h: a picture as clumpout-theme holds it: 0x00RRGGBB pixels,
// the pixel values the game's images have on a 24-bit TrueColor screen,
// row by row from the top.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct RgbImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;

    RgbImage() = default;
    RgbImage(int w, int h, std::uint32_t fill = 0)
        : width(w), height(h), pixels(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), fill) {}

    std::uint32_t at(int x, int y) const { return pixels[index(x, y)]; }
    void set(int x, int y, std::uint32_t pixel) { pixels[index(x, y)] = pixel; }
    bool operator==(const RgbImage& other) const = default;

private:
    std::size_t index(int x, int y) const {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x);
    }
};

constexpr std::uint32_t BLACK_PIXEL = 0x000000;
constexpr std::uint32_t WHITE_PIXEL = 0xffffff;
