#include "driver/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace obsgrid {
namespace {

using Action = CommandLine::Action;

CommandLine parse(std::vector<const char*> args) {
    args.insert(args.begin(), "obsgrid");
    return parseCommandLine(static_cast<int>(args.size()), args.data());
}

TEST(CommandLine, ReadsOptionsBeforeThePaths) {
    struct Case {
        std::vector<const char*> args;
        std::string input, output, netcdf;
        int year, month;
    };
    const Case cases[] = {
        {{"in.txt", "out.vtk"}, "in.txt", "out.vtk", "", 0, 0},
        {{"--netcdf", "m.nc", "--month", "2026-07", "in.txt", "out.vtk"},
         "in.txt",
         "out.vtk",
         "m.nc",
         2026,
         7},
        {{"--month", "0001-12", "--netcdf", "m.nc", "--", "in.txt", "out.vtk"},
         "in.txt",
         "out.vtk",
         "m.nc",
         1,
         12},
        {{"--", "--in.txt", "-"}, "--in.txt", "-", "", 0, 0},
        {{"-", "out.vtk"}, "-", "out.vtk", "", 0, 0},
        // an option's value is taken as it stands, even when it looks like an option
        {{"--netcdf", "--month", "--month", "9999-01", "a", "b"}, "a", "b", "--month", 9999, 1},
    };
    for (const Case& c : cases) {
        const CommandLine line = parse(c.args);
        ASSERT_EQ(line.action, Action::convert) << c.input << ": " << line.problem;
        EXPECT_EQ(line.inputPath, c.input);
        EXPECT_EQ(line.outputPath, c.output);
        EXPECT_EQ(line.netcdfPath ? std::string(line.netcdfPath) : "", c.netcdf);
        EXPECT_EQ(line.month.year, c.year);
        EXPECT_EQ(line.month.month, c.month);
    }
}

TEST(CommandLine, NamesEachProblem) {
    struct Case {
        std::vector<const char*> args;
        std::string problem;
    };
    const Case cases[] = {
        // without options a wrong count gets the usage line alone, as it always has
        {{}, ""},
        {{"a"}, ""},
        {{"a", "b", "c"}, ""},
        {{"--netcdf", "m.nc", "a", "b"},
         "Error:  --netcdf needs --month YYYY-MM, the report's month"},
        {{"--month", "2026-07", "a", "b"}, "Error:  --month goes with --netcdf FILE"},
        {{"--netcdf"}, "Error:  --netcdf needs a value"},
        {{"--netcdf", "m.nc", "--month"}, "Error:  --month needs a value"},
        {{"--frobnicate", "a", "b"}, "Error:  Unknown option --frobnicate"},
        {{"-x", "a", "b"}, "Error:  Unknown option -x"},
        {{"--netcdf", "m.nc", "--month", "2026-07", "a"},
         "Error:  Expected two paths, inputFile and outputFile, but got 1"},
        {{"--", "a", "b", "c"}, "Error:  Expected two paths, inputFile and outputFile, but got 3"},
        {{"--"}, "Error:  Expected two paths, inputFile and outputFile, but got 0"},
    };
    for (const Case& c : cases) {
        const CommandLine line = parse(c.args);
        EXPECT_EQ(line.action, Action::usageError) << c.problem;
        EXPECT_EQ(line.problem, c.problem);
    }
}

TEST(CommandLine, AcceptsOnlyRealMonths) {
    const char* good[] = {"0001-01", "2026-07", "9999-12", "2024-02"};
    const char* bad[] = {"0000-01",    "2026-00", "2026-13", "2026-7", "26-07",      "2026/07",
                         "2026-07-01", "+026-07", "2026- 7", "",       "２０２６-07"};
    for (const char* text : good) {
        YearMonth m;
        EXPECT_TRUE(parseYearMonth(text, m)) << text;
    }
    for (const char* text : bad) {
        YearMonth m;
        EXPECT_FALSE(parseYearMonth(text, m)) << text;
        const CommandLine line = parse({"--netcdf", "m.nc", "--month", text, "a", "b"});
        EXPECT_EQ(line.problem, "Error:  Month " + std::string(text) +
                                    " is not YYYY-MM (year 0001 to 9999, month 01 to 12)");
    }
}

TEST(CommandLine, HelpAndVersionWinWherever) {
    EXPECT_EQ(parse({"--help"}).action, Action::help);
    EXPECT_EQ(parse({"--netcdf", "m.nc", "--help", "a"}).action, Action::help);
    EXPECT_EQ(parse({"--version"}).action, Action::version);
    EXPECT_EQ(parse({"--", "--help", "b"}).action, Action::convert) << "after --, a path";
    EXPECT_EQ(parse({"a", "--help"}).action, Action::convert) << "options come first";
}

TEST(Calendar, DaysInMonth) {
    struct Case {
        YearMonth month;
        int days;
    };
    const Case cases[] = {
        {{2026, 1}, 31},
        {{2026, 2}, 28},
        {{2024, 2}, 29},
        {{1900, 2}, 28},
        {{2000, 2}, 29},
        {{2026, 4}, 30},
        {{2026, 12}, 31},
        // Julian before the reform, which left out 5 to 14 October 1582
        {{1500, 2}, 29},
        {{1582, 10}, 21},
        {{1700, 2}, 28},
        {{1, 2}, 28},
        {{4, 2}, 29},
    };
    for (const Case& c : cases)
        EXPECT_EQ(daysInMonth(c.month), c.days) << c.month.year << "-" << c.month.month;
}

}  // namespace
}  // namespace obsgrid
