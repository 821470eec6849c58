#include "grid/field_check.h"

#include <cmath>

namespace obsgrid {

namespace {

template <typename Value, typename IsFinite>
std::optional<FieldLocation> scan(std::string_view attribute, const DailyGrid<Value>& field,
                                  std::size_t dayCount, IsFinite isFinite) {
    for (std::size_t j = 0; j < dayCount; ++j)
        for (std::size_t r = 0; r < gridRows; ++r)
            for (std::size_t c = 0; c < gridColumns; ++c)
                if (!isFinite(field[j][r][c])) return FieldLocation{attribute, j, r, c};
    return std::nullopt;
}

bool finite(float v) { return std::isfinite(v); }

bool finiteVector(const std::array<float, 3>& v) {
    return std::isfinite(v[0]) && std::isfinite(v[1]) && std::isfinite(v[2]);
}

}  // namespace

std::optional<FieldLocation> findNonFiniteValue(const GridFields& fields, std::size_t dayCount) {
    if (auto at = scan("WindVector", fields.wind, dayCount, finiteVector)) return at;
    if (auto at = scan("AirTemp", fields.airTemp, dayCount, finite)) return at;
    if (auto at = scan("SoilTemp", fields.soilTemp, dayCount, finite)) return at;
    if (auto at = scan("Humidity", fields.humidity, dayCount, finite)) return at;
    return scan("Precipitation", fields.precip, dayCount, finite);
}

}  // namespace obsgrid
