// clumpout_theme.cpp: clumpout-theme, the picture set toolkit for theme
// authors, start reading main(). It needs no X server: the sets are loaded
// through the game's own parsers and loading decisions, and the images made
// as the game would make them on a 24-bit TrueColor screen.
//   check FILE...            the game's messages and a verdict per set
//   preview FILE -o OUT.png  the set's cells as the game draws them
//   vision FILE [-o OUT.png] the tiles under colour vision deficiencies
//   template -o OUT.bmp      a labelled BMP sheet to paint over
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "base/decimal_number.h"
#include "base/file_handle.h"
#include "base/report.h"
#include "pictures/picture_limits.h"
#include "theme_tool/colour_names.h"
#include "theme_tool/png_file.h"
#include "theme_tool/preview.h"
#include "theme_tool/sheet_template.h"
#include "theme_tool/theme_check.h"
#include "theme_tool/vision.h"

namespace {

constexpr int EXIT_OK = 0;
constexpr int EXIT_FLAGGED = 1;  // a set falls back to "Head", or a vision pair is flagged
constexpr int EXIT_USAGE = 2;

constexpr const char* USAGE =
    "Usage: clumpout-theme check [--data-dir DIR] FILE...\n"
    "       clumpout-theme preview [--data-dir DIR] FILE -o OUT.png\n"
    "       clumpout-theme vision [--data-dir DIR] FILE [-o OUT.png]\n"
    "       clumpout-theme template -o OUT.bmp [--bits 1|4|8]\n"
    "FILE is a catalogue (clumpout.dat), a description file, a BMP sheet (.bmp),\n"
    "or builtin:Marble, builtin:Head or builtin:Face.\n";

struct Options {
    std::string command;
    std::vector<std::string> files;
    std::string output;
    std::string data_dir = CLUMPOUT_DATA_DIR;
    int bits = 8;
};

int usage(const char* problem) {
    if (problem != nullptr) report(format_message("clumpout-theme: %s\n", problem));
    report(USAGE);
    return EXIT_USAGE;
}

// False on an unknown option or a missing value.
bool take_options(int argc, char** argv, Options& options) {
    for (int i = 2; i < argc; ++i) {
        const std::string word = argv[i];
        const bool has_value = i + 1 < argc;
        if (word == "-o" && has_value) {
            options.output = argv[++i];
        } else if (word == "--data-dir" && has_value) {
            options.data_dir = argv[++i];
        } else if (word == "--bits" && has_value) {
            // The depths a tile sheet can have, written as plain digits.
            const std::string bits = argv[++i];
            long long value = 0;
            if ((bits != "1" && bits != "4" && bits != "8") || !read_whole_decimal(bits, 1, 8, value)) return false;
            options.bits = static_cast<int>(value);
        } else if (word.starts_with("-") && word != "-") {
            return false;
        } else {
            options.files.push_back(word);
        }
    }
    return true;
}

ColourDatabase colour_database() {
    ColourDatabase database = ColourDatabase::load_system();
    if (database.size() == 0)
        report(format_message("clumpout-theme: no colour database at %s or %s: every colour name is unknown\n",
                              COLOUR_DATABASE_PATHS[0], COLOUR_DATABASE_PATHS[1]));
    return database;
}

int run_check(const Options& options) {
    if (options.files.empty() || !options.output.empty()) return usage("check takes one or more FILEs");
    std::vector<SetTarget> targets;
    for (const std::string& file : options.files) {
        std::string error;
        if (targets_of_argument(file, targets, error) == -1) return usage(error.c_str());
    }
    const ColourDatabase database = colour_database();
    int status = EXIT_OK;
    for (const SetTarget& target : targets) {
        const SetCheck check = check_set(target, options.data_dir.c_str(), database);
        report_output(check_report(check));
        if (check.result != 0) status = EXIT_FLAGGED;
    }
    return status;
}

// The one set a preview or vision command names, loaded. -1 with the check
// report printed when it does not load; 2 on a usage error.
int load_one_set(const Options& options, const ColourDatabase& database, SetCheck& check) {
    if (options.files.size() != 1) return usage("give exactly one FILE");
    std::vector<SetTarget> targets;
    std::string error;
    if (targets_of_argument(options.files[0], targets, error) == -1) return usage(error.c_str());
    if (targets.size() != 1) return usage("give one set, not a catalogue");
    check = check_set(targets[0], options.data_dir.c_str(), database);
    if (check.result != 0) {
        report_output(check_report(check));
        return -1;
    }
    const SetPictures& set = check.pictures;
    // A preview or vision picture is refused where X would refuse a pixmap.
    if (!pixmap_size_fits(static_cast<long long>(set.tile_width) * PREVIEW_COLUMNS + 2 * PREVIEW_MARGIN,
                          static_cast<long long>(set.tile_height) * PREVIEW_ROWS + 2 * PREVIEW_MARGIN)) {
        report(format_message("clumpout-theme: %dx%d tiles are too big to draw\n", set.tile_width, set.tile_height));
        return -1;
    }
    return 0;
}

int write_picture(const RgbImage& picture, const std::string& path) {
    std::string error;
    if (write_png(picture, path, error) == -1) {
        report(format_message("clumpout-theme: %s\n", error.c_str()));
        return EXIT_FLAGGED;
    }
    return EXIT_OK;
}

int run_preview(const Options& options) {
    if (options.output.empty()) return usage("preview needs -o OUT.png");
    const ColourDatabase database = colour_database();
    SetCheck check;
    const int loaded = load_one_set(options, database, check);
    if (loaded != 0) return loaded == -1 ? EXIT_FLAGGED : loaded;
    return write_picture(render_preview(check.pictures), options.output);
}

int run_vision(const Options& options) {
    const ColourDatabase database = colour_database();
    SetCheck check;
    const int loaded = load_one_set(options, database, check);
    if (loaded != 0) return loaded == -1 ? EXIT_FLAGGED : loaded;
    // The tiles as the board shows them at rest.
    std::array<RgbImage, NUM_COLOURS> tiles;
    for (int colour = 1; colour <= NUM_COLOURS; ++colour)
        tiles[static_cast<std::size_t>(colour - 1)] = render_cell(check.pictures, colour, TILE_DEFAULT, 0, 0);
    const VisionTable table = vision_table(tiles);
    report_output(check.target.name + ": " + vision_report(table));
    if (!options.output.empty() && write_picture(vision_picture(tiles), options.output) != EXIT_OK) return EXIT_FLAGGED;
    return table.flagged() ? EXIT_FLAGGED : EXIT_OK;
}

int run_template(const Options& options) {
    if (options.output.empty() || !options.files.empty()) return usage("template needs -o OUT.bmp and no FILE");
    const std::vector<std::uint8_t> bytes = make_template_sheet(options.bits);
    FilePtr file(std::fopen(options.output.c_str(), "wb"));
    if (!file || std::fwrite(bytes.data(), 1, bytes.size(), file.get()) != bytes.size() ||
        std::fflush(file.get()) != 0) {
        report(format_message("clumpout-theme: can't write '%s': %s\n", options.output.c_str(), std::strerror(errno)));
        return EXIT_FLAGGED;
    }
    return EXIT_OK;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return usage(nullptr);
    Options options;
    options.command = argv[1];
    if (!take_options(argc, argv, options)) return usage("bad option");
    if (options.command == "check") return run_check(options);
    if (options.command == "preview") return run_preview(options);
    if (options.command == "vision") return run_vision(options);
    if (options.command == "template") return run_template(options);
    return usage(("unknown command '" + options.command + "'").c_str());
}
