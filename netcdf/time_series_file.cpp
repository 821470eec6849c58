#include "netcdf/time_series_file.h"

#include <cstdio>

#include "netcdf/classic_format.h"

namespace obsgrid {

namespace {

using netcdf::Attribute;
using netcdf::Type;
using netcdf::Variable;

enum Dimension : std::size_t { time, y, x, station };

std::string monthStart(YearMonth m) {
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-01 00:00:00", m.year, m.month);
    return text;
}

Variable gridVariable(std::string name, std::vector<Attribute> attributes) {
    return {std::move(name), Type::float32, {y, x}, std::move(attributes), {}};
}

// A daily field: the day's 120 values in row (south to north), column
// (west to east) order, record after record.
template <typename Value>
Variable dailyVariable(std::string name, const std::string& longName,
                       const std::string& standardName, const std::string& units,
                       std::size_t dayCount, const DailyGrid<Value>& grid,
                       float (*pick)(const Value&)) {
    Variable v{std::move(name),
               Type::float32,
               {time, y, x},
               {{"long_name", longName},
                {"standard_name", standardName},
                {"units", units},
                {"coordinates", "lon lat"}},
               {}};
    v.values.reserve(dayCount * gridRows * gridColumns);
    for (std::size_t j = 0; j < dayCount; ++j)
        for (const auto& row : grid[j])
            for (const Value& value : row) v.values.push_back(pick(value));
    return v;
}

float itself(const float& v) { return v; }
float east(const std::array<float, 2>& v) { return v[0]; }
float north(const std::array<float, 2>& v) { return v[1]; }

}  // namespace

void writeTimeSeriesFile(std::ostream& out, const TimeSeriesDescription& description,
                         std::size_t dayCount, const GridFields& fields,
                         const WindInMilesPerHour& windInMph, const StationTable& stations) {
    netcdf::Dataset d;
    d.recordCount = dayCount;
    d.dimensions = {{"time", 0}, {"y", gridRows}, {"x", gridColumns}, {"station", stationCount}};
    d.attributes = {
        {"Conventions", "CF-1.8"},
        {"title", "Daily station observations gridded by inverse squared distance weighting"},
        {"source", description.source},
        {"history", description.history},
    };

    Variable days{"time",
                  Type::float64,
                  {time},
                  {{"long_name", "time"},
                   {"standard_name", "time"},
                   {"units", "days since " + monthStart(description.month)},
                   {"calendar", "standard"},
                   {"axis", "T"}},
                  {}};
    for (std::size_t j = 0; j < dayCount; ++j) days.values.push_back(static_cast<double>(j));

    Variable lat = gridVariable(
        "lat",
        {{"long_name", "latitude"}, {"standard_name", "latitude"}, {"units", "degrees_north"}});
    Variable lon = gridVariable(
        "lon",
        {{"long_name", "longitude"}, {"standard_name", "longitude"}, {"units", "degrees_east"}});
    for (const auto& row : fields.positions) {
        for (const auto& point : row) {
            lon.values.push_back(point[0]);
            lat.values.push_back(point[1]);
        }
    }

    Variable stationLon{"station_lon",
                        Type::float64,
                        {station},
                        {{"long_name", "station longitude"},
                         {"standard_name", "longitude"},
                         {"units", "degrees_east"}},
                        {}};
    Variable stationLat{"station_lat",
                        Type::float64,
                        {station},
                        {{"long_name", "station latitude"},
                         {"standard_name", "latitude"},
                         {"units", "degrees_north"}},
                        {}};
    for (const auto& s : stations) {
        stationLon.values.push_back(s[0]);
        stationLat.values.push_back(s[1]);
    }

    d.variables = {
        std::move(days),
        std::move(lat),
        std::move(lon),
        std::move(stationLon),
        std::move(stationLat),
        dailyVariable("AirTemp", "air temperature", "air_temperature", "degF", dayCount,
                      fields.airTemp, itself),
        dailyVariable("SoilTemp", "soil temperature", "soil_temperature", "degF", dayCount,
                      fields.soilTemp, itself),
        dailyVariable("Humidity", "relative humidity, mean of the two readings",
                      "relative_humidity", "%", dayCount, fields.humidity, itself),
        dailyVariable("Precipitation", "precipitation", "lwe_thickness_of_precipitation_amount",
                      "in", dayCount, fields.precip, itself),
        dailyVariable("EastwardWind", "eastward wind", "eastward_wind", "mile/hour", dayCount,
                      windInMph.values, east),
        dailyVariable("NorthwardWind", "northward wind", "northward_wind", "mile/hour", dayCount,
                      windInMph.values, north),
    };
    const std::string bytes = netcdf::encodeClassic(d);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace obsgrid
