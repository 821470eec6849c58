#include "vtk/number_format.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace obsgrid {

namespace {

constexpr int significantDigits = 6;

// The first six significant digits of a positive finite value after half-up
// rounding of its 17-digit form, and the decimal exponent of the first one.
struct RoundedDecimal {
    char digits[significantDigits];
    int exponent;
};

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
    r.digits[0] = text[0];
    std::memcpy(r.digits + 1, text + 2, significantDigits - 1);
    if (text[significantDigits + 1] >= '5') {
        int i = significantDigits - 1;
        while (i >= 0 && r.digits[i] == '9') r.digits[i--] = '0';
        if (i >= 0) {
            ++r.digits[i];
        } else {
            r.digits[0] = '1';
            ++r.exponent;
        }
    }
    return r;
}

constexpr double exactPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                       1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                       1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
constexpr int maxExactPower = 22;

// Decimal exponents whose scale factor is an exact power of ten.
bool hasExactScale(int exponent) {
    const int k = significantDigits - 1 - exponent;
    return k >= -maxExactPower && k <= maxExactPower;
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
    // The estimate from the binary exponent is the decimal exponent or one
    // less (log10(2) is taken from below; subnormals are out of range anyway).
    const int binaryExponent =
        static_cast<int>((std::bit_cast<std::uint64_t>(magnitude) >> 52) & 0x7ff) - 1023;
    int exponent = static_cast<int>(std::floor(binaryExponent * 0.30102999566398114));
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
    for (int i = significantDigits - 1; i >= 0; --i) {
        r.digits[i] = static_cast<char>('0' + digits % 10);
        digits /= 10;
    }
    r.exponent = exponent;
    return true;
}

RoundedDecimal roundToSixDigits(double magnitude) {
    RoundedDecimal r{};
    if (roundQuickly(magnitude, r)) return r;
    return roundThroughSeventeenDigits(magnitude);
}

// Number of digits to keep of the six once trailing zeros are dropped,
// never fewer than `minimum`.
int keptDigits(const RoundedDecimal& r, int minimum) {
    int n = significantDigits;
    while (n > minimum && r.digits[n - 1] == '0') --n;
    return n;
}

char* writeFixed(char* out, const RoundedDecimal& r) {
    if (r.exponent >= 0) {
        const int integerDigits = r.exponent + 1;
        const int n = keptDigits(r, integerDigits);
        std::memcpy(out, r.digits, integerDigits);
        out += integerDigits;
        if (n > integerDigits) {
            *out++ = '.';
            std::memcpy(out, r.digits + integerDigits, n - integerDigits);
            out += n - integerDigits;
        }
        return out;
    }
    const int n = keptDigits(r, 1);
    *out++ = '0';
    *out++ = '.';
    for (int i = -1; i > r.exponent; --i) *out++ = '0';
    std::memcpy(out, r.digits, n);
    return out + n;
}

char* writeExponential(char* out, const RoundedDecimal& r) {
    const int n = keptDigits(r, 1);
    *out++ = r.digits[0];
    if (n > 1) {
        *out++ = '.';
        std::memcpy(out, r.digits + 1, n - 1);
        out += n - 1;
    }
    *out++ = 'e';
    int exponent = r.exponent;
    *out++ = exponent < 0 ? '-' : '+';
    if (exponent < 0) exponent = -exponent;
    *out++ = static_cast<char>('0' + exponent / 100);
    *out++ = static_cast<char>('0' + exponent / 10 % 10);
    *out++ = static_cast<char>('0' + exponent % 10);
    return out;
}

}  // namespace

char* formatReal(char* out, double value) {
    if (value == 0.0) {
        *out++ = '0';
        return out;
    }
    if (value < 0.0) {
        *out++ = '-';
        value = -value;
    }
    const RoundedDecimal r = roundToSixDigits(value);
    const bool fixed = r.exponent >= -4 && r.exponent < significantDigits;
    return fixed ? writeFixed(out, r) : writeExponential(out, r);
}

}  // namespace obsgrid
