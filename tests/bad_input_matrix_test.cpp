// The real program against broken reports and hostile paths. Every run has a
// time limit, so a hang fails; every failure must leave no station file, an
// empty grid file and the report as it was.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "process_runner.h"
#include "report_builder.h"

namespace fs = std::filesystem;

namespace obsgrid::testing {
namespace {

const std::string binary = OBSGRID_BINARY;

enum class Stream { none, out, err };

struct Expected {
    int status;
    Stream stream;
    std::string messageStart;  // the first characters written to that stream
    // the start of standard error when the message goes to standard output
    std::string reasonStart = "";
};

// The message that goes with each status (none for success).
const std::vector<std::pair<int, std::string>> documentedMessages = {
    {254, "Error:  Unexpected end of input\n"},
    {254, "Error:  Line longer than 255 characters\n"},
    {253, "Error:  Number of days exceeded 31\n"},
    {252, "Error:  Value out of range\n"},
};

bool startsWith(const std::string& text, const std::string& start) {
    return text.compare(0, start.size(), start) == 0;
}

// What must hold after any run: no hang, and after a failure no station
// file, an empty grid file and the report unchanged.
void expectCleanRun(const ProcessResult& r, const ScratchDirectory& dir, const std::string& report,
                    const std::string& label) {
    EXPECT_FALSE(r.timedOut) << label;
    if (fs::is_regular_file(dir / "report.txt")) {
        // a case may have taken the read permission away; its owner gives it back to look
        fs::permissions(dir / "report.txt", fs::perms::owner_read, fs::perm_options::add);
        EXPECT_EQ(readFile(dir / "report.txt"), report) << label << ": the report was changed";
    }
    if (r.status != 0) {
        EXPECT_FALSE(fs::exists(dir / "stationLocations.vtk")) << label;
        const bool gridIsReport = fs::exists(dir / "grid.vtk") && fs::exists(dir / "report.txt") &&
                                  fs::equivalent(dir / "grid.vtk", dir / "report.txt");
        if (fs::is_regular_file(dir / "grid.vtk") && !gridIsReport) {
            EXPECT_EQ(fs::file_size(dir / "grid.vtk"), 0u) << label << ": a failed run wrote data";
        }
    }
}

// A run on a report of unknown quality ends in one of the documented ways.
void expectDocumentedOutcome(const std::string& report, const std::string& label) {
    ScratchDirectory dir;
    writeFile(dir / "report.txt", report);
    const ProcessResult r = runProcess({binary, "report.txt", "grid.vtk"}, dir.path());
    expectCleanRun(r, dir, report, label);
    EXPECT_EQ(r.out, "") << label;
    if (r.status == 0) {
        EXPECT_TRUE(fs::exists(dir / "stationLocations.vtk")) << label;
        return;
    }
    bool documented = false;
    for (const auto& [status, message] : documentedMessages)
        documented = documented || (r.status == status && startsWith(r.err, message));
    EXPECT_TRUE(documented) << label << ": status " << r.status << ", message " << r.err;
}

TEST(BadInputMatrix, EveryLinePrefixOfAReportEndsCleanly) {
    const std::string report = testing::uniformReport(2);
    for (std::size_t end = 0; end != std::string::npos; end = report.find('\n', end + 1))
        expectDocumentedOutcome(report.substr(0, end + 1), "cut after byte " + std::to_string(end));
}

TEST(BadInputMatrix, EveryBytePrefixNearTheEdgesEndsCleanly) {
    const std::string report = testing::uniformReport(1);
    const std::size_t span = 3 * 128;  // a few lines at each end
    for (std::size_t cut = 0; cut <= span; ++cut)
        expectDocumentedOutcome(report.substr(0, cut), "first " + std::to_string(cut) + " bytes");
    for (std::size_t cut = report.size() - span; cut < report.size(); ++cut)
        expectDocumentedOutcome(report.substr(0, cut), "first " + std::to_string(cut) + " bytes");
}

TEST(BadInputMatrix, RandomBytesAndRandomReportsEndCleanly) {
    std::mt19937 rng(2026);
    const std::string pieces[] = {"-----\n", "\n",
                                  "\r\n",    " ",
                                  "1",       "2.5",
                                  "e",       "E",
                                  "M",       "-",
                                  "+",       ".",
                                  "\t",      std::string(1, '\0'),
                                  "\x1a",    "1e39 ",
                                  "9e999 ",  std::string(300, '7')};
    for (int run = 0; run < 60; ++run) {
        std::string bytes;
        const std::size_t length = rng() % 4000;
        for (std::size_t i = 0; i < length; ++i) bytes += static_cast<char>(rng() & 0xff);
        expectDocumentedOutcome(bytes, "random bytes, run " + std::to_string(run));

        // Reports of the right shape built from pieces that matter to the reader.
        std::string text;
        while (text.size() < 6000) text += pieces[rng() % std::size(pieces)];
        expectDocumentedOutcome(text, "random pieces, run " + std::to_string(run));
    }
}

struct RunSetup {
    std::vector<std::string> args = {"report.txt", "grid.vtk"};
    ProcessOptions options = {};
};

struct MatrixCase {
    std::string name;
    std::string report;
    std::function<RunSetup(const ScratchDirectory&)> prepare;
    Expected expected;
};

std::string reportWithDayLine(const std::string& line) {
    return testing::block(0, {line}) + [] {
        std::string rest;
        for (std::size_t s = 1; s < 19; ++s) rest += testing::block(s, testing::dayLines(s, 1));
        return rest;
    }();
}

// A day line whose air temperature (field 6) is `value`.
std::string dayLineWithValue(const std::string& value) {
    std::string line = "1";
    for (int k = 0; k < 18; ++k) line += k == 6 ? " " + value + " " : std::string(" 1 ");
    return line;
}

RunSetup defaults(const ScratchDirectory&) { return {}; }

// Runs as "nobody", so that file permissions count even for root.
RunSetup asUnprivilegedUser(const ScratchDirectory& dir) {
    fs::permissions(dir.path(), fs::perms::all);
    return {{"report.txt", "grid.vtk"}, {.unprivileged = geteuid() == 0}};
}

const std::string goodReport = testing::uniformReport(2);

std::vector<MatrixCase> matrix() {
    using P = fs::perms;
    std::string thirtyTwoDays;
    for (std::size_t s = 0; s < 19; ++s)
        thirtyTwoDays += testing::block(s, testing::dayLines(s, s == 18 ? 32 : 2));
    std::string nulInHeading = goodReport;
    nulInHeading.insert(nulInHeading.find("-----"), std::string(1, '\0'));
    return {
        {"the report itself", goodReport, defaults, {0, Stream::none, ""}},
        {"NUL bytes inside a day line",
         reportWithDayLine("1 2.5\0 3 4" + std::string(1, '\0')),
         defaults,
         {0, Stream::err, "Warning:  station 0 day 0, line 4: 1 of 18 values read"}},
        {"a NUL byte before a dashed line", nulInHeading, defaults, {0, Stream::none, ""}},
        {"a directory as the input",
         goodReport,
         [](const ScratchDirectory& dir) {
             fs::create_directory(dir / "adir");
             return RunSetup{{"adir", "grid.vtk"}};
         },
         {255, Stream::out, "Error:  Unable to open files\n", "Cannot read adir: "}},
        {"an input without read permission",
         goodReport,
         [](const ScratchDirectory& dir) {
             fs::permissions(dir / "report.txt", P::none);
             return asUnprivilegedUser(dir);
         },
         {255, Stream::out, "Error:  Unable to open files\n", "Cannot read report.txt: "}},
        {"an output in a read-only directory",
         goodReport,
         [](const ScratchDirectory& dir) {
             RunSetup setup = asUnprivilegedUser(dir);
             fs::create_directory(dir / "ro");
             fs::permissions(dir / "ro", P::owner_read | P::owner_exec | P::group_read |
                                             P::group_exec | P::others_read | P::others_exec);
             setup.args = {"report.txt", "ro/grid.vtk"};
             return setup;
         },
         {255, Stream::out, "Error:  Unable to open files\n", "Cannot create ro/grid.vtk: "}},
        {"/dev/full as the output",
         goodReport,
         [](const ScratchDirectory&) {
             return RunSetup{{"report.txt", "/dev/full"}};
         },
         {255, Stream::err, "Error:  Unable to write files\n"}},
        {"the input again through a symbolic link",
         goodReport,
         [](const ScratchDirectory& dir) {
             fs::create_symlink(dir / "report.txt", dir / "grid.vtk");
             return RunSetup{};
         },
         {255, Stream::err, "Error:  Output file is the input file\n"}},
        {"the input again through a hard link",
         goodReport,
         [](const ScratchDirectory& dir) {
             fs::create_hard_link(dir / "report.txt", dir / "grid.vtk");
             return RunSetup{};
         },
         {255, Stream::err, "Error:  Output file is the input file\n"}},
        {"a huge value",
         reportWithDayLine(dayLineWithValue("1e400")),
         defaults,
         {252, Stream::err, "Error:  Value out of range\n"}},
        {"a value of 180 digits",
         reportWithDayLine(dayLineWithValue(std::string(180, '9'))),
         defaults,
         {252, Stream::err, "Error:  Value out of range\n"}},
        {"a tiny value of 180 digits",
         reportWithDayLine(dayLineWithValue("0." + std::string(180, '0') + "1")),
         defaults,
         {0, Stream::none, ""}},
        {"a small value with 180 leading zeros",
         reportWithDayLine(dayLineWithValue(std::string(180, '0') + "12.5")),
         defaults,
         {0, Stream::none, ""}},
        {"a 32nd day line",
         thirtyTwoDays,
         defaults,
         {253, Stream::err, "Error:  Number of days exceeded 31\n"}},
    };
}

TEST(BadInputMatrix, EachCaseEndsAsDocumented) {
    for (const MatrixCase& c : matrix()) {
        ScratchDirectory dir;
        writeFile(dir / "report.txt", c.report);
        const RunSetup setup = c.prepare(dir);
        std::vector<std::string> args = {binary};
        args.insert(args.end(), setup.args.begin(), setup.args.end());
        const ProcessResult r = runProcess(args, dir.path(), setup.options);
        if (r.status == cannotDropPrivileges) {
            ADD_FAILURE() << c.name << ": could not run as the user nobody";
            continue;
        }
        EXPECT_EQ(r.status, c.expected.status) << c.name << ": " << r.out << r.err;
        const std::string& shown = c.expected.stream == Stream::out ? r.out : r.err;
        const std::string& silent = c.expected.stream == Stream::out ? r.err : r.out;
        if (c.expected.stream == Stream::none) {
            EXPECT_EQ(r.out + r.err, "") << c.name;
        } else {
            EXPECT_TRUE(startsWith(shown, c.expected.messageStart)) << c.name << ": " << shown;
            if (c.expected.reasonStart.empty()) {
                EXPECT_EQ(silent, "") << c.name;
            } else {
                EXPECT_TRUE(startsWith(silent, c.expected.reasonStart)) << c.name << ": " << silent;
            }
        }
        expectCleanRun(r, dir, c.report, c.name);
        if (c.expected.status == 0) {
            EXPECT_GT(fs::file_size(dir / "grid.vtk"), 0u) << c.name;
            EXPECT_TRUE(fs::exists(dir / "stationLocations.vtk")) << c.name;
        }
    }
}

}  // namespace
}  // namespace obsgrid::testing
