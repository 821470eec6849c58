#include "vtk/number_format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "reference_format.h"

namespace obsgrid {
namespace {

std::string format(double value) {
    char text[realFormatRoom];
    char* end = formatReal(text, value);
    EXPECT_LE(static_cast<std::size_t>(end - text), maxRealLength);
    return {text, end};
}

struct FormatCase {
    double value;
    const char* text;
};

// Expected texts were worked out from each value's exact decimal expansion
// (Python's decimal module): 17 significant digits, then half up to six.
const FormatCase formatCases[] = {
    {0.1, "0.1"},
    {static_cast<double>(0.1f), "0.1"},  // a float widened: 0.100000001490116...
    {1000.125, "1000.13"},               // ties round up in magnitude, not to even
    {-12345.25, "-12345.3"},
    {100000.5, "100001"},
    {123456.5, "123457"},
    {2.5, "2.5"},
    {1234565, "1.23457e+006"},  // a tie in exponent notation
    {-1234565, "-1.23457e+006"},
    {999999.5, "1e+006"},  // the rounded exponent picks the notation
    {999999.4, "999999"},
    {9999995, "1e+007"},
    {100000, "100000"},
    {1000000, "1e+006"},
    {1234567, "1.23457e+006"},
    {0.0001, "0.0001"},
    {0.00001, "1e-005"},
    {9.999995e-05, "0.0001"},  // 9.99999500000000001e-05 rounds up to 1e-4
    {9.9999949999e-05, "9.99999e-005"},
    {9.9999e-05, "9.9999e-005"},
    {99999.95, "99999.9"},  // in binary just below the half: 99999.94999...
    {2.345675, "2.34568"},  // exact 2.3456749999999999545..., 17 digits ...750000
    {3.456785, "3.45679"},
    {123.4565, "123.457"},
    {static_cast<double>(-88.37f), "-88.37"},
    {static_cast<double>(42.508f), "42.508"},
    {-1.5e-7, "-1.5e-007"},
    {1e300, "1e+300"},
    {1e100, "1e+100"},
    {5e-324, "4.94066e-324"},  // the smallest double
    {static_cast<double>(std::numeric_limits<float>::denorm_min()), "1.4013e-045"},
    {static_cast<double>(std::numeric_limits<float>::max()), "3.40282e+038"},
    {-static_cast<double>(std::numeric_limits<float>::max()), "-3.40282e+038"},
    {std::numeric_limits<double>::max(), "1.79769e+308"},
    {0.0, "0"},
    {-0.0, "0"},
    {1.0, "1"},
    {-10.0, "-10"},
    {0.5, "0.5"},
    {123456, "123456"},
    {0.000123456789, "0.000123457"},
};

TEST(NumberFormat, WritesSixSignificantDigits) {
    for (const FormatCase& c : formatCases) EXPECT_EQ(format(c.value), c.text) << c.text;
}

TEST(NumberFormat, PowersOfTenCrossTheNotationBoundaries) {
    const char* expected[] = {"1e-007", "1e-006", "1e-005", "0.0001", "0.001",
                              "0.01",   "0.1",    "1",      "10",     "100",
                              "1000",   "10000",  "100000", "1e+006", "1e+007"};
    for (int e = -7; e <= 7; ++e) EXPECT_EQ(format(std::pow(10.0, e)), expected[e + 7]) << e;
}

TEST(NumberFormat, AgreesWithTheSlowComputationAcrossAllFloats) {
    // every 4099th bit pattern of the positive finite floats, and its negative
    for (std::uint32_t bits = 1; bits < 0x7f800000u; bits += 4099) {
        float f;
        std::memcpy(&f, &bits, sizeof f);
        const double v = f;
        ASSERT_EQ(format(v), testing::referenceFormat(v)) << bits;
        ASSERT_EQ(format(-v), testing::referenceFormat(-v)) << bits;
    }
}

TEST(NumberFormat, AgreesWithTheSlowComputationNextToHalves) {
    // Doubles right at and next to d.dddd5 x 10^e, where rounding is decided.
    for (int e = -330; e <= 308; e += 7) {
        for (double mantissa : {1.000005, 1.234565, 2.345675, 4.999995, 9.999995, 5.555555}) {
            const double centre = mantissa * std::pow(10.0, e);
            if (!std::isfinite(centre) || centre == 0.0) continue;
            double v = centre;
            for (int step = 0; step < 3; ++step) v = std::nextafter(v, 0.0);
            for (int step = 0; step < 7; ++step, v = std::nextafter(v, INFINITY))
                ASSERT_EQ(format(v), testing::referenceFormat(v)) << v;
        }
    }
}

std::string formatAsFloat(float value) {
    char text[realFormatRoom];
    char* end = formatFloat(text, value);
    EXPECT_LE(static_cast<std::size_t>(end - text), maxRealLength);
    return {text, end};
}

float floatWithBits(std::uint32_t bits) {
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

TEST(NumberFormat, TheFloatPathWritesWhatTheDoublePathWrites) {
    for (const FormatCase& c : formatCases) {
        const auto f = static_cast<float>(c.value);
        if (static_cast<double>(f) == c.value) {
            EXPECT_EQ(formatAsFloat(f), c.text) << c.text;
        }
    }
    // every 251st bit pattern, each sign
    for (std::uint32_t bits = 1; bits < 0x7f800000u; bits += 251) {
        const float f = floatWithBits(bits);
        ASSERT_EQ(formatAsFloat(f), format(f)) << bits;
        ASSERT_EQ(formatAsFloat(-f), format(-f)) << bits;
    }
    // every float of whole binades: scaled by 2^-17, 2^-36 and 2^-38, on either
    // side of the shift beyond which the closeness to a half is checked
    for (const std::uint32_t first :
         {0x42800000u /* 64 */, 0x39000000u /* 2^-13 */, 0x38000000u /* 2^-15 */}) {
        for (std::uint32_t bits = first; bits < first + 0x800000u; ++bits)
            ASSERT_EQ(formatAsFloat(floatWithBits(bits)), format(floatWithBits(bits))) << bits;
    }
}

TEST(NumberFormat, EverySixDigitIntegerIsSpelledExactly) {
    for (int n = 100000; n <= 999999; ++n) {
        ASSERT_EQ(format(n), std::to_string(n));
        ASSERT_EQ(formatAsFloat(static_cast<float>(n)), std::to_string(n));
    }
}

TEST(NumberFormat, TheFloatPathAgreesNextToHalvesAndItsRangeEnds) {
    // Floats next to d.dddd5 x 10^e, and next to 1e-5 and 1e6 where the path begins and ends.
    std::vector<float> centres = {1e-5f, 1e6f, 999999.5f, 99999.95f, 9.999995e-5f};
    for (int e = -6; e <= 6; ++e) {
        for (double mantissa : {1.000005, 1.234565, 2.345675, 4.999995, 9.999995, 5.555555})
            centres.push_back(static_cast<float>(mantissa * std::pow(10.0, e)));
    }
    for (const float centre : centres) {
        float v = centre;
        for (int step = 0; step < 40; ++step) v = std::nextafter(v, 0.0f);
        for (int step = 0; step < 81; ++step, v = std::nextafter(v, INFINITY)) {
            ASSERT_EQ(formatAsFloat(v), testing::referenceFormat(v)) << v;
            ASSERT_EQ(formatAsFloat(-v), testing::referenceFormat(-v)) << v;
        }
    }
}

}  // namespace
}  // namespace obsgrid
