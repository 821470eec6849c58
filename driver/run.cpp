#include "driver/run.h"

#include <cstring>
#include <memory>
#include <string_view>

#include "common/grid_fields.h"
#include "common/observation_set.h"
#include "common/station_table.h"
#include "driver/exit_status.h"
#include "driver/input_file.h"
#include "driver/output_file.h"
#include "grid/field_check.h"
#include "grid/geography.h"
#include "grid/interpolation.h"
#include "input/report_reader.h"
#include "vtk/grid_file.h"
#include "vtk/station_file.h"

namespace obsgrid {

namespace {

constexpr const char* stationFileName = "stationLocations.vtk";

// Paths that would make the run destroy a file: the output replaces what is
// at its path, and the station file is written over once the report has
// been read. Settled before anything is opened. Returns the message, or none.
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

// The line under a message that says which file and why.
void explain(std::ostream& err, const char* action, std::string_view path, int error) {
    err << action << ' ' << path << ": " << std::strerror(error) << '\n';
}

int writeFailure(std::ostream& err, std::string_view path, int error) {
    err << "Error:  Unable to write files\n";
    explain(err, "Cannot write", path, error);
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
    InputFile fin;
    OutputFile fout;
    const int inputError = fin.open(inputPath);
    const int outputError = fout.open(outputPath);
    if (inputError != 0 || outputError != 0) {
        out << "Error:  Unable to open files\n";
        out.flush();
        if (inputError != 0) explain(err, "Cannot read", inputPath, inputError);
        if (outputError != 0) explain(err, "Cannot create", outputPath, outputError);
        if (outputError == 0) fout.leaveEmpty();
        return statusUsageOrFileError;
    }

    auto observations = std::make_unique<ObservationSet>();
    StationTable stations = initialStationLocations;
    const ReadResult result = readObservations(fin.stream(), *observations, stations, err);
    if (result != ReadResult::ok) {
        if (fin.readError() != 0) explain(err, "Cannot read", inputPath, fin.readError());
        fout.leaveEmpty();
        return statusFor(result);
    }
    fin.close();

    auto fields = std::make_unique<GridFields>();
    interpolateGrid(*observations, stations, stateEdges, *fields);
    const std::size_t dayCount = observations->dayCount;
    // VTK's reader rejects a file with a value that is not finite.
    if (const auto at = findNonFiniteValue(*fields, dayCount)) {
        err << "Error:  Value out of range\n"
            << "The first is " << at->attribute << " on day " << at->day << ", row " << at->row
            << ", column " << at->column << " (counted from 0): not finite in single precision\n";
        fout.leaveEmpty();
        return statusValueOutOfRange;
    }

    writeGridFile(fout.stream(), inputPath, programPath, dayCount, *fields);
    if (const int error = fout.commit()) {
        fout.leaveEmpty();
        return writeFailure(err, outputPath, error);
    }

    OutputFile stationFile;
    int error = stationFile.open(stationFileName);
    if (error == 0) {
        writeStationFile(stationFile.stream(), inputPath, programPath, stations);
        error = stationFile.commit();
    }
    if (error != 0) {
        stationFile.discard();
        return writeFailure(err, stationFileName, error);
    }
    return statusOk;
}

}  // namespace obsgrid
