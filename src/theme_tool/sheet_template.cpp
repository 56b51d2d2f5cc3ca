// sheet_template.cpp: the template is drawn as palette indexes with a tiny
// pixel font of its own, then written in the layout the game's decoder
// reads: the 14-byte file header, the 40-byte info header, a full palette
// and the rows bottom row first, each 192 pixels with no filler.
#include "theme_tool/sheet_template.h"

#include <array>
#include <string>

#include "pictures/bmp_sheet.h"

namespace {

// Palette indexes.
constexpr std::uint8_t PAPER = 0;
constexpr std::uint8_t INK = 1;
constexpr std::uint8_t SELECTED_PAPER = 2;
constexpr std::uint8_t BACKGROUND_PAPER = 3;
constexpr std::uint8_t UNUSED_PAPER = 4;

// Blue, green, red of each ink; a 1-bit sheet has the first two only.
constexpr std::array<std::array<std::uint8_t, 3>, 5> INK_COLOURS = {{
    {0xff, 0xff, 0xff},  // paper of the default tiles
    {0x00, 0x00, 0x00},  // outlines and labels
    {0xc0, 0xf0, 0xff},  // paper of the selected tiles, pale yellow
    {0xd8, 0xd8, 0xd8},  // paper of the background tile
    {0x90, 0x90, 0x90},  // the unused tile
}};

// 3 x 5 glyphs, one row per entry, the leftmost pixel in bit 2.
struct Glyph {
    char c;
    std::array<std::uint8_t, 5> rows;
};
constexpr std::array<Glyph, 25> FONT = {{
    {'A', {2, 5, 7, 5, 5}}, {'B', {6, 5, 6, 5, 6}}, {'C', {3, 4, 4, 4, 3}}, {'D', {6, 5, 5, 5, 6}},
    {'E', {7, 4, 6, 4, 7}}, {'G', {3, 4, 5, 5, 3}}, {'K', {5, 5, 6, 5, 5}}, {'L', {4, 4, 4, 4, 7}},
    {'M', {5, 7, 7, 5, 5}}, {'N', {6, 5, 5, 5, 5}}, {'O', {2, 5, 5, 5, 2}}, {'R', {6, 5, 6, 5, 5}},
    {'S', {3, 4, 2, 1, 6}}, {'T', {7, 2, 2, 2, 2}}, {'U', {5, 5, 5, 5, 7}}, {'0', {7, 5, 5, 5, 7}},
    {'1', {2, 6, 2, 2, 7}}, {'2', {6, 1, 2, 4, 7}}, {'3', {6, 1, 2, 1, 6}}, {'4', {5, 5, 7, 1, 1}},
    {'5', {7, 4, 6, 1, 6}}, {'6', {3, 4, 6, 5, 2}}, {'7', {7, 1, 2, 2, 2}}, {'8', {2, 5, 2, 5, 2}},
    {'9', {2, 5, 3, 1, 6}},
}};
constexpr int GLYPH_WIDTH = 3;
constexpr int GLYPH_HEIGHT = 5;
constexpr int GLYPH_ADVANCE = 4;
constexpr int LINE_ADVANCE = 7;

using Canvas = std::array<std::uint8_t, SHEET_WIDTH * SHEET_HEIGHT>;

void put(Canvas& canvas, int x, int y, std::uint8_t ink) {
    canvas[static_cast<std::size_t>(y * SHEET_WIDTH + x)] = ink;
}

// `text` centred across the tile at `left`, its top at `top`.
void draw_text(Canvas& canvas, const std::string& text, int left, int top) {
    const int width = static_cast<int>(text.size()) * GLYPH_ADVANCE - 1;
    int x = left + (SHEET_TILE_SIDE - width) / 2;
    for (char c : text) {
        for (const Glyph& glyph : FONT) {
            if (glyph.c != c) continue;
            for (int row = 0; row < GLYPH_HEIGHT; ++row) {
                for (int column = 0; column < GLYPH_WIDTH; ++column) {
                    if ((glyph.rows[static_cast<std::size_t>(row)] >> (GLYPH_WIDTH - 1 - column) & 1) != 0)
                        put(canvas, x + column, top + row, INK);
                }
            }
        }
        x += GLYPH_ADVANCE;
    }
}

// A tile filled with `paper`, outlined on its outermost pixels, labelled
// with two lines.
void draw_tile(Canvas& canvas, int left, int top, std::uint8_t paper, const std::string& first,
               const std::string& second) {
    for (int y = 0; y < SHEET_TILE_SIDE; ++y) {
        for (int x = 0; x < SHEET_TILE_SIDE; ++x) {
            const bool edge = x == 0 || y == 0 || x == SHEET_TILE_SIDE - 1 || y == SHEET_TILE_SIDE - 1;
            put(canvas, left + x, top + y, edge ? INK : paper);
        }
    }
    const int text_top = top + (SHEET_TILE_SIDE - (LINE_ADVANCE + GLYPH_HEIGHT)) / 2;
    draw_text(canvas, first, left, text_top);
    draw_text(canvas, second, left, text_top + LINE_ADVANCE);
}

void put_le(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint32_t value, int size) {
    for (int i = 0; i < size; ++i)
        bytes[offset + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (8 * i));
}

}  // namespace

std::vector<std::uint8_t> make_template_sheet(int bits) {
    const bool two_colours = bits == 1;
    const auto paper = [two_colours](std::uint8_t ink) { return two_colours ? PAPER : ink; };
    Canvas canvas{};
    for (const SheetTile& tile : SHEET_TILES) {
        if (tile.state < 0) {
            draw_tile(canvas, tile.x, tile.y, paper(BACKGROUND_PAPER), "BACK", "GROUND");
            continue;
        }
        const std::string colour = "COL " + std::to_string(tile.colour + 1);
        if (tile.state == 0)
            draw_tile(canvas, tile.x, tile.y, PAPER, colour, "NORMAL");
        else
            draw_tile(canvas, tile.x, tile.y, paper(SELECTED_PAPER), colour, "SELECT");
    }
    draw_tile(canvas, 0, SHEET_TILE_SIDE, paper(UNUSED_PAPER), "NOT", "USED");

    const std::size_t colours = std::size_t{1} << bits;
    const std::size_t palette_start = 14 + 40;
    const std::size_t rows_start = palette_start + 4 * colours;
    const std::size_t row_bytes = static_cast<std::size_t>(SHEET_WIDTH * bits / 8);
    std::vector<std::uint8_t> bytes(rows_start + row_bytes * SHEET_HEIGHT, 0);
    bytes[0] = 'B';
    bytes[1] = 'M';
    put_le(bytes, 2, static_cast<std::uint32_t>(bytes.size()), 4);
    put_le(bytes, 10, static_cast<std::uint32_t>(rows_start), 4);
    put_le(bytes, 14, 40, 4);
    put_le(bytes, 18, SHEET_WIDTH, 4);
    put_le(bytes, 22, SHEET_HEIGHT, 4);
    put_le(bytes, 26, 1, 2);
    put_le(bytes, 28, static_cast<std::uint32_t>(bits), 2);
    put_le(bytes, 34, static_cast<std::uint32_t>(row_bytes * SHEET_HEIGHT), 4);
    put_le(bytes, 38, 2835, 4);  // 72 dots per inch
    put_le(bytes, 42, 2835, 4);
    for (std::size_t i = 0; i < std::min(colours, INK_COLOURS.size()); ++i) {
        for (std::size_t channel = 0; channel < 3; ++channel)
            bytes[palette_start + 4 * i + channel] = INK_COLOURS[i][channel];
    }
    const int per_byte = 8 / bits;
    for (int r = 0; r < SHEET_HEIGHT; ++r) {
        const int y = SHEET_HEIGHT - 1 - r;  // the bottom row comes first
        for (int x = 0; x < SHEET_WIDTH; ++x) {
            const int shift = (per_byte - 1 - x % per_byte) * bits;  // leftmost pixel in the high bits
            bytes[rows_start + row_bytes * static_cast<std::size_t>(r) + static_cast<std::size_t>(x / per_byte)] |=
                static_cast<std::uint8_t>(canvas[static_cast<std::size_t>(y * SHEET_WIDTH + x)] << shift);
        }
    }
    return bytes;
}
