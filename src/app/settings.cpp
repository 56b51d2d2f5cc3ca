// settings.cpp: reading and writing HOME + "/.Clumpout".
// Owns the file's format and its path; the values go straight to the
// addresses the caller gives, so this file needs no board or picture code.
#include "app/settings.h"

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>

#include "base/decimal_number.h"
#include "base/file_handle.h"
#include "base/line_reader.h"
#include "board/board.h"
#include "board/board_sizes.h"

namespace {

constexpr int DEFAULT_COLUMNS = BOARD_SIZES[1].columns;   // Normal
constexpr int DEFAULT_ROWS = BOARD_SIZES[1].rows;
constexpr int DEFAULT_PICTURES = 1;

// The path outlives every caller; settings_path points into it.
std::string settings_path_text;

// A "%d" conversion: white space, an optional sign, then at least one digit.
// Unlike sscanf, a number too large for an int saturates instead of being
// undefined, so "Width 99999999999" is simply a very wide board (30).
std::optional<int> read_number(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && is_c_space(text[i])) ++i;
    const DecimalNumber number = read_decimal(text.substr(i), INT_MIN, INT_MAX);
    if (number.status == DecimalStatus::NO_NUMBER) return std::nullopt;
    return static_cast<int>(number.value);
}

int clamp_to(int value, int low, int high) { return value < low ? low : (value > high ? high : value); }

struct SettingKey {
    std::string_view key;
    int (*rule)(int value);
};

int columns_rule(int value) { return clamp_to(value, MIN_COLUMNS, MAX_COLUMNS); }
int rows_rule(int value) { return clamp_to(value, MIN_ROWS, MAX_ROWS); }
int pictures_rule(int value) { return value < 0 ? DEFAULT_PICTURES : value; }

// Compared in this order; the index matches the target passed by the caller.
constexpr SettingKey SETTING_KEYS[] = {
    /* key         rule          */
    {"Width",      columns_rule  },
    {"Height",     rows_rule     },
    {"Pictures",   pictures_rule },
};

}  // namespace

const char* settings_path = nullptr;

void parse_settings(std::string_view text, int* columns, int* rows, int* pictures) {
    *columns = DEFAULT_COLUMNS;
    *rows = DEFAULT_ROWS;
    *pictures = DEFAULT_PICTURES;
    int* const targets[] = {columns, rows, pictures};

    LineReader reader(text);
    while (const std::optional<std::string_view> piece = reader.next()) {
        std::string_view line = *piece;
        // Only the space is skipped: a line indented with a tab is no key line.
        const std::size_t first = line.find_first_not_of(' ');
        line = first == std::string_view::npos ? std::string_view() : line.substr(first);
        line = cut_comment(line);
        for (std::size_t k = 0; k < std::size(SETTING_KEYS); ++k) {
            const SettingKey& setting = SETTING_KEYS[k];
            if (!line.starts_with(setting.key)) continue;
            if (const std::optional<int> value = read_number(line.substr(setting.key.size()))) {
                *targets[k] = setting.rule(*value);
            }
            break;
        }
    }
}

int read_settings(int* columns, int* rows, int* pictures) {
    *columns = DEFAULT_COLUMNS;
    *rows = DEFAULT_ROWS;
    *pictures = DEFAULT_PICTURES;

    const char* home = std::getenv("HOME");
    if (home == nullptr) {
        settings_path = nullptr;
        return -1;
    }
    settings_path_text = std::string(home) + "/.Clumpout";
    settings_path = settings_path_text.c_str();

    const std::optional<std::string> text = read_whole_file(settings_path);
    if (!text) return 0;
    parse_settings(*text, columns, rows, pictures);
    return 0;
}

int write_settings(int columns, int rows, int pictures) {
    if (settings_path == nullptr) return 0;
    // A link is written through, so it stays a link; a FIFO or a device
    // stays as it is, unwritten.
    std::string target = settings_path;
    if (char* resolved = ::realpath(settings_path, nullptr)) {
        target = resolved;
        std::free(resolved);
    }
    struct stat old {};
    const bool replacing = ::stat(target.c_str(), &old) == 0;
    if (replacing && !S_ISREG(old.st_mode)) return -1;
    mode_t mode = old.st_mode & 07777;
    if (!replacing) {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }

    // The new text goes to a file of its own and replaces the old one only
    // once it is wholly written: a full disk keeps the old settings.
    std::string temporary = target + ".XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) return -1;
    struct sigaction ignore {}, file_size_before {};
    ignore.sa_handler = SIG_IGN;  // over a file size limit the write fails instead
    sigaction(SIGXFSZ, &ignore, &file_size_before);
    FilePtr file(::fdopen(fd, "w"));
    bool written = file != nullptr && ::fchmod(fd, mode) == 0;
    if (written) {
        std::fprintf(file.get(), "# Clumpout\n");
        std::fprintf(file.get(), "Width  %3d\n", columns);
        std::fprintf(file.get(), "Height %3d\n", rows);
        std::fprintf(file.get(), "Pictures %d\n", pictures < 0 ? DEFAULT_PICTURES : pictures);
        written = std::fflush(file.get()) == 0 && std::ferror(file.get()) == 0 && ::fsync(fd) == 0;
    }
    written = (file ? std::fclose(file.release()) : ::close(fd)) == 0 && written;
    sigaction(SIGXFSZ, &file_size_before, nullptr);
    if (written && std::rename(temporary.c_str(), target.c_str()) == 0) return 0;
    ::unlink(temporary.c_str());
    return -1;
}
