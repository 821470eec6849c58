#include "vtk/number_format.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "common/powers_of_ten.h"

namespace obsgrid {

namespace {

constexpr int significantDigits = 6;

// The first six significant digits of a positive finite value after half-up
// rounding of its 17-digit form, as an integer from 100000 to 999999, and
// the decimal exponent of the first one.
struct RoundedDecimal {
    std::uint32_t digits;
    int exponent;
};

// "00" to "99": two digits at a time take a third of the divisions.
constexpr char twoDigits[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// The six digits as text, in the byte order of memory, in a word (then two
// zero bytes), and how many are left once trailing zeros are dropped. Built
// in a register and stored whole: a word loaded back from bytes just stored
// one by one would stall the processor.
struct SixDigits {
    std::uint64_t text;
    int kept;
};

constexpr bool littleEndian = std::endian::native == std::endian::little;

std::uint64_t pairAt(std::uint32_t twoDigitNumber) {
    std::uint16_t pair;
    std::memcpy(&pair, twoDigits + 2 * twoDigitNumber, 2);
    return pair;
}

// Two digits at a time by fixed-point multiplication: y holds digits / 10^4
// with 48 fraction bits, taken from above (the constant rounds up), so each
// pair is the integer part of the fraction times 100; the error, below
// 2^-14 of a unit, never reaches the next integer.
SixDigits spell(std::uint32_t digits) {
    constexpr int fractionBits = 48;
    constexpr std::uint64_t fraction = (std::uint64_t{1} << fractionBits) - 1;
    std::uint64_t y = digits * ((std::uint64_t{1} << fractionBits) / 10000 + 1);
    const std::uint64_t high = pairAt(static_cast<std::uint32_t>(y >> fractionBits));
    y = (y & fraction) * 100;
    const std::uint64_t middle = pairAt(static_cast<std::uint32_t>(y >> fractionBits));
    y = (y & fraction) * 100;
    const std::uint64_t low = pairAt(static_cast<std::uint32_t>(y >> fractionBits));
    constexpr std::uint64_t allZeros = 0x303030303030;  // the '0' of every digit
    if constexpr (littleEndian) {
        const std::uint64_t text = high | middle << 16 | low << 32;
        // The last digit that is not '0' is the highest byte left nonzero.
        return {text, (63 - std::countl_zero(text ^ allZeros)) / 8 + 1};
    } else {
        const std::uint64_t text = high << 48 | middle << 32 | low << 16;
        return {text, 8 - std::countr_zero(text ^ (allZeros << 16)) / 8};
    }
}

// The digits with a point after the first `integerDigits` (1 to 6) of them.
std::uint64_t withPoint(std::uint64_t text, int integerDigits) {
    const int bits = 8 * integerDigits;
    if constexpr (littleEndian) {
        const std::uint64_t integerPart = text & ((std::uint64_t{1} << bits) - 1);
        return integerPart | std::uint64_t{'.'} << bits | (text ^ integerPart) << 8;
    } else {
        const std::uint64_t integerPart = text & ~(~std::uint64_t{0} >> bits);
        return integerPart | std::uint64_t{'.'} << (56 - bits) | (text ^ integerPart) >> 8;
    }
}

// The exact way, through the value's 17 significant digits.
RoundedDecimal roundThroughSeventeenDigits(double magnitude) {
    // "d.dddddddddddddddde[+-]ddd": 17 significant digits
    char text[32];
    const auto result =
        std::to_chars(text, text + sizeof text, magnitude, std::chars_format::scientific, 16);
    const char* e = result.ptr - 1;
    while (*e != 'e') --e;

    RoundedDecimal r{};
    std::from_chars(e[1] == '+' ? e + 2 : e + 1, result.ptr, r.exponent);
    r.digits = static_cast<std::uint32_t>(text[0] - '0');
    for (int i = 2; i <= significantDigits; ++i)
        r.digits = r.digits * 10 + static_cast<std::uint32_t>(text[i] - '0');
    if (text[significantDigits + 1] >= '5' && ++r.digits == 1000000) {
        r.digits = 100000;
        ++r.exponent;
    }
    return r;
}

// floor(binaryExponent x log10(2)) in integers, exact for |binaryExponent|
// below 1100: the decimal exponent of a value with that binary exponent, or
// one less.
int decimalExponentGuess(int binaryExponent) { return (binaryExponent * 78913) >> 18; }

// Decimal exponents whose scale factor is an exact power of ten.
bool hasExactScale(int exponent) {
    const int k = significantDigits - 1 - exponent;
    return k >= -maxExactPowerOfTen && k <= maxExactPowerOfTen;
}

// The value scaled to have six digits before the point, by one correctly
// rounded multiplication or division (relative error at most 2^-53).
double scaleToSixDigits(double magnitude, int exponent) {
    const int k = significantDigits - 1 - exponent;
    return k >= 0 ? magnitude * exactPowersOfTen[k] : magnitude / exactPowersOfTen[-k];
}

// The same result in double arithmetic, for values of moderate exponent:
// the scaled value is off by less than 1e-9, so rounding it half up is
// exact unless it lies close to a half. There the seventeen digits decide
// (a 4 followed by nine 9s may round up to a 5), and this gives up.
bool roundQuickly(double magnitude, RoundedDecimal& r) {
    // Subnormals read as the smallest binary exponent: out of range anyway.
    const int binaryExponent =
        static_cast<int>((std::bit_cast<std::uint64_t>(magnitude) >> 52) & 0x7ff) - 1023;
    int exponent = decimalExponentGuess(binaryExponent);
    if (!hasExactScale(exponent)) return false;
    double scaled = scaleToSixDigits(magnitude, exponent);
    if (scaled >= 1e6) {
        ++exponent;
        if (!hasExactScale(exponent)) return false;
        scaled = scaleToSixDigits(magnitude, exponent);
    }
    auto digits = static_cast<std::uint32_t>(scaled);  // scaled is positive: this is its floor
    const double fraction = scaled - static_cast<double>(digits);
    if (std::fabs(fraction - 0.5) < 1e-6) return false;
    if (fraction > 0.5) ++digits;
    if (digits >= 1000000) {
        digits /= 10;
        ++exponent;
    }
    r.digits = digits;
    r.exponent = exponent;
    return true;
}

RoundedDecimal roundToSixDigits(double magnitude) {
    RoundedDecimal r{};
    if (roundQuickly(magnitude, r)) return r;
    return roundThroughSeventeenDigits(magnitude);
}

// Fixed notation, exponent -4 to 5. Whole words are stored: what lies past
// the returned end is scratch.
inline char* writeFixed(char* out, const RoundedDecimal& r) {
    const SixDigits six = spell(r.digits);
    if (r.exponent >= 0) {
        const int integerDigits = r.exponent + 1;
        const std::uint64_t text = withPoint(six.text, integerDigits);
        std::memcpy(out, &text, 8);
        return out + (six.kept <= integerDigits ? integerDigits : six.kept + 1);
    }
    // 0.000ddd: the leading zeros, then the digits
    constexpr char leadingZeros[8] = {'0', '.', '0', '0', '0', '0', '0', '0'};
    std::memcpy(out, leadingZeros, 8);
    out += 1 - r.exponent;
    std::memcpy(out, &six.text, 8);
    return out + six.kept;
}

char* writeExponential(char* out, const RoundedDecimal& r) {
    const SixDigits six = spell(r.digits);
    char text[8];
    std::memcpy(text, &six.text, 8);
    *out++ = text[0];
    if (six.kept > 1) {
        *out++ = '.';
        std::memcpy(out, text + 1, six.kept - 1);
        out += six.kept - 1;
    }
    *out++ = 'e';
    int exponent = r.exponent;
    *out++ = exponent < 0 ? '-' : '+';
    if (exponent < 0) exponent = -exponent;
    *out++ = static_cast<char>('0' + exponent / 100);
    std::memcpy(out, twoDigits + 2 * (exponent % 100), 2);
    return out + 2;
}

// Powers of ten as integers, for the float path.
constexpr std::uint64_t integerPowersOfTen[] = {1,         10,         100,         1000,
                                                10000,     100000,     1000000,     10000000,
                                                100000000, 1000000000, 10000000000, 100000000000};

// A float from 1e-5 up to 1e6, rounded in integers alone. The float is
// m x 2^-shift with m below 2^24 and shift from 4 to 40, so m x 10^k (k at
// most 11) is exact in 64 bits, and so are the six digits and the remainder
// below them: the exact value decides, not an estimate. It decides as the
// rule does (half up of the 17-digit form) except when the remainder lies
// within 10^-11 of a half, where the 17-digit form may have rounded onto or
// off it: a remainder is a multiple of 2^-shift, so that can only happen
// for a shift above 36, and those cases go the exact way.
bool roundFloatInFixedRange(float magnitude, RoundedDecimal& r) {
    const std::uint32_t bits = std::bit_cast<std::uint32_t>(magnitude);
    const int binaryExponent = static_cast<int>(bits >> 23) - 127;
    const std::uint64_t m = (bits & 0x7fffff) | 0x800000;
    const int shift = 23 - binaryExponent;
    int exponent = decimalExponentGuess(binaryExponent);
    const int k = significantDigits - 1 - exponent;
    const std::uint64_t sixDigitsEnd = std::uint64_t{1000000} << shift;
    const bool up = m * integerPowersOfTen[k] >= sixDigitsEnd;
    const std::uint64_t scaled = m * integerPowersOfTen[k - up];
    exponent += up;

    const std::uint64_t unit = std::uint64_t{1} << shift;
    const std::uint64_t remainder = scaled & (unit - 1);
    const std::uint64_t half = unit >> 1;
    const std::uint64_t margin = unit >> 36;  // 2^-36 > 10^-11 of a unit; 0 when shift <= 36
    if (margin != 0 && remainder + margin > half && remainder < half + margin) return false;
    auto digits = static_cast<std::uint32_t>(scaled >> shift) + (remainder >= half);
    const bool carry = digits == 1000000;
    r.digits = carry ? 100000 : digits;
    r.exponent = exponent + carry;
    return r.exponent >= -4 && r.exponent < significantDigits;
}

}  // namespace

char* formatFloat(char* out, float value) {
    const float magnitude = std::fabs(value);
    RoundedDecimal r{};
    if (magnitude >= 1e-5f && magnitude < 1e6f && roundFloatInFixedRange(magnitude, r)) {
        *out = '-';
        return writeFixed(out + std::signbit(value), r);
    }
    return formatReal(out, value);
}

char* formatReal(char* out, double value) {
    if (value == 0.0) {
        *out = '0';
        return out + 1;
    }
    *out = '-';
    out += std::signbit(value);
    const double magnitude = std::fabs(value);
    const RoundedDecimal r = roundToSixDigits(magnitude);
    const bool fixed = r.exponent >= -4 && r.exponent < significantDigits;
    return fixed ? writeFixed(out, r) : writeExponential(out, r);
}

}  // namespace obsgrid
