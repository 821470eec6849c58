#include "input/number_scanner.h"

#include <charconv>
#include <cstdint>
#include <limits>
#include <system_error>

namespace obsgrid {

namespace {

constexpr bool isDigit(char c) { return c >= '0' && c <= '9'; }

const char* skipDigits(const char* p, const char* end) {
    while (p != end && isDigit(*p)) ++p;
    return p;
}

// Decimal exponent of the leading nonzero digit of the digits in [begin, end)
// (a point allowed among them), as if the point stood at `point`.
std::int64_t leadingDigitExponent(const char* begin, const char* point, const char* end) {
    std::int64_t exponent = point - begin - 1;
    for (const char* p = begin; p != end; ++p) {
        if (*p == '.') continue;
        if (*p != '0') return exponent;
        --exponent;
    }
    return exponent;
}

std::int64_t saturatedExponent(const char* begin, const char* end, bool negative) {
    constexpr std::int64_t cap = 1'000'000'000;
    std::int64_t e = 0;
    for (const char* p = begin; p != end && e < cap; ++p) e = e * 10 + (*p - '0');
    return negative ? -e : e;
}

}  // namespace

bool scanNumber(const char*& pos, const char* end, double& value) {
    const char* p = pos;
    while (p != end && isReportSpace(*p)) ++p;

    const char* numberStart = p;
    bool negative = false;
    if (p != end && (*p == '+' || *p == '-')) {
        negative = *p == '-';
        ++p;
    }
    const char* digitsStart = p;
    p = skipDigits(p, end);
    bool anyDigit = p != digitsStart;
    const char* point = p;
    if (p != end && *p == '.') {
        const char* fraction = p + 1;
        p = skipDigits(fraction, end);
        anyDigit = anyDigit || p != fraction;
    }
    if (!anyDigit) return false;
    const char* mantissaEnd = p;

    const char* exponentDigits = nullptr;
    const char* exponentEnd = nullptr;
    bool exponentNegative = false;
    if (p != end && (*p == 'e' || *p == 'E')) {
        ++p;
        if (p != end && (*p == '+' || *p == '-')) {
            exponentNegative = *p == '-';
            ++p;
        }
        exponentDigits = p;
        p = skipDigits(p, end);
        exponentEnd = p;
        if (exponentEnd == exponentDigits) exponentDigits = nullptr;
    }

    // std::from_chars takes no leading plus.
    const char* convertFrom = *numberStart == '+' ? numberStart + 1 : numberStart;
    const char* convertTo = exponentDigits ? exponentEnd : mantissaEnd;
    double result = 0.0;
    const auto [ptr, ec] = std::from_chars(convertFrom, convertTo, result);
    (void)ptr;
    if (ec == std::errc::result_out_of_range) {
        const std::int64_t magnitude =
            leadingDigitExponent(digitsStart, point, mantissaEnd) +
            (exponentDigits ? saturatedExponent(exponentDigits, exponentEnd, exponentNegative) : 0);
        result = magnitude > 0 ? std::numeric_limits<double>::infinity() : 0.0;
        if (negative) result = -result;
    } else if (ec != std::errc{}) {
        return false;
    }
    value = result;
    pos = p;
    return true;
}

}  // namespace obsgrid
