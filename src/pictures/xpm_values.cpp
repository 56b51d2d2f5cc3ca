// xpm_values.cpp: finding and judging an XPM file's values line. Only the
// numbers are read here; the pictures themselves are libXpm's business.
#include "pictures/xpm_values.h"

#include <sys/stat.h>

#include <limits>
#include <optional>
#include <string>

#include "base/decimal_number.h"
#include "base/line_reader.h"
#include "pictures/picture_limits.h"

namespace {

// Where `wanted` first stands in `text` from `from` on, C comments
// skipped; npos when it does not, or a comment does not end.
std::size_t skip_comments_to(std::string_view text, std::size_t from, char wanted) {
    for (std::size_t i = from; i < text.size(); ++i) {
        if (text.compare(i, 2, "/*") == 0) {
            const std::size_t end = text.find("*/", i + 2);
            if (end == std::string_view::npos) return std::string_view::npos;
            i = end + 1;
        } else if (text[i] == wanted) {
            return i;
        }
    }
    return std::string_view::npos;
}

std::optional<std::string_view> values_line(std::string_view head) {
    if (head.starts_with("!")) {  // "! XPM2": the values come on the next line
        const std::size_t start = head.find('\n');
        if (start == std::string_view::npos) return std::nullopt;
        const std::size_t end = head.find('\n', start + 1);
        if (end == std::string_view::npos) return std::nullopt;
        return head.substr(start + 1, end - start - 1);
    }
    // The first string outside comments, as libXpm takes it, even one that
    // stands before the opening brace.
    const std::size_t open = skip_comments_to(head, 0, '"');
    if (open == std::string_view::npos) return std::nullopt;
    const std::size_t close = head.find('"', open + 1);
    if (close == std::string_view::npos) return std::nullopt;
    return head.substr(open + 1, close - open - 1);
}

std::optional<unsigned> number(std::string_view word) {
    // Digits only: no sign.
    long long value = 0;
    if (word.empty() || word.front() < '0' || word.front() > '9' ||
        !read_whole_decimal(word, 0, std::numeric_limits<unsigned>::max(), value))
        return std::nullopt;
    return static_cast<unsigned>(value);
}

struct XpmValues {
    unsigned width = 0;
    unsigned height = 0;
    unsigned colours = 0;
    unsigned chars_per_pixel = 0;
};

struct ValuesLine {
    XpmValues values;
    std::optional<unsigned> hotspot_x, hotspot_y;
};

std::optional<ValuesLine> parse_values(std::string_view line) {
    constexpr std::size_t MAX_WORDS = 8;
    std::string_view words[MAX_WORDS];
    const std::size_t count = split_words(line, words, MAX_WORDS);
    if (count < 4) return std::nullopt;
    std::optional<unsigned> fields[6];
    for (std::size_t i = 0; i < 4; ++i)
        if (!(fields[i] = number(words[i]))) return std::nullopt;
    ValuesLine parsed{{*fields[0], *fields[1], *fields[2], *fields[3]}, std::nullopt, std::nullopt};
    std::size_t next = 4;
    if (count >= 6 && (fields[4] = number(words[4])) && (fields[5] = number(words[5]))) {
        parsed.hotspot_x = fields[4];
        parsed.hotspot_y = fields[5];
        next = 6;
    }
    if (next < count && words[next] == "XPMEXT") ++next;
    if (next != count) return std::nullopt;
    return parsed;
}

}  // namespace

bool xpm_values_fit(std::string_view head, std::uint64_t file_bytes) {
    const std::optional<std::string_view> line = values_line(head);
    const std::optional<ValuesLine> parsed = line ? parse_values(*line) : std::nullopt;
    if (!parsed) return false;
    const XpmValues& v = parsed->values;
    if (!pixmap_size_fits(v.width, v.height)) return false;
    const std::uint64_t pixels = std::uint64_t{v.width} * v.height;
    if (v.colours < 1 || v.colours > pixels) return false;
    if (v.chars_per_pixel < 1 || v.chars_per_pixel > XPM_MAX_CHARS_PER_PIXEL) return false;
    if (parsed->hotspot_x && (*parsed->hotspot_x >= v.width || *parsed->hotspot_y >= v.height)) return false;
    // Each colour line and each row is at least its quoted characters.
    const std::uint64_t least = std::uint64_t{v.colours} * (v.chars_per_pixel + 2) +
                                std::uint64_t{v.height} * (std::uint64_t{v.width} * v.chars_per_pixel + 2);
    return file_bytes >= least;
}

bool xpm_file_fits(const char* path) {
    const std::optional<std::string> head = read_whole_file(path, XPM_VALUES_SEARCH_BYTES);
    struct stat st {};
    if (!head || ::stat(path, &st) != 0 || st.st_size < 0) return false;
    return xpm_values_fit(*head, static_cast<std::uint64_t>(st.st_size));
}
