// theme_check.cpp: the check of one set and its report.
#include "theme_tool/theme_check.h"

#include <cstdlib>

#include "base/line_reader.h"
#include "pictures/bmp_sheet.h"
#include "pictures/catalogue.h"

namespace {

constexpr const char* BUILTIN_PREFIX = "builtin:";
// A wrap-around edge is a seam when it differs (the mean, over the edge, of
// the summed red, green and blue differences) more than SEAM_RATIO times
// the most that neighbouring columns or rows inside differ, and by more
// than SEAM_FLOOR. Designed grids and bevels, whose edges meet a line of
// the same strength inside, are not seams.
constexpr double SEAM_RATIO = 2.5;
constexpr double SEAM_FLOOR = 16.0;
constexpr std::array<const char*, NUM_TILE_STATES> STATE_NAMES = {"default", "selected", "pushed"};

int channel_difference(std::uint32_t a, std::uint32_t b) {
    int sum = 0;
    for (int shift = 0; shift <= 16; shift += 8)
        sum += std::abs(static_cast<int>(a >> shift & 0xff) - static_cast<int>(b >> shift & 0xff));
    return sum;
}

// The mean difference across each boundary between column x and x + 1
// (mod width); boundary width - 1 is the wrap-around one.
std::vector<double> column_boundaries(const RgbImage& image, bool by_rows) {
    const int along = by_rows ? image.height : image.width;
    const int across = by_rows ? image.width : image.height;
    std::vector<double> means(static_cast<std::size_t>(along), 0.0);
    for (int b = 0; b < along; ++b) {
        long total = 0;
        for (int i = 0; i < across; ++i) {
            const int next = (b + 1) % along;
            total += by_rows ? channel_difference(image.at(i, b), image.at(i, next))
                             : channel_difference(image.at(b, i), image.at(next, i));
        }
        means[static_cast<std::size_t>(b)] = static_cast<double>(total) / across;
    }
    return means;
}

bool has_seam(const RgbImage& image, bool by_rows) {
    const std::vector<double> means = column_boundaries(image, by_rows);
    if (means.size() < 2) return false;
    const double wrap = means.back();
    double inside = 0;
    for (std::size_t b = 0; b + 1 < means.size(); ++b) inside = std::max(inside, means[b]);
    return wrap > SEAM_RATIO * inside && wrap > SEAM_FLOOR;
}

std::string failure_reason(const Messages& messages) {
    for (auto message = messages.rbegin(); message != messages.rend(); ++message) {
        std::string_view text = *message;
        if (!text.starts_with("Error: ")) continue;
        text.remove_prefix(7);
        while (!text.empty() && text.back() == '\n') text.remove_suffix(1);
        return std::string(text);
    }
    return "the set cannot be loaded";
}

}  // namespace

Seams find_seams(const RgbImage& image) {
    if (image.width == 0 || image.height == 0) return {};
    return {has_seam(image, false), has_seam(image, true)};
}

int targets_of_argument(const std::string& argument, std::vector<SetTarget>& out, std::string& error) {
    if (argument.starts_with(BUILTIN_PREFIX)) {
        const std::string name = argument.substr(std::string_view(BUILTIN_PREFIX).size());
        for (int i = 0; i < NUM_BUILTIN_SETS; ++i) {
            if (name == BUILTIN_SET_NAMES[static_cast<std::size_t>(i)]) {
                out.push_back({name, "", i});
                return 0;
            }
        }
        error = "no built-in set '" + name + "' (Marble, Head or Face)";
        return -1;
    }
    const std::size_t slash = argument.rfind('/');
    const std::string base = slash == std::string::npos ? argument : argument.substr(slash + 1);
    if (base != CATALOGUE_NAME || is_sheet_name(argument)) {
        out.push_back({argument, argument, -1});
        return 0;
    }
    const std::optional<std::string> text = read_whole_file(argument.c_str());
    if (!text) {
        error = "can't open catalogue '" + argument + "'";
        return -1;
    }
    for (const CatalogEntry& entry : parse_catalogue(*text)) out.push_back({entry.name, entry.file, -1});
    return 0;
}

SetCheck check_set(const SetTarget& target, const char* data_dir, const ColourDatabase& database) {
    SetCheck check;
    check.target = target;
    if (target.builtin >= 0)
        check.result = load_builtin_pictures(BUILTIN_SETS[target.builtin], database, check.pictures, check.findings);
    else
        check.result = load_set_pictures(target.file.c_str(), data_dir, database, check.pictures, check.findings);
    if (check.result == 0) add_oddity_notes(check.pictures, check.findings.notes);
    return check;
}

void add_oddity_notes(const SetPictures& set, Messages& notes) {
    for (std::size_t state = 0; state < NUM_TILE_STATES; ++state) {
        if (set.state_enabled[state] != 1) continue;
        const auto& images = set.images[state];
        for (std::size_t colour = 0; colour < NUM_COLOURS; ++colour) {
            const RgbImage& image = images[colour];
            if (image.width != set.tile_width || image.height != set.tile_height)
                notes.push_back(format_message("the %s tile of colour %zu (%s) is %dx%d, not the tile size %dx%d",
                                               STATE_NAMES[state], colour + 1, set.image_names[state][colour].c_str(),
                                               image.width, image.height, set.tile_width, set.tile_height));
        }
        for (std::size_t a = 0; a < NUM_COLOURS; ++a) {
            for (std::size_t b = a + 1; b < NUM_COLOURS; ++b) {
                if (images[a] == images[b])
                    notes.push_back(format_message("the %s tiles of colours %zu and %zu are identical",
                                                   STATE_NAMES[state], a + 1, b + 1));
            }
        }
    }
    const std::array<std::pair<const char*, const RgbImage*>, 2> tiled = {{{"background", &set.background},
                                                                           {"frame", &set.frame}}};
    for (const auto& [what, image] : tiled) {
        const Seams seams = find_seams(*image);
        if (seams.across)
            notes.push_back(format_message("the %s does not tile seamlessly: its left and right edges differ", what));
        if (seams.down)
            notes.push_back(format_message("the %s does not tile seamlessly: its top and bottom edges differ", what));
    }
}

std::string check_report(const SetCheck& check) {
    std::string report;
    for (const std::string& message : check.findings.messages) report += message;
    const SetPictures& set = check.pictures;
    if (check.result == 0) {
        report += format_message("ok %s: %dx%d tiles, selected %s, pushed %s, box %s\n", check.target.name.c_str(),
                                 set.tile_width, set.tile_height, set.state_enabled[1] == 1 ? "yes" : "no",
                                 set.state_enabled[2] == 1 ? "yes" : "no",
                                 set.box == 1 ? set.box_colour.c_str() : "none");
    } else {
        report += format_message("FAILED %s: %s\n", check.target.name.c_str(),
                                 failure_reason(check.findings.messages).c_str());
    }
    for (const std::string& note : check.findings.notes) report += "  note: " + note + "\n";
    return report;
}
