// data_lookup.cpp: reading a file found the way every named file is found.
#include "base/data_lookup.h"

#include <optional>

#include "base/line_reader.h"

LookupResult read_data_file(const char* name, const char* data_dir, std::size_t max_bytes, std::string& path,
                            std::string& contents) {
    return look_up_data_file(name, data_dir, path, [&](const std::string& candidate) {
        std::optional<std::string> text = read_whole_file(candidate.c_str(), max_bytes);
        if (text) contents = std::move(*text);
        return text.has_value();
    });
}
