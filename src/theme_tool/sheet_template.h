// sheet_template.h: a starting point for painting a BMP tile sheet: a
// 192 x 64 sheet at 1, 4 or 8 bits per pixel with every tile outlined and
// labelled with what belongs there, which the game loads as it is.
#pragma once

#include <cstdint>
#include <vector>

// The bytes of the template sheet; `bits` is 1, 4 or 8.
std::vector<std::uint8_t> make_template_sheet(int bits);
