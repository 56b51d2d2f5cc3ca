// decimal_number.cpp: decimal numbers read with saturation, never overflow.
#include "base/decimal_number.h"

#include <climits>

DecimalNumber read_decimal(std::string_view text, long long low, long long high) {
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    const std::size_t first_digit = i;
    // The magnitude sticks at ULLONG_MAX once it passes every bound.
    unsigned long long magnitude = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        const unsigned digit = static_cast<unsigned>(text[i] - '0');
        magnitude = magnitude > (ULLONG_MAX - 9) / 10 ? ULLONG_MAX : magnitude * 10 + digit;
    }
    if (i == first_digit) return {};

    constexpr unsigned long long LARGEST = static_cast<unsigned long long>(LLONG_MAX);
    DecimalNumber number{DecimalStatus::OK, 0, i};
    if (!negative && magnitude > LARGEST) {
        number.status = DecimalStatus::OUT_OF_RANGE;
        number.value = high;
        return number;
    }
    if (negative && magnitude > LARGEST + 1) {
        number.status = DecimalStatus::OUT_OF_RANGE;
        number.value = low;
        return number;
    }
    if (!negative)
        number.value = static_cast<long long>(magnitude);
    else
        number.value = magnitude == LARGEST + 1 ? LLONG_MIN : -static_cast<long long>(magnitude);
    if (number.value < low || number.value > high) {
        number.value = number.value < low ? low : high;
        number.status = DecimalStatus::OUT_OF_RANGE;
    }
    return number;
}

bool read_whole_decimal(std::string_view text, long long low, long long high, long long& out) {
    const DecimalNumber number = read_decimal(text, low, high);
    if (number.status != DecimalStatus::OK || number.length != text.size()) return false;
    out = number.value;
    return true;
}
