#include "grid/interpolation.h"

#include <cstddef>

namespace obsgrid {

namespace {

constexpr double metresToKilometres = 0.001;

struct PointRef {
    std::size_t row, column;
};

void storeWindInMph(WindInMilesPerHour* mph, std::size_t j, PointRef p, double east, double north) {
    if (mph == nullptr) return;
    mph->values[j][p.row][p.column][0] = static_cast<float>(east * windScale);
    mph->values[j][p.row][p.column][1] = static_cast<float>(north * windScale);
}

void copyStation(const ObservationSet& obs, std::size_t s, PointRef p, GridFields& fields,
                 WindInMilesPerHour* mph) {
    for (std::size_t j = 0; j < obs.dayCount; ++j) {
        storeWindInMph(mph, j, p, obs.windVector[s][j][0], obs.windVector[s][j][1]);
        fields.wind[j][p.row][p.column] = {static_cast<float>(obs.windVector[s][j][0]),
                                           static_cast<float>(obs.windVector[s][j][1]), 0.0f};
        fields.airTemp[j][p.row][p.column] = static_cast<float>(obs.data[s][j][6]);
        fields.soilTemp[j][p.row][p.column] = static_cast<float>(obs.data[s][j][14]);
        fields.humidity[j][p.row][p.column] = static_cast<float>(obs.avgHumidity[s][j]);
        fields.precip[j][p.row][p.column] = static_cast<float>(obs.data[s][j][10]);
    }
}

// Weighted means in double precision; sums run over the stations in index
// order, which fixes the rounding of every stored value.
void weighStations(const ObservationSet& obs, const double (&weights)[stationCount], double total,
                   PointRef p, GridFields& fields, WindInMilesPerHour* mph) {
    for (std::size_t j = 0; j < obs.dayCount; ++j) {
        double w[2] = {0.0, 0.0};
        double air = 0.0, soil = 0.0, humidity = 0.0, precip = 0.0;
        for (std::size_t s = 0; s < stationCount; ++s) {
            const double weight = weights[s];
            w[0] += weight * obs.windVector[s][j][0];
            w[1] += weight * obs.windVector[s][j][1];
            air += weight * obs.data[s][j][6];
            soil += weight * obs.data[s][j][14];
            humidity += weight * obs.avgHumidity[s][j];
            precip += weight * obs.data[s][j][10];
        }
        storeWindInMph(mph, j, p, w[0] / total, w[1] / total);
        fields.wind[j][p.row][p.column] = {static_cast<float>(w[0] / total),
                                           static_cast<float>(w[1] / total), 0.0f};
        fields.airTemp[j][p.row][p.column] = static_cast<float>(air / total);
        fields.soilTemp[j][p.row][p.column] = static_cast<float>(soil / total);
        fields.humidity[j][p.row][p.column] = static_cast<float>(humidity / total);
        fields.precip[j][p.row][p.column] = static_cast<float>(precip / total);
    }
}

void fillPoint(const ObservationSet& obs, const StationTable& stations, double lon, double lat,
               PointRef p, GridFields& fields, WindInMilesPerHour* mph) {
    auto& position = fields.positions[p.row][p.column];
    position[0] = static_cast<float>(lon);
    position[1] = static_cast<float>(lat);

    double distances[stationCount];
    double total = 0.0;
    for (std::size_t s = 0; s < stationCount; ++s) {
        const double dx = stations[s][0] - lon;
        const double dy = stations[s][1] - lat;
        const double d2 = dx * dx + dy * dy;
        if (d2 < snapDistanceSquared) {
            // The first station this close wins; later ones are not looked at.
            position[2] = static_cast<float>(stations[s][2] * metresToKilometres);
            copyStation(obs, s, p, fields, mph);
            return;
        }
        distances[s] = 1.0 / d2;
        total += distances[s];
    }

    double heightSum = 0.0;
    for (std::size_t s = 0; s < stationCount; ++s) heightSum += distances[s] * stations[s][2];
    position[2] = static_cast<float>((heightSum / total) * metresToKilometres);
    weighStations(obs, distances, total, p, fields, mph);
}

}  // namespace

void interpolateGrid(const ObservationSet& observations, const StationTable& stations,
                     const StateOutline& outline, GridFields& fields,
                     WindInMilesPerHour* windInMph) {
    for (std::size_t r = 0; r < gridRows; ++r) {
        const double lat = outline[r][0];
        const double west = outline[r][1];
        // Nine steps, so that the ten columns run from edge to edge inclusive.
        const double step = (outline[r][2] - west) / 9.0;
        for (std::size_t c = 0; c < gridColumns; ++c) {
            const double lon = static_cast<double>(c) * step + west;
            fillPoint(observations, stations, lon, lat, {r, c}, fields, windInMph);
        }
    }
}

}  // namespace obsgrid
