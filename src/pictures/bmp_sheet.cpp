// bmp_sheet.cpp: the BMP tile sheet decoder. Every field is read through the
// bounds-checked read_le16/read_le32 and every size is computed in 64 bits,
// so no input makes it read past the bytes it was given.
#include "pictures/bmp_sheet.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>

#include "base/data_lookup.h"
#include "base/line_reader.h"

const std::array<SheetTile, 11> SHEET_TILES = {{
    /* x    y   state  colour */
    {32,   0,   0,     0},
    {64,   0,   0,     1},
    {96,   0,   0,     2},
    {128,  0,   0,     3},
    {160,  0,   0,     4},
    {32,   32,  1,     0},
    {64,   32,  1,     1},
    {96,   32,  1,     2},
    {128,  32,  1,     3},
    {160,  32,  1,     4},
    {0,    0,   -1,    0},
}};

std::optional<std::uint32_t> read_le32(std::span<const std::uint8_t> bytes, std::size_t offset) {
    if (offset > bytes.size() || bytes.size() - offset < 4) return std::nullopt;
    std::uint8_t raw[4];
    std::memcpy(raw, bytes.data() + offset, 4);
    return static_cast<std::uint32_t>(raw[0] | raw[1] << 8 | raw[2] << 16 | static_cast<std::uint32_t>(raw[3]) << 24);
}

std::optional<std::uint16_t> read_le16(std::span<const std::uint8_t> bytes, std::size_t offset) {
    if (offset > bytes.size() || bytes.size() - offset < 2) return std::nullopt;
    std::uint8_t raw[2];
    std::memcpy(raw, bytes.data() + offset, 2);
    return static_cast<std::uint16_t>(raw[0] | raw[1] << 8);
}

namespace {

constexpr std::size_t FILE_HEADER_SIZE = 14;
constexpr std::size_t INFO_HEADER_SIZE = 40;  // the form whose fields are read below
// A sheet is at most 14 KB of header, palette and rows; the limit only keeps
// a catalogue entry naming a device or a huge file from eating memory.
constexpr std::size_t READ_LIMIT = std::size_t{16} << 20;

int unsupported(Messages& messages) {
    messages.push_back("Error: not supported data format or size.\n");
    return -1;
}

}  // namespace

SheetFrame sheet_frame(int colour_count) { return colour_count == 2 ? SheetFrame::PATTERN : SheetFrame::MARBLE; }

bool is_sheet_name(std::string_view name) {
    if (name.size() < 5) return false;
    const std::string_view suffix = name.substr(name.size() - 4);
    return suffix == ".bmp" || suffix == ".BMP";
}

int decode_bmp_sheet(std::span<const std::uint8_t> bytes, const char* path, BmpSheet& out, Messages& messages) {
    if (bytes.size() < 2 || bytes[0] != 'B' || bytes[1] != 'M') {
        messages.push_back(format_message("Error: not BMP format file '%s'.\n", path));
        return -1;
    }
    const auto info_size = read_le32(bytes, 14);
    const auto width = read_le32(bytes, 18);
    const auto height = read_le32(bytes, 22);
    const auto planes = read_le16(bytes, 26);
    if (!width || !height || !planes) return unsupported(messages);
    // A top-down sheet (height -64) is refused along with every other size.
    if (*width != SHEET_WIDTH || *height != SHEET_HEIGHT || *planes != 1) return unsupported(messages);

    const auto bits = read_le16(bytes, 28);
    const auto compression = read_le32(bytes, 30);
    const auto colours_used = read_le32(bytes, 46);
    const auto data_offset = read_le32(bytes, 10);
    if (!bits || !compression || !colours_used || !data_offset || !info_size) return unsupported(messages);
    if ((*bits != 1 && *bits != 4 && *bits != 8) || *compression != 0) return unsupported(messages);

    BmpSheet sheet;
    sheet.bits_per_pixel = *bits;
    sheet.colour_count = 1 << *bits;
    // "Colours used" shortens the palette; 0 means all of it.
    if (*colours_used > static_cast<std::uint32_t>(sheet.colour_count)) return unsupported(messages);
    sheet.palette_length = *colours_used == 0 ? sheet.colour_count : static_cast<int>(*colours_used);

    // The palette follows the info header; the later, longer header forms
    // start with the same 40 bytes.
    const std::uint64_t palette_start = FILE_HEADER_SIZE + std::max<std::uint64_t>(INFO_HEADER_SIZE, *info_size);
    const std::uint64_t palette_end = palette_start + 4 * static_cast<std::uint64_t>(sheet.palette_length);
    // Rows follow the palette unless the header points further on.
    const std::uint64_t rows_start = std::max<std::uint64_t>(palette_end, *data_offset);
    const std::uint64_t row_bytes = static_cast<std::uint64_t>(SHEET_WIDTH) * sheet.bits_per_pixel / 8;
    if (rows_start + row_bytes * SHEET_HEIGHT > bytes.size()) return unsupported(messages);

    for (int i = 0; i < sheet.palette_length; ++i) {
        const std::uint8_t* entry = bytes.data() + palette_start + 4 * static_cast<std::size_t>(i);
        sheet.palette[static_cast<std::size_t>(i)] = PaletteColour{entry[2], entry[1], entry[0]};
    }

    const int per_byte = 8 / sheet.bits_per_pixel;
    const unsigned mask = (1u << sheet.bits_per_pixel) - 1;
    for (int r = 0; r < SHEET_HEIGHT; ++r) {
        const std::uint8_t* row = bytes.data() + rows_start + row_bytes * static_cast<std::size_t>(r);
        const int y = SHEET_HEIGHT - 1 - r;  // the file stores the bottom row first
        for (int x = 0; x < SHEET_WIDTH; ++x) {
            const unsigned byte = row[x / per_byte];
            const int shift = (per_byte - 1 - x % per_byte) * sheet.bits_per_pixel;  // leftmost pixel in the high bits
            const unsigned index = (byte >> shift) & mask;
            if (index >= static_cast<unsigned>(sheet.palette_length)) return unsupported(messages);
            sheet.pixels[static_cast<std::size_t>(y * SHEET_WIDTH + x)] = static_cast<std::uint8_t>(index);
        }
    }
    out = sheet;
    return 0;
}

int read_bmp_sheet(const char* name, const char* data_dir, BmpSheet& out, Messages& messages) {
    if (std::strlen(name) > PATH_MAX_CHARS) {
        messages.push_back("Error: BMP file name too long.\n");
        return -1;
    }
    std::string bytes;
    std::string path;
    const LookupResult found = read_data_file(name, data_dir, READ_LIMIT, path, bytes);
    if (found == LookupResult::TOO_LONG) {
        messages.push_back("Error: BMP file name too long.\n");
        return -1;
    }
    if (found == LookupResult::NOT_FOUND) {
        messages.push_back(format_message("Error: can't open BMP file '%s'.\n", name));
        return -1;
    }
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
    return decode_bmp_sheet(std::span<const std::uint8_t>(data, bytes.size()), path.c_str(), out, messages);
}
