// decimal_number_test.cpp: the one decimal reader every parser uses, tested
// once and hard: bounds, signs, overflow, no number and what follows it.
#include "base/decimal_number.h"

#include <climits>
#include <string>

#include <gtest/gtest.h>

namespace {

struct Read {
    DecimalStatus status;
    long long value;
    std::size_t length;
    bool operator==(const Read&) const = default;
};

Read read(std::string_view text, long long low, long long high) {
    const DecimalNumber number = read_decimal(text, low, high);
    return {number.status, number.value, number.length};
}

constexpr auto OK = DecimalStatus::OK;
constexpr auto NONE = DecimalStatus::NO_NUMBER;
constexpr auto OUT = DecimalStatus::OUT_OF_RANGE;

TEST(ReadDecimal, TakesTheBoundsAndRefusesOneBeyondGivingTheNearerBound) {
    EXPECT_EQ(read("10", 10, 30), (Read{OK, 10, 2}));
    EXPECT_EQ(read("30", 10, 30), (Read{OK, 30, 2}));
    EXPECT_EQ(read("9", 10, 30), (Read{OUT, 10, 1}));
    EXPECT_EQ(read("31", 10, 30), (Read{OUT, 30, 2}));
    EXPECT_EQ(read("-1", 0, 5), (Read{OUT, 0, 2}));
    EXPECT_EQ(read("4294967295", 0, 4294967295LL), (Read{OK, 4294967295LL, 10}));
    EXPECT_EQ(read("4294967296", 0, 4294967295LL), (Read{OUT, 4294967295LL, 10}));
}

TEST(ReadDecimal, ReadsOneSignOfEitherKindBeforeTheDigits) {
    EXPECT_EQ(read("+7", -9, 9), (Read{OK, 7, 2}));
    EXPECT_EQ(read("-7", -9, 9), (Read{OK, -7, 2}));
    EXPECT_EQ(read("-0", 0, 9), (Read{OK, 0, 2}));
    EXPECT_EQ(read("--7", -9, 9), (Read{NONE, 0, 0}));
    EXPECT_EQ(read("+-7", -9, 9), (Read{NONE, 0, 0}));
    EXPECT_EQ(read("- 7", -9, 9), (Read{NONE, 0, 0}));
}

TEST(ReadDecimal, NeverOverflowsHoweverManyDigits) {
    EXPECT_EQ(read("9223372036854775807", LLONG_MIN, LLONG_MAX), (Read{OK, LLONG_MAX, 19}));
    EXPECT_EQ(read("-9223372036854775808", LLONG_MIN, LLONG_MAX), (Read{OK, LLONG_MIN, 20}));
    EXPECT_EQ(read("9223372036854775808", LLONG_MIN, LLONG_MAX), (Read{OUT, LLONG_MAX, 19}));
    EXPECT_EQ(read("-9223372036854775809", LLONG_MIN, LLONG_MAX), (Read{OUT, LLONG_MIN, 20}));
    // 2^64 + 5 would wrap to 5 in 64 bits.
    EXPECT_EQ(read("18446744073709551621", 0, 100), (Read{OUT, 100, 20}));
    const std::string long_digits(300, '9');
    EXPECT_EQ(read(long_digits, INT_MIN, INT_MAX), (Read{OUT, INT_MAX, 300}));
    EXPECT_EQ(read("-" + long_digits, INT_MIN, INT_MAX), (Read{OUT, INT_MIN, 301}));
    EXPECT_EQ(read("000000000000000000000000042", 0, 100), (Read{OK, 42, 27}));
}

TEST(ReadDecimal, FindsNoNumberWithoutADigitAndStopsAtTheFirstNonDigit) {
    EXPECT_EQ(read("", 0, 9), (Read{NONE, 0, 0}));
    EXPECT_EQ(read("+", 0, 9), (Read{NONE, 0, 0}));
    EXPECT_EQ(read(" 5", 0, 9), (Read{NONE, 0, 0}));
    EXPECT_EQ(read("x5", 0, 9), (Read{NONE, 0, 0}));
    EXPECT_EQ(read("12px", 0, 99), (Read{OK, 12, 2}));
    EXPECT_EQ(read("3 4", 0, 9), (Read{OK, 3, 1}));
    EXPECT_EQ(read("0x1F", 0, 99), (Read{OK, 0, 1}));
}

TEST(ReadWholeDecimal, WantsTheWholeTextInRangeAndLeavesTheResultAloneOtherwise) {
    long long value = -5;
    EXPECT_TRUE(read_whole_decimal("17", 1, 20, value));
    EXPECT_EQ(value, 17);
    value = -5;
    for (const char* refused : {"", "17 ", " 17", "17x", "21", "0", "1.5"}) {
        EXPECT_FALSE(read_whole_decimal(refused, 1, 20, value)) << refused;
        EXPECT_EQ(value, -5) << refused;
    }
}

}  // namespace
