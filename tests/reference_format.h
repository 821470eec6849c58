#pragma once

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace obsgrid::testing {

// A second, slow computation of the files' number format, for comparison:
// the C library's 17 significant digits, rounded half up as text.
inline std::string referenceFormat(double value) {
    if (value == 0.0) return "0";
    char text[64];
    std::snprintf(text, sizeof text, "%.16e", std::fabs(value));
    std::string digits = std::string(1, text[0]) + std::string(text + 2, 16);
    int exponent = std::atoi(std::strchr(text, 'e') + 1);

    std::string six = digits.substr(0, 6);
    if (digits[6] >= '5') {
        int i = 5;
        for (; i >= 0 && six[i] == '9'; --i) six[i] = '0';
        if (i < 0) {
            six = "100000";
            ++exponent;
        } else {
            ++six[i];
        }
    }
    auto trim = [](std::string s) {
        if (s.find('.') == std::string::npos) return s;
        while (s.back() == '0') s.pop_back();
        if (s.back() == '.') s.pop_back();
        return s;
    };
    std::string body;
    if (exponent >= -4 && exponent <= 5) {
        if (exponent >= 0) {
            body = trim(six.substr(0, exponent + 1) + "." + six.substr(exponent + 1));
        } else {
            body = trim("0." + std::string(-exponent - 1, '0') + six);
        }
    } else {
        char e[16];
        std::snprintf(e, sizeof e, "e%c%03d", exponent < 0 ? '-' : '+', std::abs(exponent));
        body = trim(six.substr(0, 1) + "." + six.substr(1)) + e;
    }
    return (value < 0 ? "-" : "") + body;
}

}  // namespace obsgrid::testing
