// Speed of the number writer beside the 17-digit std::to_chars step it
// builds on (and snprintf for comparison), and of a whole in-process
// conversion of a 31-day report.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "driver/run.h"
#include "vtk/number_format.h"

namespace {

// Floats of the magnitudes a grid file holds: coordinates, temperatures,
// humidities, precipitation and small wind components.
std::vector<double> gridLikeValues() {
    std::mt19937 rng(42);
    std::vector<double> values;
    std::uniform_real_distribution<float> lon(-91.5f, -87.5f), temp(50.0f, 100.0f),
        humidity(30.0f, 100.0f), precip(0.0f, 2.0f), wind(-0.3f, 0.3f);
    for (int i = 0; i < 4096; ++i) {
        values.push_back(lon(rng));
        values.push_back(temp(rng));
        values.push_back(humidity(rng));
        values.push_back(precip(rng));
        values.push_back(wind(rng));
    }
    return values;
}

const std::vector<double> values = gridLikeValues();

// Runs `write(text, value)` over every value; reports the time per value.
template <typename Write>
void perValue(benchmark::State& state, Write write) {
    char text[32];
    for (auto _ : state) {
        for (double v : values) benchmark::DoNotOptimize(write(text, v));
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * static_cast<long>(values.size()));
}

void FormatReal(benchmark::State& state) {
    perValue(state, [](char* text, double v) { return obsgrid::formatReal(text, v); });
}
BENCHMARK(FormatReal);

// The grid's values are floats: the float path of the same rule.
void FormatFloat(benchmark::State& state) {
    perValue(state, [](char* text, double v) {
        return obsgrid::formatFloat(text, static_cast<float>(v));
    });
}
BENCHMARK(FormatFloat);

void ToChars17Digits(benchmark::State& state) {
    perValue(state, [](char* text, double v) {
        return std::to_chars(text, text + 32, v, std::chars_format::scientific, 16).ptr;
    });
}
BENCHMARK(ToChars17Digits);

void Snprintf6g(benchmark::State& state) {
    perValue(state, [](char* text, double v) { return std::snprintf(text, 32, "%g", v); });
}
BENCHMARK(Snprintf6g);

std::string report31Days() {
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> value(0.0, 100.0);
    std::ostringstream text;
    text.precision(2);
    text << std::fixed;
    for (int s = 0; s < 19; ++s) {
        text << "Station " << s << "\n-----\n";
        for (int day = 1; day <= 31; ++day) {
            text << day;
            for (int k = 0; k < 18; ++k) text << ' ' << value(rng) << ' ';
            text << '\n';
        }
        text << "-----\n";
    }
    return text.str();
}

void WholeConversion31Days(benchmark::State& state) {
    const auto dir =
        std::filesystem::temp_directory_path() / ("obsgrid-bench-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(dir);
    std::ofstream("report.txt") << report31Days();
    const char* argv[] = {"obsgrid", "report.txt", "grid.vtk", nullptr};
    std::ostringstream out, err;
    for (auto _ : state) {
        if (obsgrid::run(3, argv, out, err) != 0) state.SkipWithError("conversion failed");
    }
    std::filesystem::current_path(previous);
    std::filesystem::remove_all(dir);
}
BENCHMARK(WholeConversion31Days)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
