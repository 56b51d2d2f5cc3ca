// bmp_sheet_fuzz.cpp: any bytes read as a BMP tile sheet. The decoder reads
// only inside the buffer (AddressSanitizer watches), refuses with exactly
// one message and the sheet untouched, and on success hands back indexes
// that all lie inside the palette.
#include <cstdint>
#include <cstdlib>
#include <span>

#include "pictures/bmp_sheet.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    BmpSheet sheet;
    sheet.bits_per_pixel = -1;
    Messages messages;
    const int result = decode_bmp_sheet(std::span(data, size), "fuzz.bmp", sheet, messages);
    if (result == -1) {
        if (messages.size() != 1 || sheet.bits_per_pixel != -1) std::abort();
        return 0;
    }
    if (result != 0 || !messages.empty()) std::abort();
    if (sheet.bits_per_pixel != 1 && sheet.bits_per_pixel != 4 && sheet.bits_per_pixel != 8) std::abort();
    if (sheet.colour_count != 1 << sheet.bits_per_pixel) std::abort();
    if (sheet.palette_length < 1 || sheet.palette_length > sheet.colour_count) std::abort();
    for (std::uint8_t index : sheet.pixels)
        if (index >= sheet.palette_length) std::abort();
    return 0;
}
