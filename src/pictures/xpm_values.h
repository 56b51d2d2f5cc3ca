// xpm_values.h: what an XPM file promises on its values line (width,
// height, colours, characters per pixel, hotspot), held against what a
// picture of the game can use before libXpm reads the file. libXpm sizes
// its tables from these numbers alone, so a file of a few bytes could
// otherwise make it ask for gigabytes.
#pragma once

#include <cstdint>
#include <string_view>

// How far into a file the values line is looked for.
constexpr std::size_t XPM_VALUES_SEARCH_BYTES = 64 * 1024;

// A colour of a picture is named by at most this many characters per
// pixel; no picture of the game has more colours than that names.
constexpr unsigned XPM_MAX_CHARS_PER_PIXEL = 4;

// Whether a file of `file_bytes` bytes starting with `head` may go to
// libXpm: a values line (of XPM 3, the first string, comments skipped; of
// XPM 2, the line after "! XPM2") of four numbers, optionally a hotspot and
// "XPMEXT", with sides 1..32767 (what X can carry), 1 to width x height
// colours, 1..XPM_MAX_CHARS_PER_PIXEL characters per pixel,
// a hotspot (if any) inside the picture, and bytes enough for the colour
// lines and pixel rows it promises.
bool xpm_values_fit(std::string_view head, std::uint64_t file_bytes);

// xpm_values_fit on the file at `path`; false when it cannot be read.
bool xpm_file_fits(const char* path);
