// bmp_sheet_builder.h: writes BMP tile sheets byte by byte for the tests, in
// the layout the loader reads, with every header field open to tampering.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "pictures/bmp_sheet.h"

struct SheetLayout {
    int bits = 8;
    std::vector<PaletteColour> palette;  // written as blue, green, red, 0
    std::int32_t width = SHEET_WIDTH;
    std::int32_t height = SHEET_HEIGHT;
    std::uint16_t planes = 1;
    std::uint32_t compression = 0;
    std::uint32_t colours_used = 0;
    std::uint32_t info_size = 40;
    std::uint32_t gap = 0;  // filler bytes between the palette and the rows
    std::int64_t data_offset = -1;  // -1: where the rows really start
    // Palette index of picture position (x, y), y = 0 the top row.
    std::function<int(int x, int y)> pixel = [](int, int) { return 0; };
};

inline void put_le(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint64_t value, int size) {
    for (int i = 0; i < size; ++i) bytes[offset + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (8 * i));
}

inline std::vector<std::uint8_t> build_sheet(const SheetLayout& layout) {
    const std::size_t header = 14 + std::max<std::size_t>(40, layout.info_size);
    const std::size_t rows_start = header + 4 * layout.palette.size() + layout.gap;
    const std::size_t row_bytes = static_cast<std::size_t>(SHEET_WIDTH * layout.bits / 8);
    std::vector<std::uint8_t> bytes(rows_start + row_bytes * SHEET_HEIGHT, 0);
    bytes[0] = 'B';
    bytes[1] = 'M';
    put_le(bytes, 2, bytes.size(), 4);
    put_le(bytes, 10, layout.data_offset < 0 ? rows_start : static_cast<std::uint64_t>(layout.data_offset), 4);
    put_le(bytes, 14, layout.info_size, 4);
    put_le(bytes, 18, static_cast<std::uint32_t>(layout.width), 4);
    put_le(bytes, 22, static_cast<std::uint32_t>(layout.height), 4);
    put_le(bytes, 26, layout.planes, 2);
    put_le(bytes, 28, static_cast<std::uint64_t>(layout.bits), 2);
    put_le(bytes, 30, layout.compression, 4);
    put_le(bytes, 34, row_bytes * SHEET_HEIGHT, 4);
    put_le(bytes, 46, layout.colours_used, 4);
    for (std::size_t i = 0; i < layout.palette.size(); ++i) {
        bytes[header + 4 * i] = layout.palette[i].blue;
        bytes[header + 4 * i + 1] = layout.palette[i].green;
        bytes[header + 4 * i + 2] = layout.palette[i].red;
    }
    const int per_byte = 8 / layout.bits;
    for (int r = 0; r < SHEET_HEIGHT; ++r) {
        for (int x = 0; x < SHEET_WIDTH; ++x) {
            const unsigned index = static_cast<unsigned>(layout.pixel(x, SHEET_HEIGHT - 1 - r));
            const int shift = (per_byte - 1 - x % per_byte) * layout.bits;
            bytes[rows_start + row_bytes * static_cast<std::size_t>(r) + static_cast<std::size_t>(x / per_byte)] |=
                static_cast<std::uint8_t>(index << shift);
        }
    }
    return bytes;
}

// A palette of n distinct colours.
inline std::vector<PaletteColour> numbered_palette(int n) {
    std::vector<PaletteColour> palette;
    for (int i = 0; i < n; ++i)
        palette.push_back({static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(255 - i),
                           static_cast<std::uint8_t>(i * 7)});
    return palette;
}
