// settings_fuzz.cpp: any bytes read as the settings file. Whatever the
// lines say, the board size comes out inside the board's range and the
// Pictures number is never negative.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "app/settings.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    int columns = -1;
    int rows = -1;
    int pictures = -1;
    parse_settings(std::string_view(reinterpret_cast<const char*>(data), size), &columns, &rows, &pictures);
    if (columns < 10 || columns > 30 || rows < 8 || rows > 20 || pictures < 0) std::abort();
    return 0;
}
