// data_lookup.h: where a file named by the player or the catalogue is
// looked for: as written (the current directory or an absolute path), then
// under the data directory.
#pragma once

#include <cstddef>
#include <string>

// Paths are formed in 1024-byte buffers: at most this many characters.
constexpr std::size_t PATH_MAX_CHARS = 1023;

enum class LookupResult {
    FOUND,       // `path` is where it was found
    TOO_LONG,    // the data-directory path is over PATH_MAX_CHARS; `path` holds it
    NOT_FOUND,   // neither place would do; `path` is the data-directory path
};

// Tries `name` as written, then data_dir + "/" + name, asking `usable`
// (bool(const std::string&)) of each in turn.
template <typename Usable>
LookupResult look_up_data_file(const char* name, const char* data_dir, std::string& path, Usable&& usable) {
    path = name;
    if (usable(path)) return LookupResult::FOUND;
    path = std::string(data_dir) + "/" + name;
    if (path.size() > PATH_MAX_CHARS) return LookupResult::TOO_LONG;
    return usable(path) ? LookupResult::FOUND : LookupResult::NOT_FOUND;
}

// Reads the file looked up as above, at most `max_bytes` of it, into
// `contents`; `path` as above.
LookupResult read_data_file(const char* name, const char* data_dir, std::size_t max_bytes, std::string& path,
                            std::string& contents);
