// line_reader.h: cuts text into the pieces a 256-byte fgets buffer would
// hold: at most 255 bytes, ending after a newline (kept) or at the end of the
// data. Every text file of the program (settings, catalogue, description
// files) is read through this one cutter.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

constexpr std::size_t TEXT_LINE_MAX = 256;  // buffer size, terminator included

class LineReader {
public:
    explicit LineReader(std::string_view text) : text_(text) {}

    // The next piece, or nullopt at the end of the data. Like a C string read
    // by fgets, a piece that holds a NUL byte ends at that byte (the bytes
    // after it up to the piece's end are consumed but not shown).
    std::optional<std::string_view> next();

private:
    std::string_view text_;
    std::size_t position_ = 0;
};

// "#" starts a comment that runs to the end of the piece.
std::string_view cut_comment(std::string_view line);

// White space as isspace sees it in the C locale.
bool is_c_space(char c);

// `text` with A-Z folded to a-z and every other byte as it is.
std::string fold_ascii_case(std::string_view text);

// The value of a hexadecimal digit of either case, or -1.
int hex_digit_value(char c);

// The words of a line, separated by white space (isspace in the C locale).
// Returns the number of words found; fills at most `max_words` of them.
std::size_t split_words(std::string_view line, std::string_view* words, std::size_t max_words);

// The text files are a few lines long. One that is not (a device, a file
// named by mistake) is read only this far, so it cannot take all memory.
constexpr std::size_t TEXT_FILE_MAX = 1 << 20;

// Reads a file into memory, at most `max_bytes` of it; nullopt when it
// cannot be opened or is no regular file (a FIFO, a device, a directory):
// every file the game reads may be anything, and opening it never blocks.
std::optional<std::string> read_whole_file(const char* path, std::size_t max_bytes = TEXT_FILE_MAX);

// Whether read_whole_file could read `path`, for a file that another
// library reads by name.
bool is_readable_regular_file(const char* path);
