// png_file.h: pictures written as 8-bit RGB PNG files through libpng.
#pragma once

#include <string>

#include "theme_tool/theme_image.h"

// Writes `image` to `path`. 0, or -1 with `error` set.
int write_png(const RgbImage& image, const std::string& path, std::string& error);
