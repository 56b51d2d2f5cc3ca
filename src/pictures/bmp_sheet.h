// bmp_sheet.h: decoding a BMP tile sheet, a 192 x 64 picture of palette
// indexes holding the background and the default and selected tiles of a
// picture set. Pure: bytes in, palette and indexes out; no X here.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "base/report.h"
#include "board/board.h"

constexpr int SHEET_WIDTH = 192;
constexpr int SHEET_HEIGHT = 64;
constexpr int SHEET_TILE_SIDE = 32;

struct PaletteColour {
    std::uint8_t red;
    std::uint8_t green;
    std::uint8_t blue;
};

struct BmpSheet {
    int bits_per_pixel = 0;  // 1, 4 or 8
    int colour_count = 0;    // 2 ^ bits_per_pixel, whatever the palette's length
    int palette_length = 0;  // entries in the file: 1 .. colour_count
    std::array<PaletteColour, 256> palette{};
    // Palette indexes in picture order: top row first, left to right. Every
    // index is below palette_length.
    std::array<std::uint8_t, SHEET_WIDTH * SHEET_HEIGHT> pixels{};

    int index_at(int x, int y) const { return pixels[static_cast<std::size_t>(y * SHEET_WIDTH + x)]; }
};

// Where the tiles lie on the sheet, in the order they are cut out. `state`
// is the TileState (0 default, 1 selected), or -1 for the background; the
// tile at (0, 32) is not used.
struct SheetTile {
    int x;
    int y;
    int state;
    int colour;  // 0..4 for colours 1..5; unused for the background
};
extern const std::array<SheetTile, 11> SHEET_TILES;

// A sheet set has 32 x 32 tiles, no outline, and images for the default and
// selected states only (per TileState).
constexpr std::array<int, NUM_TILE_STATES> SHEET_STATES = {1, 1, 0};

// A sheet holds no frame. A two-colour sheet gets FRAME_PATTERN, in black
// and white; any other gets the frame of "Marble" (and the pattern when that
// cannot be made).
enum class SheetFrame { PATTERN, MARBLE };
SheetFrame sheet_frame(int colour_count);
// 8 x 8, rows top to bottom, least significant bit leftmost; set bits black.
constexpr std::array<unsigned char, 8> FRAME_PATTERN = {0xd5, 0xaa, 0xd5, 0xaa, 0xd5, 0xaa, 0xd5, 0xff};

// A catalogue file names a sheet when it ends in ".bmp" or ".BMP" after at
// least one other character; every other name is a description file.
bool is_sheet_name(std::string_view name);

// Decodes the bytes of a sheet file; `path` is the file's path for the
// messages. Returns 0, or -1 with `out` unchanged and the reason appended to
// `messages`.
int decode_bmp_sheet(std::span<const std::uint8_t> bytes, const char* path, BmpSheet& out, Messages& messages);

// Opens `name` as written, then as data_dir + "/" + name, and decodes it.
int read_bmp_sheet(const char* name, const char* data_dir, BmpSheet& out, Messages& messages);

// Bounds-checked little-endian fields; nullopt when the field does not fit.
std::optional<std::uint32_t> read_le32(std::span<const std::uint8_t> bytes, std::size_t offset);
std::optional<std::uint16_t> read_le16(std::span<const std::uint8_t> bytes, std::size_t offset);
