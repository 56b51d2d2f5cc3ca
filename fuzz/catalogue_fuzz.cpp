// catalogue_fuzz.cpp: any bytes read as "clumpout.dat". Every entry is two
// non-empty words of one text piece, with no comment in them, and a text
// holds at most one entry per 255-byte piece.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "pictures/catalogue.h"

namespace {

bool is_word(const std::string& word) {
    if (word.empty() || word.size() > 254) return false;
    for (char c : word)
        if (c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r' || c == '#' || c == '\0')
            return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::vector<CatalogEntry> entries = parse_catalogue(text);
    if (entries.size() > size / 3 + 1) std::abort();
    for (const CatalogEntry& entry : entries) {
        if (!is_word(entry.name) || !is_word(entry.file) || entry.disabled != 0) std::abort();
        if (entry.name.size() + entry.file.size() > 254) std::abort();
    }
    return 0;
}
