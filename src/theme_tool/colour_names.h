// colour_names.h: colour names and numeric colour forms as the X server and Xlib
// understand them, without a server: the server's database of names (the
// X colour database file, compared without regard to case but with spaces
// as written), "#rgb" forms of 3, 6, 9 or 12 hexadecimal digits (shifted,
// not scaled, as Xlib does), and "rgb:r/g/b" of 1 to 4 digits each (scaled).
// Pure: the database is parsed from text.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

struct Rgb16 {
    std::uint16_t red;
    std::uint16_t green;
    std::uint16_t blue;
    bool operator==(const Rgb16&) const = default;
};

// Where Debian keeps the X colour database; the first that reads is used.
constexpr std::array<const char*, 2> COLOUR_DATABASE_PATHS = {"/usr/share/X11/rgb.txt", "/etc/X11/rgb.txt"};

class ColourDatabase {
public:
    // Lines "red green blue name" with 8-bit values; "!" starts a comment.
    static ColourDatabase parse(std::string_view text);
    // Reads the first of COLOUR_DATABASE_PATHS; empty when none can be read.
    static ColourDatabase load_system();

    std::optional<Rgb16> look_up(std::string_view name) const;
    std::size_t size() const { return colours_.size(); }

private:
    std::unordered_map<std::string, Rgb16> colours_;  // by lower-case name
};

// The colour `spec` stands for, as XParseColor and XAllocNamedColor find
// it; nullopt when they would fail.
std::optional<Rgb16> parse_colour(std::string_view spec, const ColourDatabase& database);

// The pixel of a colour on a 24-bit TrueColor screen: the top byte of each
// 16-bit component.
inline std::uint32_t truecolor_pixel(Rgb16 colour) {
    return static_cast<std::uint32_t>(colour.red >> 8) << 16 | static_cast<std::uint32_t>(colour.green >> 8) << 8 |
           static_cast<std::uint32_t>(colour.blue >> 8);
}
