#include "vtk/number_format.h"

#include <charconv>
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

RoundedDecimal roundToSixDigits(double magnitude) {
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
