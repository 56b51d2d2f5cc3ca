// journal_line.cpp: writing and reading journal lines. Pure text: no files,
// no clock (the record carries its time), no X. Dates are converted by hand
// so a line reads back the same whatever the time zone or the C library.
#include "journal/journal_line.h"

#include <cstddef>
#include <limits>
#include <optional>
#include <type_traits>

#include "base/decimal_number.h"
#include "base/line_reader.h"

namespace {

// ---- dates ------------------------------------------------------------------
// Days since 1970-01-01 of a proleptic Gregorian date, and back (the
// well-known era arithmetic: 400-year eras of 146097 days, years counted
// from March so the leap day falls last).
std::int64_t days_from_civil(std::int64_t y, int m, int d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yoe = y - era * 400;
    const std::int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

struct Civil {
    std::int64_t year;
    int month, day;
};

Civil civil_from_days(std::int64_t z) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const std::int64_t doe = z - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    const int day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    const int month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    return {yoe + era * 400 + (month <= 2), month, day};
}

bool is_leap(std::int64_t y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int days_in_month(std::int64_t y, int m) {
    static const int DAYS[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && is_leap(y) ? 29 : DAYS[m - 1];
}

// "YYYY-MM-DDTHH:MM:SSZ": the shape alone tells a journal line from others.
constexpr std::string_view STAMP_SHAPE = "9999-99-99T99:99:99Z";

bool has_stamp_shape(std::string_view word) {
    if (word.size() != STAMP_SHAPE.size()) return false;
    for (std::size_t i = 0; i < word.size(); ++i) {
        const bool digit = word[i] >= '0' && word[i] <= '9';
        if (STAMP_SHAPE[i] == '9' ? !digit : word[i] != STAMP_SHAPE[i]) return false;
    }
    return true;
}

int digits(std::string_view word, std::size_t at, std::size_t count) {
    return static_cast<int>(read_decimal(word.substr(at, count), 0, 9999).value);
}

// A stamp of the right shape to seconds; nullopt for an impossible date.
std::optional<std::int64_t> parse_stamp(std::string_view word) {
    const int year = digits(word, 0, 4), month = digits(word, 5, 2), day = digits(word, 8, 2);
    const int hour = digits(word, 11, 2), minute = digits(word, 14, 2), second = digits(word, 17, 2);
    if (month < 1 || month > 12 || day < 1 || day > days_in_month(year, month)) return std::nullopt;
    if (hour > 23 || minute > 59 || second > 59) return std::nullopt;
    return days_from_civil(year, month, day) * 86400 + hour * 3600 + minute * 60 + second;
}

}  // namespace

std::string format_journal_time(std::int64_t when) {
    std::int64_t days = when / 86400, seconds = when % 86400;
    if (seconds < 0) {
        seconds += 86400;
        --days;
    }
    const Civil date = civil_from_days(days);
    return format_message("%04lld-%02d-%02dT%02d:%02d:%02dZ", static_cast<long long>(date.year), date.month,
                          date.day, static_cast<int>(seconds / 3600), static_cast<int>(seconds / 60 % 60),
                          static_cast<int>(seconds % 60));
}

namespace {

// ---- values -----------------------------------------------------------------

// A value as the journal writes it: digits, after a '-' only in a signed
// field; no '+', no space, nothing after it, and inside the field's type.
template <typename Number>
bool parse_number(std::string_view text, Number& out) {
    if (text.empty() || text[0] == '+' || (std::is_unsigned_v<Number> && text[0] == '-')) return false;
    long long value = 0;
    if (!read_whole_decimal(text, std::numeric_limits<Number>::min(), std::numeric_limits<Number>::max(), value))
        return false;
    out = static_cast<Number>(value);
    return true;
}

bool parse_in_range(std::string_view text, int low, int high, int& out) {
    int value = 0;
    if (!parse_number(text, value) || value < low || value > high) return false;
    out = value;
    return true;
}

bool parse_size(std::string_view text, JournalRecord& out) {
    const std::size_t x = text.find('x');
    if (x == std::string_view::npos) return false;
    return parse_in_range(text.substr(0, x), MIN_COLUMNS, MAX_COLUMNS, out.columns) &&
           parse_in_range(text.substr(x + 1), MIN_ROWS, MAX_ROWS, out.rows);
}

bool parse_rank(std::string_view text, int& out) {
    if (text == "-") {
        out = JOURNAL_RANK_NONE;
        return true;
    }
    if (text == "replay") {
        out = JOURNAL_RANK_REPLAY;
        return true;
    }
    return parse_in_range(text, 1, 1 << 30, out);
}

bool parse_play(std::string_view text, std::vector<JournalMove>& out) {
    std::vector<JournalMove> play;
    while (!text.empty()) {
        if (static_cast<int>(play.size()) == MAX_JOURNAL_MOVES) return false;
        const std::size_t end = text.find(';');
        const std::string_view move = text.substr(0, end);
        const std::size_t comma = move.find(',');
        if (comma == std::string_view::npos) return false;
        JournalMove parsed;
        if (!parse_in_range(move.substr(0, comma), 0, MAX_COLUMNS - 1, parsed.column) ||
            !parse_in_range(move.substr(comma + 1), 0, MAX_ROWS - 1, parsed.row))
            return false;
        play.push_back(parsed);
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
        if (text.empty()) return false;  // a trailing ';'
    }
    out = std::move(play);
    return true;
}

bool set_byte_is_plain(unsigned char byte) { return byte > ' ' && byte < 0x7f && byte != '%'; }

std::string escape_set(std::string_view name) {
    std::string text;
    for (const char ch : name) {
        const auto byte = static_cast<unsigned char>(ch);
        if (set_byte_is_plain(byte))
            text += ch;
        else
            text += format_message("%%%02X", byte);
    }
    return text;
}

bool unescape_set(std::string_view text, std::string& out) {
    std::string name;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            name += text[i];
            continue;
        }
        if (i + 2 >= text.size()) return false;
        const int high = hex_digit_value(text[i + 1]), low = hex_digit_value(text[i + 2]);
        if (high < 0 || low < 0) return false;
        name += static_cast<char>(high * 16 + low);
        i += 2;
    }
    out = std::move(name);
    return true;
}

// ---- the keys -----------------------------------------------------------------

enum Key { KEY_DEAL, KEY_SIZE, KEY_SET, KEY_MOVES, KEY_GETS, KEY_RESTS, KEY_TOTAL, KEY_RANK, KEY_PLAY, KEY_COUNT };

using ValueParser = bool (*)(std::string_view value, JournalRecord& out);

struct KeyRule {
    const char* name;
    ValueParser parse;
};

static const KeyRule KEY_RULES[KEY_COUNT] = {
    /* name     value                                                                          */
    {"deal",  [](std::string_view v, JournalRecord& r) { return parse_deal_number(v, r.deal); }},
    {"size",  [](std::string_view v, JournalRecord& r) { return parse_size(v, r); }},
    {"set",   [](std::string_view v, JournalRecord& r) { return unescape_set(v, r.set); }},
    {"moves", [](std::string_view v, JournalRecord& r) { return parse_in_range(v, 0, MAX_JOURNAL_MOVES, r.moves); }},
    {"gets",  [](std::string_view v, JournalRecord& r) { return parse_number(v, r.gets) && r.gets >= 0; }},
    {"rests", [](std::string_view v, JournalRecord& r) { return parse_in_range(v, 0, MAX_COLUMNS * MAX_ROWS, r.rests); }},
    {"total", [](std::string_view v, JournalRecord& r) { return parse_number(v, r.total); }},
    {"rank",  [](std::string_view v, JournalRecord& r) { return parse_rank(v, r.rank); }},
    {"play",  [](std::string_view v, JournalRecord& r) { return parse_play(v, r.play); }},
};

void skip_line(Messages& messages, int line_number, const std::string& why) {
    messages.push_back(format_message("Warning: journal line %d skipped: %s.\n", line_number, why.c_str()));
}

}  // namespace

bool parse_deal_number(std::string_view text, unsigned& out) {
    // An unsigned field takes digits only: no sign, no space.
    std::uint32_t value = 0;
    if (!parse_number(text, value)) return false;
    out = value;
    return true;
}

std::string journal_rank_text(int rank) {
    if (rank == JOURNAL_RANK_REPLAY) return "replay";
    if (rank <= 0) return "-";
    return std::to_string(rank);
}

std::string format_journal_line(const JournalRecord& r) {
    std::string line = format_journal_time(r.when);
    line += " deal=" + std::to_string(r.deal);
    line += " size=" + std::to_string(r.columns) + "x" + std::to_string(r.rows);
    line += " set=" + escape_set(r.set);
    line += " moves=" + std::to_string(r.moves);
    line += " gets=" + std::to_string(r.gets);
    line += " rests=" + std::to_string(r.rests);
    line += " total=" + std::to_string(r.total);
    line += " rank=" + journal_rank_text(r.rank);
    line += " play=";
    for (std::size_t i = 0; i < r.play.size(); ++i) {
        if (i > 0) line += ';';
        line += std::to_string(r.play[i].column) + "," + std::to_string(r.play[i].row);
    }
    line += '\n';
    return line;
}

int parse_journal_line(std::string_view line, int line_number, JournalRecord& out, Messages& messages) {
    if (!line.empty() && line.back() == '\n') line.remove_suffix(1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const std::size_t first_end = line.find(' ');
    const std::string_view stamp = line.substr(0, first_end);
    if (!has_stamp_shape(stamp)) return -1;  // another form of line: no message

    JournalRecord record;
    record.line_number = line_number;
    const std::optional<std::int64_t> when = parse_stamp(stamp);
    if (!when) {
        skip_line(messages, line_number, "impossible time");
        return -1;
    }
    record.when = *when;

    bool seen[KEY_COUNT] = {};
    std::string_view rest = first_end == std::string_view::npos ? std::string_view() : line.substr(first_end);
    while (!rest.empty()) {
        const std::size_t start = rest.find_first_not_of(' ');
        if (start == std::string_view::npos) break;
        rest.remove_prefix(start);
        const std::size_t end = rest.find(' ');
        const std::string_view word = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end);

        const std::size_t equals = word.find('=');
        if (equals == std::string_view::npos) continue;  // not a key: a later form's, skipped
        const std::string_view name = word.substr(0, equals), value = word.substr(equals + 1);
        for (int key = 0; key < KEY_COUNT; ++key) {
            if (name != KEY_RULES[key].name) continue;
            if (seen[key]) {
                skip_line(messages, line_number, format_message("%s twice", KEY_RULES[key].name));
                return -1;
            }
            seen[key] = true;
            if (!KEY_RULES[key].parse(value, record)) {
                skip_line(messages, line_number, format_message("bad %s", KEY_RULES[key].name));
                return -1;
            }
        }
    }
    for (int key = 0; key < KEY_COUNT; ++key) {
        if (!seen[key]) {
            skip_line(messages, line_number, format_message("no %s", KEY_RULES[key].name));
            return -1;
        }
    }
    out = std::move(record);
    return 0;
}

std::vector<JournalRecord> read_journal(std::string_view text, Messages& messages) {
    // A journal line holds up to 300 moves, far more than the 255-byte pieces
    // the settings and picture files are read in, so it is cut at newlines.
    std::vector<JournalRecord> records;
    int line_number = 0;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        ++line_number;
        JournalRecord record;
        if (parse_journal_line(line, line_number, record, messages) == 0) records.push_back(std::move(record));
    }
    return records;
}
