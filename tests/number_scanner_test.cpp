#include "input/number_scanner.h"

#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>

#include "input/day_line.h"

namespace obsgrid {
namespace {

struct ScanCase {
    std::string text;
    bool converts;
    double value;
    std::string rest;  // what follows the number
};

void PrintTo(const ScanCase& c, std::ostream* os) { *os << '"' << c.text.substr(0, 40) << '"'; }

class ScanNumber : public ::testing::TestWithParam<ScanCase> {};

TEST_P(ScanNumber, ReadsTheReportSyntax) {
    const ScanCase& c = GetParam();
    const char* p = c.text.data();
    double value = -12345.0;
    ASSERT_EQ(scanNumber(p, c.text.data() + c.text.size(), value), c.converts) << c.text;
    if (!c.converts) {
        EXPECT_EQ(value, -12345.0) << "a failed scan leaves the value alone";
        EXPECT_EQ(p, c.text.data()) << "a failed scan consumes nothing";
        return;
    }
    EXPECT_EQ(value, c.value) << c.text;
    EXPECT_EQ(std::signbit(value), std::signbit(c.value)) << c.text;
    EXPECT_EQ(std::string(p), c.rest) << c.text;
}

const double inf = std::numeric_limits<double>::infinity();

// prefix, then `count` times `c`, then suffix
std::string padded(const char* prefix, std::size_t count, char c, const char* suffix) {
    std::string text(prefix);
    text.append(count, c);
    text.append(suffix);
    return text;
}

INSTANTIATE_TEST_SUITE_P(
    Tokens, ScanNumber,
    ::testing::Values(ScanCase{"12.5EM", true, 12.5, "M"},  // E without digits adds nothing
                      ScanCase{"12.5E ", true, 12.5, " "}, ScanCase{"2E3 ", true, 2000.0, " "},
                      ScanCase{"1e+ ", true, 1.0, " "},  // e and its sign are taken anyway
                      ScanCase{"1e-M", true, 1.0, "M"}, ScanCase{"3e-2x", true, 0.03, "x"},
                      ScanCase{".5 ", true, 0.5, " "}, ScanCase{"5. ", true, 5.0, " "},
                      ScanCase{"+7 ", true, 7.0, " "}, ScanCase{"-.25e+1 ", true, -2.5, " "},
                      ScanCase{"0x1A", true, 0.0, "x1A"},   // no hexadecimal form
                      ScanCase{"1,5", true, 1.0, ",5"},     // the separator is always a point
                      ScanCase{"\t 3\t", true, 3.0, "\t"},  // tabs are white space
                      ScanCase{" \r\v\f-4M", true, -4.0, "M"}, ScanCase{"-0 ", true, -0.0, " "},
                      ScanCase{"0.1", true, 0.1, ""},
                      ScanCase{"2.2250738585072011e-308", true, 2.2250738585072011e-308, ""},
                      ScanCase{"4.9e-324", true, 4.9e-324, ""},  // smallest subnormal
                      ScanCase{"1e400 ", true, inf, " "}, ScanCase{"-1e400 ", true, -inf, " "},
                      ScanCase{"1e-400M", true, 0.0, "M"}, ScanCase{"-1e-400", true, -0.0, ""},
                      ScanCase{"1e99999999999999999999999", true, inf, ""},
                      ScanCase{"1e-99999999999999999999999", true, 0.0, ""},
                      ScanCase{"0e99999999999999999999999", true, 0.0, ""},
                      ScanCase{padded("1", 400, '0', ""), true, inf, ""},
                      ScanCase{padded("0.", 400, '0', "1"), true, 0.0, ""},
                      ScanCase{padded("0.", 300, '0', "1e300"), true, 1e-1, ""},
                      ScanCase{"-", false, 0, ""},  // a lone sign
                      ScanCase{"+M", false, 0, ""}, ScanCase{".", false, 0, ""},
                      ScanCase{"-.e5", false, 0, ""},
                      ScanCase{" M", false, 0, ""},  // a flag letter after a blank
                      ScanCase{"inf", false, 0, ""}, ScanCase{"nan", false, 0, ""},
                      ScanCase{"e5", false, 0, ""}, ScanCase{"", false, 0, ""},
                      ScanCase{"   ", false, 0, ""}));

std::string fullLine(const std::string& flagAfterLast) {
    std::string line = "7";
    for (int k = 0; k < 18; ++k) {
        line.append(" ").append(std::to_string(k)).append(".5");
        line.append(k == 17 ? flagAfterLast : "M");
    }
    return line;
}

// The correctly rounded value of each text, as std::from_chars reads it,
// for texts on either side of the quick conversion's limits: 15 and 16
// digits, exponents up to 22 and beyond, points anywhere.
TEST(ScanNumber, RoundsCorrectlyOnBothSidesOfTheQuickConversion) {
    std::mt19937_64 rng(2026);
    for (int run = 0; run < 200000; ++run) {
        const int digitCount = 1 + static_cast<int>(rng() % 18);
        std::string digits;
        for (int i = 0; i < digitCount; ++i) digits += static_cast<char>('0' + rng() % 10);
        const int pointAt = static_cast<int>(rng() % (digitCount + 2));
        std::string text = rng() % 2 ? "-" : "";
        if (pointAt <= digitCount) {
            text.append(digits, 0, static_cast<std::size_t>(pointAt));
            text += '.';
            text.append(digits, static_cast<std::size_t>(pointAt));
        } else {
            text += digits;
        }
        if (rng() % 2) {
            text += 'e';
            text += std::to_string(static_cast<int>(rng() % 61) - 30);
        }
        double expected = 0.0;
        const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), expected);
        ASSERT_EQ(ec, std::errc{}) << text;
        ASSERT_EQ(ptr, text.data() + text.size()) << text;
        const char* p = text.data();
        double value = 0.0;
        ASSERT_TRUE(scanNumber(p, text.data() + text.size(), value)) << text;
        ASSERT_EQ(std::bit_cast<std::uint64_t>(value), std::bit_cast<std::uint64_t>(expected))
            << text << ": " << value << " instead of " << expected;
    }
}

TEST(DayLine, ReadsEighteenValuesWithTheirFlags) {
    const DayLineFields f = convertDayLine(fullLine(" "));
    ASSERT_EQ(f.valuesRead, 18u);
    for (std::size_t k = 0; k < 18; ++k) EXPECT_EQ(f.values[k], static_cast<double>(k) + 0.5);
    for (std::size_t k = 0; k < 17; ++k) EXPECT_EQ(f.flags[k], 'M');
    EXPECT_EQ(f.flags[17], ' ');
}

TEST(DayLine, LastValueWithNothingAfterItHasNoFlag) {
    const DayLineFields f = convertDayLine(fullLine(""));
    EXPECT_EQ(f.valuesRead, 18u);
    EXPECT_EQ(f.values[17], 17.5);
    EXPECT_EQ(f.flags[17], '\0');
}

TEST(DayLine, StopsAtTheFirstItemThatDoesNotMatch) {
    struct Case {
        std::string line;
        std::size_t valuesRead;
    };
    const Case cases[] = {
        {"", 0},
        {"   ", 0},
        {"Station name and column titles", 0},
        {"x 1 2 3", 0},
        {"1 2.0 3.0 M 4.0", 2},  // a flag letter after a blank ends the line
        {"1 2.0M3.0 4.0", 3},    // a flag needs no blank after it
        {"1 2.0", 1},            // the line ends after the first value
        {"1\t2.0\t3.0\t", 2},
        {"99999999999999999999999999 5 6", 2},  // a day number of any length
        {"-3 5 6", 2},
        {"1 0x1A 2", 3},  // 0 with flag x, then 1 with flag A
    };
    for (const Case& c : cases)
        EXPECT_EQ(convertDayLine(c.line).valuesRead, c.valuesRead) << c.line;
}

TEST(DayLine, UnconvertedValuesStayZero) {
    const DayLineFields f = convertDayLine("1 2.0 3.0 M 4.0");
    EXPECT_EQ(f.values[0], 2.0);
    EXPECT_EQ(f.values[1], 3.0);
    EXPECT_EQ(f.flags[1], ' ');
    for (std::size_t k = 2; k < 18; ++k) EXPECT_EQ(f.values[k], 0.0);
}

}  // namespace
}  // namespace obsgrid
