#include "grid/interpolation.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "grid/geography.h"

namespace obsgrid {
namespace {

// Station s on day j reports air temperature 1000 s + j and other fields
// derived from it, so that a snapped point shows whole station values.
std::unique_ptr<ObservationSet> distinctObservations(std::size_t days) {
    auto set = std::make_unique<ObservationSet>();
    set->dayCount = days;
    for (std::size_t s = 0; s < stationCount; ++s) {
        for (std::size_t j = 0; j < days; ++j) {
            const double base = 1000.0 * static_cast<double>(s) + static_cast<double>(j);
            set->data[s][j][6] = base;
            set->data[s][j][14] = base + 0.25;
            set->data[s][j][10] = base + 0.5;
            set->avgHumidity[s][j] = base + 0.75;
            set->windVector[s][j][0] = -0.01 * base;
            set->windVector[s][j][1] = 0.02 * base;
        }
    }
    return set;
}

StationTable clearedStations() {
    StationTable stations = initialStationLocations;
    for (auto& station : stations) station[2] = 0.0;
    return stations;
}

struct Gridded {
    std::unique_ptr<ObservationSet> observations;
    std::unique_ptr<GridFields> fields;
};

Gridded grid(std::size_t days, const StationTable& stations = clearedStations()) {
    Gridded g{distinctObservations(days), std::make_unique<GridFields>()};
    interpolateGrid(*g.observations, stations, stateEdges, *g.fields);
    return g;
}

TEST(Interpolation, PointsRunFromEdgeToEdgeOfEachRow) {
    const Gridded g = grid(1);
    for (std::size_t r = 0; r < gridRows; ++r) {
        EXPECT_EQ(g.fields->positions[r][0][0], static_cast<float>(stateEdges[r][1]));
        EXPECT_EQ(g.fields->positions[r][9][0], static_cast<float>(stateEdges[r][2]));
        for (std::size_t c = 0; c < gridColumns; ++c) {
            EXPECT_EQ(g.fields->positions[r][c][1], static_cast<float>(stateEdges[r][0]));
            EXPECT_EQ(g.fields->positions[r][c][2], 0.0f) << "heights are 0 after reading";
        }
    }
    EXPECT_EQ(g.fields->positions[11][3][1], 42.508f);
}

TEST(Interpolation, ExactlyThreePointsSnapToTheirStation) {
    const std::size_t days = 31;
    const Gridded g = grid(days);
    struct Snap {
        std::size_t row, column, station;
    };
    const Snap snaps[] = {{1, 5, 1}, {4, 5, 2}, {6, 7, 0}};
    std::size_t wholeValuedPoints = 0;
    for (std::size_t r = 0; r < gridRows; ++r) {
        for (std::size_t c = 0; c < gridColumns; ++c) {
            const float air = g.fields->airTemp[0][r][c];
            if (air == std::floor(air) && std::fmod(air, 1000.0f) == 0.0f) ++wholeValuedPoints;
        }
    }
    EXPECT_EQ(wholeValuedPoints, 3u);
    for (const Snap& snap : snaps) {
        const auto& obs = *g.observations;
        for (std::size_t j = 0; j < days; ++j) {
            const std::size_t s = snap.station, r = snap.row, c = snap.column;
            EXPECT_EQ(g.fields->airTemp[j][r][c], static_cast<float>(obs.data[s][j][6]));
            EXPECT_EQ(g.fields->soilTemp[j][r][c], static_cast<float>(obs.data[s][j][14]));
            EXPECT_EQ(g.fields->precip[j][r][c], static_cast<float>(obs.data[s][j][10]));
            EXPECT_EQ(g.fields->humidity[j][r][c], static_cast<float>(obs.avgHumidity[s][j]));
            EXPECT_EQ(g.fields->wind[j][r][c][0], static_cast<float>(obs.windVector[s][j][0]));
            EXPECT_EQ(g.fields->wind[j][r][c][1], static_cast<float>(obs.windVector[s][j][1]));
        }
    }
}

// A weighted mean worked out independently, in long double.
long double referenceMean(const ObservationSet& obs, std::size_t day, double lon, double lat,
                          std::size_t field) {
    long double total = 0, sum = 0;
    for (std::size_t s = 0; s < stationCount; ++s) {
        const long double dx = static_cast<long double>(initialStationLocations[s][0]) - lon;
        const long double dy = static_cast<long double>(initialStationLocations[s][1]) - lat;
        const long double weight = 1 / (dx * dx + dy * dy);
        total += weight;
        sum += weight * obs.data[s][day][field];
    }
    return sum / total;
}

TEST(Interpolation, WeightedPointsAgreeWithAnIndependentComputation) {
    const Gridded g = grid(3);
    for (std::size_t r = 0; r < gridRows; ++r) {
        const double west = stateEdges[r][1];
        const double step = (stateEdges[r][2] - west) / 9.0;
        for (std::size_t c = 0; c < gridColumns; ++c) {
            if ((r == 1 && c == 5) || (r == 4 && c == 5) || (r == 6 && c == 7)) continue;
            const double lon = static_cast<double>(c) * step + west;
            for (std::size_t j = 0; j < 3; ++j) {
                const long double expected =
                    referenceMean(*g.observations, j, lon, stateEdges[r][0], 6);
                EXPECT_NEAR(g.fields->airTemp[j][r][c], static_cast<double>(expected),
                            std::fabs(static_cast<double>(expected)) * 1e-6)
                    << r << " " << c;
            }
        }
    }
}

TEST(Interpolation, NearestMissIsWeighted) {
    // Row 3 column 1 lies about 0.1019 degrees from station 9: d2 is just over 0.01.
    const Gridded g = grid(2);
    EXPECT_NE(g.fields->airTemp[0][3][1], 9000.0f);
    EXPECT_GT(g.fields->airTemp[0][3][1], 8000.0f) << "station 9 dominates the weights";
}

TEST(Interpolation, SnapIsStrictlyCloserThanATenthOfADegree) {
    ObservationSet obs{};
    obs.dayCount = 1;
    obs.data[3][0][6] = 77.0;
    StationTable stations = clearedStations();
    // Row 0 column 0 is (-89.3, 37.0). Station 3 exactly on it snaps; so
    // does one inside the distance; one at exactly 0.1 degree does not.
    GridFields fields{};
    for (const double offset : {0.0, 0.0999, 0.1}) {
        stations[3] = {-89.3, 37.0 + offset, 0.0};
        interpolateGrid(obs, stations, stateEdges, fields);
        const bool snapped = fields.airTemp[0][0][0] == 77.0f;
        EXPECT_EQ(snapped, offset < 0.1) << offset;
    }
}

TEST(Interpolation, HeightsAreWeightedIntoZ) {
    const Gridded g = grid(1, initialStationLocations);
    EXPECT_EQ(g.fields->positions[1][5][2], static_cast<float>(165.0 * 0.001)) << "station 1";
    EXPECT_GT(g.fields->positions[0][0][2], 0.13f);
    EXPECT_LT(g.fields->positions[0][0][2], 0.265f);
}

TEST(Interpolation, WindZIsZeroAndNoDayBeyondTheCountIsFilled) {
    const Gridded g = grid(5);
    for (std::size_t j = 0; j < maxDays; ++j) {
        for (std::size_t r = 0; r < gridRows; ++r) {
            for (std::size_t c = 0; c < gridColumns; ++c) {
                EXPECT_EQ(g.fields->wind[j][r][c][2], 0.0f);
                if (j >= 5) {
                    EXPECT_EQ(g.fields->airTemp[j][r][c], 0.0f);
                }
            }
        }
    }
}

TEST(Interpolation, NoDaysFillsOnlyPositions) {
    const Gridded g = grid(0);
    EXPECT_EQ(g.fields->positions[11][9][0], -87.8f);
    EXPECT_EQ(g.fields->airTemp[0][1][5], 0.0f);
    EXPECT_EQ(g.fields->wind[0][2][2][0], 0.0f);
}

}  // namespace
}  // namespace obsgrid
