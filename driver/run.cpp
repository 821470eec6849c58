#include "driver/run.h"

#include <filesystem>
#include <fstream>
#include <memory>
#include <string_view>

#include "common/grid_fields.h"
#include "common/observation_set.h"
#include "common/station_table.h"
#include "driver/exit_status.h"
#include "driver/path_identity.h"
#include "grid/field_check.h"
#include "grid/geography.h"
#include "grid/interpolation.h"
#include "input/report_reader.h"
#include "vtk/grid_file.h"
#include "vtk/station_file.h"

namespace obsgrid {

namespace {

constexpr const char* stationFileName = "stationLocations.vtk";

bool isDirectory(const char* path) {
    std::error_code ec;
    return std::filesystem::is_directory(path, ec);
}

// Paths that would make the run destroy a file: opening the output truncates
// it, and the station file is written over once the report has been read.
// Settled before anything is opened. Returns the message, or none.
const char* pathConflict(const char* inputPath, const char* outputPath) {
    if (namesSameFile(outputPath, inputPath)) return "Error:  Output file is the input file\n";
    if (namesSameFile(outputPath, stationFileName))
        return "Error:  Output file is stationLocations.vtk\n";
    if (namesSameFile(stationFileName, inputPath))
        return "Error:  Input file is stationLocations.vtk\n";
    return nullptr;
}

int statusFor(ReadResult result) {
    return result == ReadResult::tooManyDays ? statusTooManyDays : statusBrokenReport;
}

// A file that failed part-way would be corrupt: it is emptied instead.
int writeFailure(const char* path, std::ostream& err) {
    const std::ofstream emptied(path, std::ios::trunc);
    err << "Error:  Unable to write files\n";
    return statusUsageOrFileError;
}

}  // namespace

int run(int argc, const char* const argv[], std::ostream& out, std::ostream& err) {
    const std::string_view programPath = argc > 0 && argv[0] != nullptr ? argv[0] : "";
    if (argc != 3) {
        out << "Usage: " << programPath << " inputFile outputFile\n";
        return statusUsageOrFileError;
    }
    const char* const inputPath = argv[1];
    const char* const outputPath = argv[2];

    if (const char* conflict = pathConflict(inputPath, outputPath)) {
        err << conflict;
        return statusUsageOrFileError;
    }

    // Both opens come before either is tested: the output exists even when the input fails.
    std::ifstream fin(inputPath);
    std::ofstream fout(outputPath);
    if (!fin.is_open() || !fout.is_open() || isDirectory(inputPath)) {
        out << "Error:  Unable to open files\n";
        return statusUsageOrFileError;
    }

    auto observations = std::make_unique<ObservationSet>();
    StationTable stations = initialStationLocations;
    const ReadResult result = readObservations(fin, *observations, stations, err);
    if (result != ReadResult::ok) return statusFor(result);
    fin.close();

    auto fields = std::make_unique<GridFields>();
    interpolateGrid(*observations, stations, stateEdges, *fields);
    const std::size_t dayCount = observations->dayCount;
    // VTK's reader rejects a file with a value that is not finite.
    if (const auto at = findNonFiniteValue(*fields, dayCount)) {
        err << "Error:  Value out of range\n"
            << "The first is " << at->attribute << " on day " << at->day << ", row " << at->row
            << ", column " << at->column << " (counted from 0): not finite in single precision\n";
        return statusValueOutOfRange;
    }

    writeGridFile(fout, inputPath, programPath, dayCount, *fields);
    fout.close();
    if (fout.fail()) return writeFailure(outputPath, err);

    fout.clear();
    fout.open(stationFileName);
    if (!fout.is_open()) return writeFailure(stationFileName, err);
    writeStationFile(fout, inputPath, programPath, stations);
    fout.close();
    if (fout.fail()) return writeFailure(stationFileName, err);

    return statusOk;
}

}  // namespace obsgrid
