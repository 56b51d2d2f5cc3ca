// line_reader.cpp: the fgets-shaped text cutter and word splitting.
#include "base/line_reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "base/file_handle.h"

std::optional<std::string_view> LineReader::next() {
    if (position_ >= text_.size()) return std::nullopt;
    const std::size_t start = position_;
    const std::size_t limit = std::min(text_.size(), start + TEXT_LINE_MAX - 1);
    std::size_t end = start;
    while (end < limit) {
        if (text_[end++] == '\n') break;
    }
    position_ = end;
    std::string_view piece = text_.substr(start, end - start);
    const std::size_t nul = piece.find('\0');
    if (nul != std::string_view::npos) piece = piece.substr(0, nul);
    return piece;
}

std::string_view cut_comment(std::string_view line) {
    const std::size_t hash = line.find('#');
    return hash == std::string_view::npos ? line : line.substr(0, hash);
}

std::string fold_ascii_case(std::string_view text) {
    std::string folded(text);
    for (char& c : folded) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return folded;
}

int hex_digit_value(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool is_c_space(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

std::size_t split_words(std::string_view line, std::string_view* words, std::size_t max_words) {
    std::size_t count = 0;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && is_c_space(line[i])) ++i;
        if (i >= line.size()) break;
        const std::size_t start = i;
        while (i < line.size() && !is_c_space(line[i])) ++i;
        if (count < max_words) words[count] = line.substr(start, i - start);
        ++count;
    }
    return count;
}

namespace {

// Without O_NONBLOCK the open of a FIFO waits for a writer, for ever if none
// comes; a device may never end. Only regular files are kept.
int open_regular_file(const char* path) {
    const int fd = ::open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    struct stat st {};
    if (fd >= 0 && (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))) {
        ::close(fd);
        return -1;
    }
    return fd;
}

}  // namespace

bool is_readable_regular_file(const char* path) { return FileDescriptor(open_regular_file(path)).get() >= 0; }

std::optional<std::string> read_whole_file(const char* path, std::size_t max_bytes) {
    FileDescriptor file(open_regular_file(path));
    if (file.get() < 0) return std::nullopt;
    std::string data;
    char buffer[4096];
    while (data.size() < max_bytes) {
        const std::size_t wanted = std::min(sizeof buffer, max_bytes - data.size());
        const ssize_t n = ::read(file.get(), buffer, wanted);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        data.append(buffer, static_cast<std::size_t>(n));
    }
    return data;
}
