// catalogue.cpp: reading "clumpout.dat", the list of extra picture sets.
// Pure text handling: whether an entry's file exists or loads is found out
// only when the player chooses it.
#include "pictures/catalogue.h"

#include <array>
#include <optional>
#include <string>

#include "base/data_lookup.h"
#include "base/line_reader.h"
#include "base/report.h"

std::vector<CatalogEntry> catalogue;

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

namespace {

// The length of the first `limit` bytes of `text` without a last line that
// the limit cut in two, which would give an entry with half a file name.
// Lines longer than a piece are read as 255-byte pieces, and whole pieces
// are kept.
std::size_t cut_to_whole_pieces(std::size_t limit, std::string_view text) {
    if (text.size() > limit && text[limit] == '\n') return limit;
    const std::size_t line_start = text.substr(0, limit).rfind('\n') + 1;  // 0 when there is none
    return limit - (limit - line_start) % (TEXT_LINE_MAX - 1);
}

}  // namespace

int load_catalogue(std::vector<CatalogEntry>& out, const char* data_dir) {
    // The copy in the current directory shadows the installed one, even
    // when it holds no entry.
    std::string text;
    std::string path;
    // One byte past the limit tells a file cut short from one that ends there.
    const LookupResult found = read_data_file(CATALOGUE_NAME, data_dir, TEXT_FILE_MAX + 1, path, text);
    if (found != LookupResult::FOUND) return 0;
    const bool cut = text.size() > TEXT_FILE_MAX;
    if (cut) text.resize(cut_to_whole_pieces(TEXT_FILE_MAX, text));
    std::vector<CatalogEntry> entries = parse_catalogue(text);
    const int count = static_cast<int>(entries.size());
    // Entries past the cut do not exist: say so, or a Pictures number that
    // names one would only be "unknown".
    if (cut) {
        report(format_message("Warning: '%s' is too long: only its first %d entries were read.\n", path.c_str(),
                              count));
    }
    if (count != 0) out = std::move(entries);
    return count;
}
