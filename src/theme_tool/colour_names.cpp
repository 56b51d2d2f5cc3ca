// colour_names.cpp: the colour database file and the numeric colour forms.
#include "theme_tool/colour_names.h"


#include "base/decimal_number.h"
#include "base/line_reader.h"

namespace {

// Debian adds this name to the file; the server's built-in table lacks it.
constexpr std::array<std::string_view, 1> NAMES_THE_SERVER_LACKS = {"debianred"};

// "#" and 3, 6, 9 or 12 digits: each component's digits are shifted to the
// top of 16 bits, so "#f00" is red 0xf000.
std::optional<Rgb16> parse_hash_form(std::string_view digits) {
    const std::size_t n = digits.size();
    if (n != 3 && n != 6 && n != 9 && n != 12) return std::nullopt;
    const std::size_t per = n / 3;
    std::array<unsigned, 3> value{};
    for (std::size_t component = 0; component < 3; ++component) {
        for (std::size_t i = 0; i < per; ++i) {
            const int digit = hex_digit_value(digits[component * per + i]);
            if (digit < 0) return std::nullopt;
            value[component] = value[component] << 4 | static_cast<unsigned>(digit);
        }
        value[component] <<= 16 - 4 * per;
    }
    return Rgb16{static_cast<std::uint16_t>(value[0]), static_cast<std::uint16_t>(value[1]),
                 static_cast<std::uint16_t>(value[2])};
}

// After "rgb:": three groups of 1 to 4 digits, each scaled to 16 bits. The
// third ends at the end or at a "/", after which anything may follow. With
// fewer than three groups Xlib reads on past the end of the text and its
// answer depends on what lies there; here such a form is unknown.
std::optional<Rgb16> parse_rgb_form(std::string_view rest) {
    std::array<std::uint16_t, 3> value{};
    std::size_t i = 0;
    for (std::size_t component = 0; component < 3; ++component) {
        unsigned number = 0;
        std::size_t digits = 0;
        while (i < rest.size() && rest[i] != '/') {
            const int digit = hex_digit_value(rest[i++]);
            if (digit < 0) return std::nullopt;
            number = number << 4 | static_cast<unsigned>(digit);
            ++digits;
            if (digits > 4) return std::nullopt;
        }
        if (digits == 0 || (i >= rest.size() && component < 2)) return std::nullopt;
        ++i;  // the "/"
        value[component] = static_cast<std::uint16_t>(number * 0xffffu / ((1u << (4 * digits)) - 1));
    }
    return Rgb16{value[0], value[1], value[2]};
}

}  // namespace

ColourDatabase ColourDatabase::parse(std::string_view text) {
    ColourDatabase database;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        const std::string line(text.substr(start, end - start));
        start = end + 1;
        if (line.empty() || line[0] == '!') continue;
        // Three numbers from 0 to 255, each after optional white space.
        std::string_view rest = line;
        int rgb[3] = {};
        bool read = true;
        for (int& value : rgb) {
            while (!rest.empty() && is_c_space(rest.front())) rest.remove_prefix(1);
            const DecimalNumber number = read_decimal(rest, 0, 255);
            read = read && number.status == DecimalStatus::OK;
            if (!read) break;
            value = static_cast<int>(number.value);
            rest.remove_prefix(number.length);
        }
        if (!read) continue;
        const int red = rgb[0], green = rgb[1], blue = rgb[2];
        std::string_view name = rest;
        while (!name.empty() && is_c_space(name.front())) name.remove_prefix(1);
        while (!name.empty() && is_c_space(name.back())) name.remove_suffix(1);
        if (name.empty()) continue;
        const std::string key = fold_ascii_case(name);
        bool lacking = false;
        for (std::string_view lacked : NAMES_THE_SERVER_LACKS) lacking = lacking || key == lacked;
        if (lacking) continue;
        // The server keeps 8-bit values and hands them out scaled: 0xff is 0xffff.
        database.colours_.emplace(key, Rgb16{static_cast<std::uint16_t>(red * 0x101),
                                             static_cast<std::uint16_t>(green * 0x101),
                                             static_cast<std::uint16_t>(blue * 0x101)});
    }
    return database;
}

ColourDatabase ColourDatabase::load_system() {
    for (const char* path : COLOUR_DATABASE_PATHS) {
        const std::optional<std::string> text = read_whole_file(path);
        if (text) return parse(*text);
    }
    return {};
}

std::optional<Rgb16> ColourDatabase::look_up(std::string_view name) const {
    const auto found = colours_.find(fold_ascii_case(name));
    if (found == colours_.end()) return std::nullopt;
    return found->second;
}

std::optional<Rgb16> parse_colour(std::string_view spec, const ColourDatabase& database) {
    if (!spec.empty() && spec[0] == '#') return parse_hash_form(spec.substr(1));
    const std::size_t colon = spec.find(':');
    if (colon != std::string_view::npos && fold_ascii_case(spec.substr(0, colon)) == "rgb")
        return parse_rgb_form(spec.substr(colon + 1));
    return database.look_up(spec);
}
