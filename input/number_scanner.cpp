#include "input/number_scanner.h"

#include <charconv>
#include <cstdint>
#include <limits>
#include <system_error>

#include "common/powers_of_ten.h"

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

// The common case: at most 15 digits in all and a small exponent. The
// digits form an integer below 10^15 < 2^53 and the power of ten up to
// 10^22 is a double too, both exact, so one multiplication or division,
// correctly rounded by the hardware, gives the correctly rounded value.
// Returns false for the rest, which std::from_chars converts.
bool convertQuickly(const char* digits, const char* point, const char* mantissaEnd,
                    const char* exponentDigits, const char* exponentEnd, bool exponentNegative,
                    bool negative, double& value) {
    constexpr std::ptrdiff_t maxDigits = 15;
    if (mantissaEnd - digits > maxDigits + 1 || exponentEnd - exponentDigits > 3) return false;
    std::uint64_t mantissa = 0;
    int count = 0;
    for (const char* p = digits; p != mantissaEnd; ++p) {
        if (*p == '.') continue;
        mantissa = mantissa * 10 + static_cast<std::uint64_t>(*p - '0');
        ++count;
    }
    if (count > maxDigits) return false;
    int exponent = 0;
    for (const char* p = exponentDigits; p != exponentEnd; ++p)
        exponent = exponent * 10 + (*p - '0');
    if (exponentNegative) exponent = -exponent;
    // digits after the point scale the integer down
    exponent -= point == mantissaEnd ? 0 : static_cast<int>(mantissaEnd - point - 1);
    if (exponent < -maxExactPowerOfTen || exponent > maxExactPowerOfTen) return false;
    const auto magnitude = static_cast<double>(mantissa);
    const double result = exponent >= 0 ? magnitude * exactPowersOfTen[exponent]
                                        : magnitude / exactPowersOfTen[-exponent];
    value = negative ? -result : result;
    return true;
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

    // An e without digits adds nothing: an empty exponent.
    const char* exponentBegin = exponentDigits ? exponentDigits : p;
    if (convertQuickly(digitsStart, point, mantissaEnd, exponentBegin,
                       exponentDigits ? exponentEnd : p, exponentNegative, negative, value)) {
        pos = p;
        return true;
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
