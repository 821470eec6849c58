// Checks the number writer against a second, slow computation of the same
// rule: the C library's 17 significant digits, rounded half up as text.
// Four bytes are read as a float (the values the grid holds) and go through
// the float path; eight are read as a double.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "reference_format.h"
#include "vtk/number_format.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    double value = 0.0;
    bool isFloat = false;
    if (size == sizeof(float)) {
        float f;
        std::memcpy(&f, data, sizeof f);
        value = f;
        isFloat = true;
    } else if (size == sizeof(double)) {
        std::memcpy(&value, data, sizeof value);
    } else {
        return -1;
    }
    if (!std::isfinite(value)) return 0;

    char text[obsgrid::realFormatRoom];
    char* end = isFloat ? obsgrid::formatFloat(text, static_cast<float>(value))
                        : obsgrid::formatReal(text, value);
    const std::string ours(text, static_cast<std::size_t>(end - text));
    const std::string expected = obsgrid::testing::referenceFormat(value);
    if (ours != expected || ours.size() > obsgrid::maxRealLength) {
        std::fprintf(stderr, "%.17g: written as %s, expected %s\n", value, ours.c_str(),
                     expected.c_str());
        std::abort();
    }
    return 0;
}
