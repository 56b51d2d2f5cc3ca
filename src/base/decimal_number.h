// decimal_number.h: the one reader of decimal numbers in text from outside
// (settings, description files, the journal, command lines, colour lists).
// Knows nothing of what a number means: each caller gives its range.
#pragma once

#include <cstddef>
#include <string_view>

enum class DecimalStatus { OK, NO_NUMBER, OUT_OF_RANGE };

struct DecimalNumber {
    DecimalStatus status = DecimalStatus::NO_NUMBER;
    long long value = 0;     // OK: the number; OUT_OF_RANGE: the nearer bound; NO_NUMBER: 0
    std::size_t length = 0;  // characters read, sign included; 0 for NO_NUMBER
};

// An optional '+' or '-' and then one or more decimal digits, at the very
// start of `text` (nothing is skipped before it; what follows the digits is
// the caller's). Any number of digits is read without overflow: a value
// outside [low, high] is OUT_OF_RANGE.
DecimalNumber read_decimal(std::string_view text, long long low, long long high);

// Whether the whole of `text` is one number in [low, high]; sets `out` only then.
bool read_whole_decimal(std::string_view text, long long low, long long high, long long& out);
