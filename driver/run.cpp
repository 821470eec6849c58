#include "driver/run.h"

#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "common/calendar.h"
#include "common/grid_fields.h"
#include "common/observation_set.h"
#include "common/station_table.h"
#include "driver/command_line.h"
#include "driver/exit_status.h"
#include "driver/input_file.h"
#include "driver/output_file.h"
#include "grid/field_check.h"
#include "grid/geography.h"
#include "grid/interpolation.h"
#include "input/report_reader.h"
#include "netcdf/time_series_file.h"
#include "vtk/grid_file.h"
#include "vtk/station_file.h"

namespace obsgrid {

namespace {

constexpr const char* stationFileName = "stationLocations.vtk";
constexpr const char* programName = "obsgrid";

void writeUsage(std::ostream& out, std::string_view programPath) {
    out << "Usage: " << programPath << " inputFile outputFile\n";
}

void writeHelp(std::ostream& out, std::string_view programPath) {
    out << "Usage: " << programPath
        << " [--netcdf FILE --month YYYY-MM] [--] inputFile outputFile\n"
        << "  --netcdf FILE    also write the month as a CF NetCDF time series to FILE\n"
        << "  --month YYYY-MM  the report's month, which dates the time series (with --netcdf)\n"
        << "  --help           print this help and exit\n"
        << "  --version        print the version and exit\n";
}

// Paths that would make the run destroy a file: each output replaces what is
// at its path, and the station file is written over once the report has
// been read. Settled before anything is opened. Returns the message, or none.
const char* pathConflict(const CommandLine& line) {
    const char* input = line.inputPath;
    const char* output = line.outputPath;
    if (namesSameFile(output, input)) return "Error:  Output file is the input file\n";
    if (namesSameFile(output, stationFileName))
        return "Error:  Output file is stationLocations.vtk\n";
    if (namesSameFile(stationFileName, input))
        return "Error:  Input file is stationLocations.vtk\n";
    if (const char* netcdf = line.netcdfPath) {
        if (namesSameFile(netcdf, input)) return "Error:  NetCDF file is the input file\n";
        if (namesSameFile(netcdf, output)) return "Error:  NetCDF file is the output file\n";
        if (namesSameFile(netcdf, stationFileName))
            return "Error:  NetCDF file is stationLocations.vtk\n";
    }
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

std::string commandLineText(int argc, const char* const argv[]) {
    std::string text;
    for (int i = 0; i < argc; ++i) {
        if (i > 0) text += ' ';
        text += argv[i];
    }
    return text;
}

// The files of one run, open from the start to the end.
struct RunFiles {
    InputFile report;
    OutputFile grid;
    OutputFile netcdf;  // open only when asked for
    bool wantsNetcdf = false;

    // After a failure: an empty grid file, no NetCDF file.
    int fail(int status) {
        grid.leaveEmpty();
        netcdf.discard();
        return status;
    }
};

// Both VTK files, then the NetCDF file when asked for (with the wind in
// miles per hour).
int writeOutputs(const CommandLine& line, int argc, const char* const argv[], RunFiles& files,
                 const StationTable& stations, std::size_t dayCount, const GridFields& fields,
                 const WindInMilesPerHour* windInMph, std::ostream& err) {
    writeGridFile(files.grid.stream(), line.inputPath, line.programPath, dayCount, fields);
    if (const int error = files.grid.commit())
        return files.fail(writeFailure(err, line.outputPath, error));

    OutputFile stationFile;
    int error = stationFile.open(stationFileName);
    if (error == 0) {
        writeStationFile(stationFile.stream(), line.inputPath, line.programPath, stations);
        error = stationFile.commit();
    }
    if (error != 0) {
        stationFile.discard();
        files.netcdf.discard();
        return writeFailure(err, stationFileName, error);
    }

    if (!files.wantsNetcdf) return statusOk;
    const TimeSeriesDescription description{
        line.month, std::string(programName) + " " + OBSGRID_VERSION, commandLineText(argc, argv)};
    writeTimeSeriesFile(files.netcdf.stream(), description, dayCount, fields, *windInMph, stations);
    if (const int netcdfError = files.netcdf.commit()) {
        files.netcdf.discard();
        return writeFailure(err, line.netcdfPath, netcdfError);
    }
    return statusOk;
}

int convert(const CommandLine& line, int argc, const char* const argv[], std::ostream& out,
            std::ostream& err) {
    if (const char* conflict = pathConflict(line)) {
        err << conflict;
        return statusUsageOrFileError;
    }

    // Every open comes before any is tested: the output exists even when the input fails.
    RunFiles files;
    files.wantsNetcdf = line.netcdfPath != nullptr;
    const int inputError = files.report.open(line.inputPath);
    const int outputError = files.grid.open(line.outputPath);
    const int netcdfError = files.wantsNetcdf ? files.netcdf.open(line.netcdfPath) : 0;
    if (inputError != 0 || outputError != 0 || netcdfError != 0) {
        out << "Error:  Unable to open files\n";
        out.flush();
        if (inputError != 0) explain(err, "Cannot read", line.inputPath, inputError);
        if (outputError != 0) explain(err, "Cannot create", line.outputPath, outputError);
        if (netcdfError != 0) explain(err, "Cannot create", line.netcdfPath, netcdfError);
        return files.fail(statusUsageOrFileError);
    }

    // Not cleared: the reader and the interpolation write every entry of the
    // days in use, and the pages of the others are never touched.
    auto observations = std::make_unique_for_overwrite<ObservationSet>();
    StationTable stations = initialStationLocations;
    const ReadResult result = readObservations(files.report.stream(), *observations, stations, err);
    if (result != ReadResult::ok) {
        if (const int error = files.report.readError())
            explain(err, "Cannot read", line.inputPath, error);
        return files.fail(statusFor(result));
    }
    files.report.close();
    const std::size_t dayCount = observations->dayCount;

    if (files.wantsNetcdf) {
        // A time axis without a step makes viewers fail; there is nothing to show anyway.
        if (dayCount == 0) {
            err << "Error:  The report has no day lines, so there is no time series to write\n";
            return files.fail(statusUsageOrFileError);
        }
        const int days = daysInMonth(line.month);
        if (static_cast<std::size_t>(days) < dayCount) {
            err << "Warning:  " << (line.month.year < 1000 ? "0" : "") << line.month.year << '-'
                << (line.month.month < 10 ? "0" : "") << line.month.month << " has " << days
                << " days, fewer than the report's " << dayCount
                << " day lines; the time series runs on past the month's end\n";
        }
    }

    auto fields = std::make_unique_for_overwrite<GridFields>();
    std::unique_ptr<WindInMilesPerHour> windInMph;
    if (files.wantsNetcdf) windInMph = std::make_unique_for_overwrite<WindInMilesPerHour>();
    interpolateGrid(*observations, stations, stateEdges, *fields, windInMph.get());
    // VTK's reader rejects a file with a value that is not finite.
    if (const auto at = findNonFiniteValue(*fields, dayCount)) {
        err << "Error:  Value out of range\n"
            << "The first is " << at->attribute << " on day " << at->day << ", row " << at->row
            << ", column " << at->column << " (counted from 0): not finite in single precision\n";
        return files.fail(statusValueOutOfRange);
    }
    return writeOutputs(line, argc, argv, files, stations, dayCount, *fields, windInMph.get(), err);
}

}  // namespace

int run(int argc, const char* const argv[], std::ostream& out, std::ostream& err) {
    const CommandLine line = parseCommandLine(argc, argv);
    switch (line.action) {
        case CommandLine::Action::help:
            writeHelp(out, line.programPath);
            return statusOk;
        case CommandLine::Action::version:
            out << programName << ' ' << OBSGRID_VERSION << '\n';
            return statusOk;
        case CommandLine::Action::usageError:
            writeUsage(out, line.programPath);
            if (!line.problem.empty()) {
                out.flush();
                err << line.problem << '\n';
            }
            return statusUsageOrFileError;
        case CommandLine::Action::convert:
            break;
    }
    return convert(line, argc, argv, out, err);
}

}  // namespace obsgrid
