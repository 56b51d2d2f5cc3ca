// scale.cpp: reading the display options' texts.
#include "ui/scale.h"

#include <cmath>
#include <cstdlib>

#include "base/decimal_number.h"
#include "base/line_reader.h"
#include "base/report.h"

namespace {

std::string_view trimmed(std::string_view text) {
    const auto space = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && space(text.front())) text.remove_prefix(1);
    while (!text.empty() && space(text.back())) text.remove_suffix(1);
    return text;
}

int clamp_scale(long long s) { return s < 1 ? 1 : s > 4 ? 4 : static_cast<int>(s); }

}  // namespace

int parse_scale(std::string_view text) {
    text = trimmed(text);
    // Out of range is not a bad value: it gives the nearer of 1 and 4.
    const DecimalNumber number = read_decimal(text, 1, 4);
    if (number.status == DecimalStatus::NO_NUMBER || number.length != text.size()) return -1;
    return static_cast<int>(number.value);
}

int scale_for_dpi(std::string_view text) {
    const std::string copy(trimmed(text));
    if (copy.empty()) return -1;
    char* end = nullptr;
    const double dpi = std::strtod(copy.c_str(), &end);
    if (end != copy.c_str() + copy.size() || !std::isfinite(dpi) || dpi <= 0) return -1;
    const double ratio = std::round(dpi / 96.0);
    return ratio >= 4 ? 4 : clamp_scale(static_cast<long long>(ratio));
}

int fitting_scale(int wanted, Size2 window, Size2 screen) {
    int s = wanted;
    while (s > 1 && (static_cast<long long>(window.width) * s > screen.width ||
                     static_cast<long long>(window.height) * s > screen.height))
        --s;
    return s < 1 ? 1 : s;
}

int parse_switch(std::string_view text) {
    const std::string word = fold_ascii_case(trimmed(text));
    if (word == "on" || word == "true" || word == "yes" || word == "1") return 1;
    if (word == "off" || word == "false" || word == "no" || word == "0") return 0;
    return -1;
}

std::string bad_resource_warning(const char* name, std::string_view value, const char* replacement) {
    return format_message("Warning: bad value '%s' of the X resource %s, using %s.\n", std::string(value).c_str(),
                          name, replacement);
}
