// catalogue.cpp: reading "clumpout.dat", the list of extra picture sets.
// Pure text handling: whether an entry's file exists or loads is found out
// only when the player chooses it.
#include "pictures/catalogue.h"

#include <array>
#include <optional>
#include <string>

#include "base/data_lookup.h"
#include "base/line_reader.h"

std::vector<CatalogEntry> catalogue;
int catalogue_count = 0;

std::vector<CatalogEntry> parse_catalogue(std::string_view text) {
    std::vector<CatalogEntry> entries;
    LineReader reader(text);
    while (const std::optional<std::string_view> piece = reader.next()) {
        std::array<std::string_view, 2> words;
        // A line of fewer than two words is no entry, and is skipped silently.
        if (split_words(cut_comment(*piece), words.data(), words.size()) < 2) continue;
        entries.push_back(CatalogEntry{std::string(words[0]), std::string(words[1]), 0});
    }
    return entries;
}

int load_catalogue(std::vector<CatalogEntry>& out, const char* data_dir) {
    // The copy in the current directory shadows the installed one, even
    // when it holds no entry.
    std::string text;
    std::string path;
    const LookupResult found = read_data_file(CATALOGUE_NAME, data_dir, TEXT_FILE_MAX, path, text);
    if (found != LookupResult::FOUND) {
        catalogue_count = 0;
        return 0;
    }
    std::vector<CatalogEntry> entries = parse_catalogue(text);
    const int count = static_cast<int>(entries.size());
    if (count != 0) out = std::move(entries);
    // The count is the module's own record, whoever keeps the array.
    catalogue_count = count;
    return count;
}
