// description_file.cpp: reading picture description files. Pure: the file is
// read whole and parsed from memory, and messages are returned, not printed.
// Lines are the 255-byte pieces of the shared LineReader, so a long line
// counts as several, exactly as the messages' line numbers say.
#include "pictures/description_file.h"

#include <array>
#include <cstdint>
#include <string>

#include "base/data_lookup.h"
#include "base/decimal_number.h"
#include "base/line_reader.h"

namespace {

// Bytes are compared as signed chars, so bytes from 0x80 up count as blank
// just like spaces and control characters.
bool is_blank(std::string_view line) {
    for (char c : line) {
        const auto value = static_cast<std::int8_t>(c);
        if (value >= 0x21) return false;  // 0x21..0x7F
    }
    return true;
}

class Parser {
public:
    Parser(std::string_view text, const char* name, PictureSet& set, Messages& messages)
        : reader_(text), name_(name), set_(set), messages_(messages) {}

    int run() {
        std::string_view line;
        while (next_line(line)) {
            if (is_blank(line)) continue;
            std::array<std::string_view, 2> words;
            const std::size_t count = split_words(line, words.data(), words.size());
            const std::string keyword = fold_ascii_case(words[0]);
            const int result = count == 1 ? one_word(keyword) : two_words(keyword, words[1]);
            if (result == -1) return -1;
            if (result == 1) {
                messages_.push_back(format_message("Warning: '%s': unknown keyword '%s' line %d.\n", name_,
                                                   keyword.c_str(), line_number_));
            }
        }
        return 0;
    }

private:
    // The next piece with its comment cut, counted whether blank or not.
    bool next_line(std::string_view& line) {
        const std::optional<std::string_view> piece = reader_.next();
        if (!piece) return false;
        ++line_number_;
        line = cut_comment(*piece);
        return true;
    }

    int invalid_value() {
        messages_.push_back(format_message("Error: invalid value '%s' line %d.\n", name_, line_number_));
        return -1;
    }

    // 0 done, 1 unknown keyword, -1 error.
    int one_word(const std::string& keyword) {
        if (keyword == "default") return read_names(set_.default_images.data(), NUM_COLOURS);
        if (keyword == "selected") {
            set_.selected = 1;
            return read_names(set_.selected_images.data(), NUM_COLOURS);
        }
        if (keyword == "pushed") {
            set_.pushed = 1;
            return read_names(set_.pushed_images.data(), NUM_COLOURS);
        }
        if (keyword == "background") return read_names(&set_.background_image, 1);
        if (keyword == "frame") return read_names(&set_.frame_image, 1);
        return 1;
    }

    int two_words(const std::string& keyword, std::string_view value) {
        if (keyword == "box") {
            set_.box = 1;
            set_.box_color = std::string(value);
            return 0;
        }
        int* field = keyword == "width" ? &set_.tile_width : keyword == "height" ? &set_.tile_height : nullptr;
        if (field == nullptr) return 1;
        // Like atoi: an optional sign and the leading digits; no number is 0.
        // No pixmap is larger. Whether the board fits is known only when the
        // set is loaded for a board size.
        const DecimalNumber number = read_decimal(value, 0, MAX_TILE_SIDE);
        if (number.status == DecimalStatus::OUT_OF_RANGE) return invalid_value();
        *field = static_cast<int>(number.value);
        return 0;
    }

    // Whatever the next non-blank lines say, their first words are names.
    int read_names(ImageSource* sources, int count) {
        for (int i = 0; i < count; ++i) {
            std::string_view line;
            do {
                if (!next_line(line)) return invalid_value();
            } while (is_blank(line));
            std::string_view word;
            split_words(line, &word, 1);
            sources[i].xpm = nullptr;
            sources[i].file = std::string(word);
        }
        return 0;
    }

    LineReader reader_;
    const char* name_;
    PictureSet& set_;
    Messages& messages_;
    int line_number_ = 0;  // every piece read counts, blank or not
};

}  // namespace

int parse_picture_text(std::string_view text, const char* name, PictureSet& set, Messages& messages) {
    const int tile_width = set.tile_width;
    const int tile_height = set.tile_height;
    set = PictureSet{};
    set.tile_width = tile_width;
    set.tile_height = tile_height;
    return Parser(text, name, set, messages).run();
}

int parse_picture_file(PictureSet& set, const char* name, const char* data_dir, Messages& messages) {
    std::string text;
    std::string path;
    const LookupResult found = read_data_file(name, data_dir, TEXT_FILE_MAX, path, text);
    if (found == LookupResult::TOO_LONG) {
        messages.push_back("Error: data file name too long.\n");
        return -1;
    }
    if (found == LookupResult::NOT_FOUND) {
        messages.push_back(format_message("Error: can't open file '%s'.\n", name));
        return -1;
    }
    return parse_picture_text(text, name, set, messages);
}
