// server_resources.cpp: running xrestop in batch mode and reading its client
// blocks; reading /proc for resident memory.
#include "stress/server_resources.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

namespace {

// "\tname : value" -> name, value text; false for other lines.
bool field_of(std::string_view line, std::string& name, std::string& value)
{
    const size_t colon = line.find(':');
    if (colon == std::string_view::npos) return false;
    auto trim = [](std::string_view s) {
        const size_t first = s.find_first_not_of(" \t~");
        if (first == std::string_view::npos) return std::string();
        const size_t last = s.find_last_not_of(" \t\r");
        return std::string(s.substr(first, last - first + 1));
    };
    name = trim(line.substr(0, colon));
    value = trim(line.substr(colon + 1));
    return true;
}

}  // namespace

std::string describe(const ClientResources& r)
{
    char text[200];
    std::snprintf(text, sizeof text, "windows %ld, GCs %ld, fonts %ld, pixmaps %ld (%ld bytes), colormaps %ld, cursors %ld",
                  r.windows, r.gcs, r.fonts, r.pixmaps, r.pixmap_bytes, r.colormaps, r.cursors);
    return text;
}

std::vector<ClientResources> parse_xrestop(std::string_view text)
{
    std::vector<ClientResources> clients;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view line = text.substr(start, end - start);
        start = end + 1;
        // A block opens with an unindented header line ("1 - name ( PID: ...):").
        if (!line.empty() && line[0] != '\t' && line[0] != ' ') {
            clients.emplace_back();
            continue;
        }
        std::string name, value;
        if (clients.empty() || !field_of(line, name, value) || value.empty()) continue;
        char* rest = nullptr;
        const unsigned long number = std::strtoul(value.c_str(), &rest, 0);
        if (rest == value.c_str()) continue;
        ClientResources& c = clients.back();
        const long count = static_cast<long>(number);
        if (name == "res_base") c.base = number;
        else if (name == "res_mask") c.mask = number;
        else if (name == "windows") c.windows = count;
        else if (name == "GCs") c.gcs = count;
        else if (name == "fonts") c.fonts = count;
        else if (name == "pixmaps") c.pixmaps = count;
        else if (name == "colormaps") c.colormaps = count;
        else if (name == "cursors") c.cursors = count;
        else if (name == "pixmap bytes") c.pixmap_bytes = count;
    }
    return clients;
}

std::optional<ClientResources> sample_client(const std::string& display_name, XID owned)
{
    const std::string command = "xrestop -display '" + display_name + "' -b -m 1 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return std::nullopt;
    std::string text;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) text.append(buffer, n);
    if (pclose(pipe) != 0) return std::nullopt;
    for (const ClientResources& client : parse_xrestop(text))
        if (client.owns(owned)) return client;
    return std::nullopt;
}

long resident_kib(pid_t pid)
{
    std::ifstream in("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(in, line))
        if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
    return -1;
}
