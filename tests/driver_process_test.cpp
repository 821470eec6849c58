#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "process_runner.h"
#include "report_builder.h"

namespace fs = std::filesystem;

namespace obsgrid::testing {
namespace {

const std::string binary = OBSGRID_BINARY;

ProcessResult convert(const ScratchDirectory& dir, const std::vector<std::string>& args) {
    std::vector<std::string> all = {binary};
    all.insert(all.end(), args.begin(), args.end());
    return runProcess(all, dir.path());
}

TEST(DriverProcess, WrongArgumentCountsPrintUsage) {
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{}, {"in.txt"}, {"in.txt", "out.vtk", "extra"}}) {
        ScratchDirectory dir;
        writeFile(dir / "in.txt", testing::uniformReport(3));
        const ProcessResult r = convert(dir, args);
        EXPECT_EQ(r.status, 255);
        EXPECT_EQ(r.out, "Usage: " + binary + " inputFile outputFile\n");
        EXPECT_EQ(r.err, "");
        EXPECT_EQ(directoryEntries(dir.path()), std::vector<std::string>{"in.txt"})
            << "nothing is created";
    }
}

TEST(DriverProcess, UsageNamesTheInvocationPathAsPassed) {
    ScratchDirectory dir;
    fs::create_symlink(binary, dir / "my tool");
    const ProcessResult r = runProcess({(dir / "my tool").string()}, dir.path());
    EXPECT_EQ(r.out, "Usage: " + (dir / "my tool").string() + " inputFile outputFile\n");
}

TEST(DriverProcess, UnopenableFilesFailWithTheOutputCreatedEmpty) {
    struct Case {
        std::string input, output;
        bool outputCreated;
        std::string reason;  // the line on standard error
    };
    const Case cases[] = {
        {"missing.txt", "out.vtk", true,
         "Cannot read missing.txt: " + std::string(std::strerror(ENOENT)) + "\n"},
        {"report.txt", "no/such/dir/out.vtk", false,
         "Cannot create no/such/dir/out.vtk: " + std::string(std::strerror(ENOENT)) + "\n"},
        // a directory cannot be read as a report
        {"adir", "out.vtk", true, "Cannot read adir: " + std::string(std::strerror(EISDIR)) + "\n"},
        {"missing.txt", "no/dir/out.vtk", false,
         "Cannot read missing.txt: " + std::string(std::strerror(ENOENT)) +
             "\nCannot create no/dir/out.vtk: " + std::strerror(ENOENT) + "\n"},
    };
    for (const Case& c : cases) {
        ScratchDirectory dir;
        writeFile(dir / "report.txt", testing::uniformReport(3));
        fs::create_directory(dir / "adir");
        const ProcessResult r = convert(dir, {c.input, c.output});
        EXPECT_EQ(r.status, 255) << c.input;
        EXPECT_EQ(r.out, "Error:  Unable to open files\n");
        EXPECT_EQ(r.err, c.reason);
        EXPECT_EQ(fs::exists(dir / c.output), c.outputCreated);
        if (c.outputCreated) {
            EXPECT_EQ(readFile(dir / c.output), "");
        }
        EXPECT_FALSE(fs::exists(dir / "stationLocations.vtk"));
    }
}

TEST(DriverProcess, OutputThatIsTheInputLeavesTheReportUntouched) {
    const std::string report = testing::uniformReport(3);
    for (const std::string how : {"same path", "other path", "symbolic link", "hard link"}) {
        ScratchDirectory dir;
        fs::create_directory(dir / "sub");
        writeFile(dir / "report.txt", report);
        std::string output = "report.txt";
        if (how == "other path") output = "sub/../././report.txt";
        if (how == "symbolic link")
            fs::create_symlink(dir / "report.txt", dir / (output = "link.vtk"));
        if (how == "hard link")
            fs::create_hard_link(dir / "report.txt", dir / (output = "hard.vtk"));
        const ProcessResult r = convert(dir, {"report.txt", output});
        EXPECT_EQ(r.status, 255) << how;
        EXPECT_EQ(r.err, "Error:  Output file is the input file\n") << how;
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(readFile(dir / "report.txt"), report) << how;
        EXPECT_FALSE(fs::exists(dir / "stationLocations.vtk"));
    }
}

TEST(DriverProcess, OutputThatIsTheStationFileCreatesNothing) {
    for (const bool stationFileExists : {false, true}) {
        for (const std::string output : {"stationLocations.vtk", "./stationLocations.vtk",
                                         "sub/../stationLocations.vtk", "absolute", "link.vtk"}) {
            ScratchDirectory dir;
            fs::create_directory(dir / "sub");
            writeFile(dir / "report.txt", testing::uniformReport(3));
            if (stationFileExists) writeFile(dir / "stationLocations.vtk", "old");
            fs::create_symlink("stationLocations.vtk", dir / "link.vtk");
            const std::string path =
                output == "absolute" ? (dir / "stationLocations.vtk").string() : output;
            const ProcessResult r = convert(dir, {"report.txt", path});
            EXPECT_EQ(r.status, 255) << output;
            EXPECT_EQ(r.err, "Error:  Output file is stationLocations.vtk\n") << output;
            EXPECT_EQ(fs::exists(dir / "stationLocations.vtk"), stationFileExists) << output;
            if (stationFileExists) {
                EXPECT_EQ(readFile(dir / "stationLocations.vtk"), "old");
            }
        }
    }
}

TEST(DriverProcess, InputThatIsTheStationFileIsLeftUntouched) {
    const std::string report = testing::uniformReport(3);
    for (const std::string how : {"named so", "symbolic link", "hard link"}) {
        ScratchDirectory dir;
        std::string input = "stationLocations.vtk";
        if (how != "named so") {
            input = "report.txt";
            writeFile(dir / input, report);
            if (how == "symbolic link")
                fs::create_symlink("report.txt", dir / "stationLocations.vtk");
            if (how == "hard link")
                fs::create_hard_link(dir / "report.txt", dir / "stationLocations.vtk");
        } else {
            writeFile(dir / input, report);
        }
        const ProcessResult r = convert(dir, {input, "grid.vtk"});
        EXPECT_EQ(r.status, 255) << how;
        EXPECT_EQ(r.err, "Error:  Input file is stationLocations.vtk\n") << how;
        EXPECT_EQ(readFile(dir / input), report) << how;
        EXPECT_FALSE(fs::exists(dir / "grid.vtk")) << how;
    }
}

TEST(DriverProcess, BrokenReportsEndWithTheirStatus) {
    const std::string full = testing::uniformReport(2);
    std::string tooManyDays;
    for (std::size_t s = 0; s < 19; ++s) {
        auto lines = testing::dayLines(s, s == 3 ? 32 : 2);
        tooManyDays += testing::block(s, lines);
    }
    struct Case {
        std::string report;
        int status;
        std::string err;
        std::string where;  // the start of the line after the message
    };
    const std::string offendingLine = testing::dayLines(3, 32)[31];
    const Case cases[] = {
        {"", 254, "Error:  Unexpected end of input\n", "The input ends after line 0, "},
        {full.substr(0, full.size() / 2), 254, "Error:  Unexpected end of input\n",
         "The input ends after line "},
        {full.substr(0, full.size() - 30), 254, "Error:  Unexpected end of input\n",
         "The input ends after line "},
        {std::string(256, 'x') + "\n" + full, 254, "Error:  Line longer than 255 characters\n",
         "Line 1 has 256 characters\n"},
        // Each block before is three heading lines, 2 day lines and a closing line.
        {tooManyDays, 253, "Error:  Number of days exceeded 31\n" + offendingLine,
         "\nLine " + std::to_string(3 * 6 + 3 + 32) + " is day line 32 of station block 3"},
    };
    for (const Case& c : cases) {
        ScratchDirectory dir;
        writeFile(dir / "report.txt", c.report);
        const ProcessResult r = convert(dir, {"report.txt", "out.vtk"});
        EXPECT_FALSE(r.timedOut);
        EXPECT_EQ(r.status, c.status);
        ASSERT_EQ(r.err.substr(0, c.err.size()), c.err);
        const std::string where = r.err.substr(c.err.size());
        EXPECT_EQ(where.substr(0, c.where.size()), c.where);
        EXPECT_EQ(std::count(where.begin(), where.end(), '\n'), c.where.starts_with('\n') ? 2 : 1)
            << where;
        EXPECT_TRUE(where.ends_with('\n')) << where;
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(readFile(dir / "out.vtk"), "") << "the grid file stays empty";
        EXPECT_FALSE(fs::exists(dir / "stationLocations.vtk"));
    }
}

}  // namespace
}  // namespace obsgrid::testing

namespace obsgrid::testing {
namespace {

TEST(DriverProcess, ReplacedOutputsKeepTheirLinkAndMode) {
    const std::string report = testing::uniformReport(2);
    {
        ScratchDirectory dir;
        writeFile(dir / "report.txt", report);
        writeFile(dir / "target.vtk", "old");
        fs::create_symlink("target.vtk", dir / "grid.vtk");
        const ProcessResult r = convert(dir, {"report.txt", "grid.vtk"});
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_TRUE(fs::is_symlink(dir / "grid.vtk")) << "a link is written through";
        EXPECT_EQ(readFile(dir / "target.vtk").substr(0, 26), "# vtk DataFile Version 3.0");
    }
    {
        ScratchDirectory dir;
        writeFile(dir / "report.txt", report);
        writeFile(dir / "grid.vtk", "old");
        fs::permissions(dir / "grid.vtk",
                        fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
        const ProcessResult r = convert(dir, {"report.txt", "grid.vtk"});
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(fs::status(dir / "grid.vtk").permissions(),
                  fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read)
            << "a replaced file keeps its mode";
        EXPECT_NE(readFile(dir / "grid.vtk"), "old");
    }
    {
        // A file its owner made read-only is not replaced, though its folder is writable.
        ScratchDirectory dir;
        writeFile(dir / "report.txt", report);
        writeFile(dir / "grid.vtk", "old");
        fs::permissions(dir.path(), fs::perms::all);
        fs::permissions(dir / "report.txt", fs::perms::owner_all | fs::perms::others_read);
        fs::permissions(dir / "grid.vtk", fs::perms::owner_read | fs::perms::others_read);
        const ProcessResult r = runProcess({binary, "report.txt", "grid.vtk"}, dir.path(),
                                           {.unprivileged = geteuid() == 0});
        EXPECT_EQ(r.status, 255);
        EXPECT_EQ(r.out, "Error:  Unable to open files\n");
        EXPECT_EQ(r.err, "Cannot create grid.vtk: " + std::string(std::strerror(EACCES)) + "\n");
        EXPECT_EQ(readFile(dir / "grid.vtk"), "old");
        EXPECT_FALSE(fs::exists(dir / "stationLocations.vtk"));
    }
}

}  // namespace
}  // namespace obsgrid::testing
