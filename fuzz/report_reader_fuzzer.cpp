// Feeds arbitrary bytes to the report reader through an in-memory stream and,
// when they read as a report, runs the rest of the conversion in memory.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <sstream>
#include <string>

#include "grid/field_check.h"
#include "grid/geography.h"
#include "grid/interpolation.h"
#include "input/report_reader.h"
#include "netcdf/time_series_file.h"
#include "vtk/grid_file.h"
#include "vtk/station_file.h"

namespace {

constexpr std::size_t maxInputSize = 256 * 1024;

void require(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "broken: %s\n", what);
        std::abort();
    }
}

bool endsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > maxInputSize) return -1;
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    std::ostringstream messages;
    auto observations = std::make_unique<obsgrid::ObservationSet>();
    obsgrid::StationTable stations = obsgrid::initialStationLocations;

    const obsgrid::ReadResult result =
        obsgrid::readObservations(in, *observations, stations, messages);
    if (result != obsgrid::ReadResult::ok) {
        require(messages.str().find("Error:  ") != std::string::npos,
                "a failure without its message");
        return 0;
    }
    require(observations->dayCount <= obsgrid::maxDays, "more days than a block holds");
    for (const auto& station : stations) require(station[2] == 0.0, "a height left after reading");

    auto fields = std::make_unique<obsgrid::GridFields>();
    auto windInMph = std::make_unique<obsgrid::WindInMilesPerHour>();
    obsgrid::interpolateGrid(*observations, stations, obsgrid::stateEdges, *fields,
                             windInMph.get());
    if (obsgrid::findNonFiniteValue(*fields, observations->dayCount)) return 0;

    std::ostringstream grid;
    obsgrid::writeGridFile(grid, "in", "prog", observations->dayCount, *fields);
    const std::string text = grid.str();
    require(text.rfind("# vtk DataFile Version 3.0\n", 0) == 0, "grid header");
    require(endsWith(text, "\n\n"), "grid file end");
    require(text.find("nan") == std::string::npos && text.find("inf") == std::string::npos,
            "a value that is not finite in the grid file");

    std::ostringstream stationFile;
    obsgrid::writeStationFile(stationFile, "in", "prog", stations);
    require(endsWith(stationFile.str(), "-88.23 40.08 0 \n"), "station file end");

    // The time series: its size follows from the day count alone, and its
    // last value is the last day's northward wind at the north-east corner.
    const std::size_t days = observations->dayCount;
    if (days == 0) return 0;
    std::ostringstream netcdf;
    obsgrid::writeTimeSeriesFile(netcdf, {{2026, 7}, "obsgrid", "obsgrid in prog"}, days, *fields,
                                 *windInMph, stations);
    const std::string bytes = netcdf.str();
    static const std::size_t headerSize = [&] {
        std::ostringstream one;
        obsgrid::writeTimeSeriesFile(one, {{2026, 7}, "obsgrid", "obsgrid in prog"}, 1, *fields,
                                     *windInMph, stations);
        return one.str().size() - (2 * 480 + 2 * 152) - (8 + 6 * 480);
    }();
    require(bytes.size() == headerSize + 2 * 480 + 2 * 152 + days * (8 + 6 * 480),
            "time series size");
    const float north = windInMph->values[days - 1][11][9][1];
    std::uint32_t bits = 0;
    for (std::size_t k = bytes.size() - 4; k < bytes.size(); ++k)
        bits = bits << 8 | static_cast<unsigned char>(bytes[k]);
    require(std::memcmp(&bits, &north, 4) == 0, "the time series' last value");
    return 0;
}
