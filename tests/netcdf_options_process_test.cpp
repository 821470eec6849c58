// The NetCDF options as the real program meets them: bad options, path
// conflicts and failures, each as a process that must create nothing it
// should not and leave the report as it was.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "process_runner.h"
#include "report_builder.h"

namespace fs = std::filesystem;

namespace obsgrid::testing {
namespace {

const std::string binary = OBSGRID_BINARY;
const std::string usage = "Usage: " + binary + " inputFile outputFile\n";
const std::string report = uniformReport(3);

ProcessResult obsgrid(const ScratchDirectory& dir, std::vector<std::string> args) {
    args.insert(args.begin(), binary);
    return runProcess(args, dir.path());
}

TEST(NetcdfOptions, BadOptionsCreateNothing) {
    struct Case {
        std::vector<std::string> args;
        std::string problem;
    };
    const Case cases[] = {
        {{"--netcdf", "m.nc", "report.txt", "grid.vtk"},
         "Error:  --netcdf needs --month YYYY-MM, the report's month"},
        {{"--month", "2026-07", "report.txt", "grid.vtk"},
         "Error:  --month goes with --netcdf FILE"},
        {{"report.txt", "grid.vtk", "--netcdf"}, ""},  // options after the paths: three paths
        {{"--netcdf"}, "Error:  --netcdf needs a value"},
        {{"--netcdf", "m.nc", "--month"}, "Error:  --month needs a value"},
        {{"--colour", "report.txt", "grid.vtk"}, "Error:  Unknown option --colour"},
        {{"--netcdf", "m.nc", "--month", "2026-13", "report.txt", "grid.vtk"},
         "Error:  Month 2026-13 is not YYYY-MM (year 0001 to 9999, month 01 to 12)"},
        {{"--netcdf", "m.nc", "--month", "0000-01", "report.txt", "grid.vtk"},
         "Error:  Month 0000-01 is not YYYY-MM (year 0001 to 9999, month 01 to 12)"},
        {{"--netcdf", "m.nc", "--month", "2026-07", "report.txt"},
         "Error:  Expected two paths, inputFile and outputFile, but got 1"},
        {{"--netcdf", "m.nc", "--month", "2026-07", "report.txt", "grid.vtk", "x"},
         "Error:  Expected two paths, inputFile and outputFile, but got 3"},
    };
    for (const Case& c : cases) {
        ScratchDirectory dir;
        writeFile(dir / "report.txt", report);
        const ProcessResult r = obsgrid(dir, c.args);
        EXPECT_EQ(r.status, 255) << c.problem;
        EXPECT_EQ(r.out, usage) << c.problem;
        EXPECT_EQ(r.err, c.problem.empty() ? "" : c.problem + "\n");
        EXPECT_EQ(directoryEntries(dir.path()), std::vector<std::string>{"report.txt"})
            << c.problem;
        EXPECT_EQ(readFile(dir / "report.txt"), report);
    }
}

TEST(NetcdfOptions, HelpAndVersion) {
    ScratchDirectory dir;
    const ProcessResult help = obsgrid(dir, {"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.err, "");
    EXPECT_TRUE(help.out.starts_with(
        "Usage: " + binary + " [--netcdf FILE --month YYYY-MM] [--] inputFile outputFile\n"))
        << help.out;
    for (const std::string option :
         {"\n  --netcdf FILE ", "\n  --month YYYY-MM ", "\n  --help ", "\n  --version "})
        EXPECT_NE(help.out.find(option), std::string::npos) << option;

    const ProcessResult version = obsgrid(dir, {"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, std::string("obsgrid ") + OBSGRID_VERSION + "\n");
    EXPECT_EQ(version.err, "");
    EXPECT_TRUE(fs::is_empty(dir.path()));
}

TEST(NetcdfOptions, APathThatWouldDestroyAFileIsRefused) {
    struct Case {
        std::string name, netcdf, message;
    };
    const Case cases[] = {
        {"the report", "report.txt", "Error:  NetCDF file is the input file\n"},
        {"the report by another path", "sub/../report.txt",
         "Error:  NetCDF file is the input file\n"},
        {"the report through a link", "report-link.nc", "Error:  NetCDF file is the input file\n"},
        {"the report through a hard link", "hard.nc", "Error:  NetCDF file is the input file\n"},
        {"the grid output", "grid.vtk", "Error:  NetCDF file is the output file\n"},
        {"the grid output by another path", "./sub/../grid.vtk",
         "Error:  NetCDF file is the output file\n"},
        {"the station file", "stationLocations.vtk",
         "Error:  NetCDF file is stationLocations.vtk\n"},
        {"the station file through a dangling link", "station-link.nc",
         "Error:  NetCDF file is stationLocations.vtk\n"},
    };
    for (const Case& c : cases) {
        ScratchDirectory dir;
        writeFile(dir / "report.txt", report);
        fs::create_directory(dir / "sub");
        fs::create_symlink("report.txt", dir / "report-link.nc");
        fs::create_hard_link(dir / "report.txt", dir / "hard.nc");
        fs::create_symlink("stationLocations.vtk", dir / "station-link.nc");
        const std::vector<std::string> before = directoryEntries(dir.path());
        const ProcessResult r =
            obsgrid(dir, {"--netcdf", c.netcdf, "--month", "2026-07", "report.txt", "grid.vtk"});
        EXPECT_EQ(r.status, 255) << c.name;
        EXPECT_EQ(r.err, c.message) << c.name;
        EXPECT_EQ(r.out, "") << c.name;
        EXPECT_EQ(directoryEntries(dir.path()), before) << c.name << ": something was created";
        EXPECT_EQ(readFile(dir / "report.txt"), report) << c.name;
    }
}

TEST(NetcdfOptions, FailuresLeaveNoNetcdfFile) {
    std::string noDays;
    for (std::size_t s = 0; s < 19; ++s) noDays += block(s, {});
    struct Case {
        std::string name, report, netcdf;
        int status;
        std::string out, errEnd;
        bool vtkFilesWhole;
    };
    const Case cases[] = {
        {"a report with no day lines", noDays, "m.nc", 255, "",
         "Error:  The report has no day lines, so there is no time series to write\n", false},
        {"a report cut short", report.substr(0, report.size() / 2), "m.nc", 254, "",
         " blocks complete\n", false},
        {"a NetCDF file that cannot be created", report, "no/such/dir/m.nc", 255,
         "Error:  Unable to open files\n",
         "Cannot create no/such/dir/m.nc: " + std::string(std::strerror(ENOENT)) + "\n", false},
        {"a full disk under the NetCDF file", report, "/dev/full", 255, "",
         "Error:  Unable to write files\nCannot write /dev/full: " +
             std::string(std::strerror(ENOSPC)) + "\n",
         true},
    };
    for (const Case& c : cases) {
        ScratchDirectory dir;
        writeFile(dir / "report.txt", c.report);
        const ProcessResult r =
            obsgrid(dir, {"--netcdf", c.netcdf, "--month", "2026-07", "report.txt", "grid.vtk"});
        EXPECT_EQ(r.status, c.status) << c.name << ": " << r.err;
        EXPECT_EQ(r.out, c.out) << c.name;
        EXPECT_TRUE(r.err.ends_with(c.errEnd)) << c.name << ": " << r.err;
        EXPECT_FALSE(fs::exists(dir / "m.nc")) << c.name;
        EXPECT_EQ(hiddenEntries(dir.path()), std::vector<std::string>{}) << c.name;
        if (c.vtkFilesWhole) {
            EXPECT_TRUE(readFile(dir / "grid.vtk").ends_with(" \n\n")) << c.name;
            EXPECT_TRUE(fs::exists(dir / "stationLocations.vtk")) << c.name;
        } else {
            EXPECT_EQ(readFile(dir / "grid.vtk"), "") << c.name;
            EXPECT_FALSE(fs::exists(dir / "stationLocations.vtk")) << c.name;
        }
        EXPECT_EQ(readFile(dir / "report.txt"), c.report) << c.name;
    }
}

TEST(NetcdfOptions, TheSameRunGivesTheSameBytes) {
    // No clock time in the file: two runs, in two folders at two moments, agree.
    std::string first;
    for (int run = 0; run < 2; ++run) {
        ScratchDirectory dir;
        writeFile(dir / "report.txt", report);
        const ProcessResult r =
            obsgrid(dir, {"--netcdf", "m.nc", "--month", "2026-07", "report.txt", "grid.vtk"});
        ASSERT_EQ(r.status, 0) << r.err;
        const std::string bytes = readFile(dir / "m.nc");
        ASSERT_EQ(bytes.substr(0, 4), std::string("CDF\x01", 4));
        if (run == 0)
            first = bytes;
        else
            EXPECT_EQ(bytes, first);
        if (run == 0) std::this_thread::sleep_for(std::chrono::milliseconds(1100));
    }
}

TEST(NetcdfOptions, AMonthShorterThanTheReportIsWarnedAbout) {
    struct Case {
        std::string month;
        std::size_t days;
        std::string warning;
    };
    const Case cases[] = {
        {"2026-02", 30,
         "Warning:  2026-02 has 28 days, fewer than the report's 30 day lines; the time series "
         "runs on past the month's end\n"},
        {"2024-02", 29, ""},
        {"0900-04", 31,
         "Warning:  0900-04 has 30 days, fewer than the report's 31 day lines; the time series "
         "runs on past the month's end\n"},
        {"2026-07", 31, ""},
    };
    for (const Case& c : cases) {
        ScratchDirectory dir;
        writeFile(dir / "report.txt", uniformReport(c.days));
        const ProcessResult r =
            obsgrid(dir, {"--netcdf", "m.nc", "--month", c.month, "report.txt", "grid.vtk"});
        EXPECT_EQ(r.status, 0) << c.month;
        EXPECT_EQ(r.err, c.warning) << c.month;
        EXPECT_GT(fs::file_size(dir / "m.nc"), 0u) << c.month;
    }
}

}  // namespace
}  // namespace obsgrid::testing
