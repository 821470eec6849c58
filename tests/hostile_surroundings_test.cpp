// The real program in hostile surroundings: closed standard streams, pipes
// whose reader has gone, read errors, file-size limits, FIFOs, parallel runs
// in one folder and working directories that cannot be resolved. Every run
// has a time limit; every case checks the status, the streams, the files
// left and the report.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "process_runner.h"
#include "report_builder.h"

namespace fs = std::filesystem;

namespace obsgrid::testing {
namespace {

const std::string binary = OBSGRID_BINARY;

std::string reason(int error) { return std::strerror(error); }

// Every day line of station 3 stops after two values: a warning for each.
std::string reportWithWarnings() {
    std::string report = "Report with short lines\n";
    for (std::size_t s = 0; s < 19; ++s) {
        std::vector<std::string> lines = dayLines(s, 31);
        if (s == 3)
            for (auto& line : lines) line = line.substr(0, line.find(' ', line.find(' ', 2) + 1));
        report += block(s, lines);
    }
    return report;
}

const std::string report = reportWithWarnings();

// The two files a run writes in ordinary surroundings, with the same arguments.
struct Reference {
    std::string grid, stations, err;
};

const Reference& reference() {
    static const Reference files = [] {
        ScratchDirectory dir;
        writeFile(dir / "report.txt", report);
        const ProcessResult r = runProcess({binary, "report.txt", "grid.vtk"}, dir.path());
        EXPECT_EQ(r.status, 0);
        return Reference{readFile(dir / "grid.vtk"), readFile(dir / "stationLocations.vtk"), r.err};
    }();
    return files;
}

enum class Left { reference, empty, absent, earlier };

struct RunSetup {
    std::vector<std::string> args = {"report.txt", "grid.vtk"};
    ProcessOptions options = {};
};

struct SurroundingsCase {
    std::string name;
    std::function<RunSetup(const ScratchDirectory&)> prepare;
    int status;
    std::string out;          // all of standard output, when it is captured
    std::string errStart;     // the start of standard error, when it is captured
    Left grid;                // what is left at grid.vtk
    Left stations;            // what is left at stationLocations.vtk
    std::string errEnd = "";  // the end of standard error
};

const std::string earlierStations = "a station file from an earlier run\n";

RunSetup withEarlierStationFile(const ScratchDirectory& dir, RunSetup setup) {
    writeFile(dir / "stationLocations.vtk", earlierStations);
    return setup;
}

std::vector<SurroundingsCase> cases() {
    const std::string warning = "Warning:  station 3 day 0, line ";
    std::vector<SurroundingsCase> table = {
        {"standard input closed",
         [](const ScratchDirectory&) { return RunSetup{.options = {.closedDescriptors = {0}}}; }, 0,
         "", warning, Left::reference, Left::reference},
        {"standard output closed",
         [](const ScratchDirectory&) { return RunSetup{.options = {.closedDescriptors = {1}}}; }, 0,
         "", warning, Left::reference, Left::reference},
        {"standard error closed",
         [](const ScratchDirectory&) { return RunSetup{.options = {.closedDescriptors = {2}}}; }, 0,
         "", "", Left::reference, Left::reference},
        {"all three closed",
         [](const ScratchDirectory&) {
             return RunSetup{.options = {.closedDescriptors = {0, 1, 2}}};
         },
         0, "", "", Left::reference, Left::reference},
        {"standard error into a pipe whose reader has gone",
         [](const ScratchDirectory&) { return RunSetup{.options = {.closedPipes = {2}}}; }, 0, "",
         "", Left::reference, Left::reference},
        {"standard output into a pipe whose reader has gone, on a missing report",
         [](const ScratchDirectory&) {
             return RunSetup{{"missing.txt", "grid.vtk"}, {.closedPipes = {1}}};
         },
         255, "", "Cannot read missing.txt: " + reason(ENOENT), Left::empty, Left::absent},
        {"standard output and error closed, the disk full part-way",
         [](const ScratchDirectory&) {
             return RunSetup{.options = {.fileSize = 100 * 1024, .closedDescriptors = {1, 2}}};
         },
         255, "", "", Left::empty, Left::absent},
        {"a read error",
         [](const ScratchDirectory&) {
             return RunSetup{{"/proc/self/mem", "grid.vtk"}};
         },
         254, "", "Error:  Unexpected end of input\n", Left::empty, Left::absent},
        {"a file-size limit with SIGXFSZ at its default",
         [](const ScratchDirectory&) { return RunSetup{.options = {.fileSize = 100 * 1024}}; }, 255,
         "", warning, Left::empty, Left::absent,
         "\nError:  Unable to write files\nCannot write grid.vtk: " + reason(EFBIG) + "\n"},
        {"a FIFO as the output with no reader",
         [](const ScratchDirectory& dir) {
             mkfifo((dir / "fifo").c_str(), 0600);
             return RunSetup{{"report.txt", "fifo"}};
         },
         255, "Error:  Unable to open files\n", "Cannot create fifo: " + reason(ENXIO) + "\n",
         Left::absent, Left::absent},
        {"a FIFO as the report with no writer",
         [](const ScratchDirectory& dir) {
             mkfifo((dir / "fifo").c_str(), 0600);
             return RunSetup{{"fifo", "grid.vtk"}};
         },
         254, "", "Error:  Unexpected end of input\nThe input ends after line 0,", Left::empty,
         Left::absent},
        {"a failed run keeps an earlier station file",
         [](const ScratchDirectory& dir) {
             writeFile(dir / "short.txt", report.substr(0, report.size() / 2));
             return withEarlierStationFile(dir, {{"short.txt", "grid.vtk"}});
         },
         254, "", "Error:  Unexpected end of input\n", Left::empty, Left::earlier},
        {"a failed station file write keeps the earlier one",
         [](const ScratchDirectory& dir) {
             // /dev/null takes the grid; the station file meets the limit. A report
             // without warnings, as the limit holds for the captured messages too.
             writeFile(dir / "clean.txt", uniformReport(2));
             return withEarlierStationFile(dir, {{"clean.txt", "/dev/null"}, {.fileSize = 100}});
         },
         255, "",
         "Error:  Unable to write files\nCannot write stationLocations.vtk: " + reason(EFBIG) +
             "\n",
         Left::absent, Left::earlier},
        {"a good run replaces an earlier station file",
         [](const ScratchDirectory& dir) { return withEarlierStationFile(dir, {}); }, 0, "",
         warning, Left::reference, Left::reference},
    };
    return table;
}

void expectLeft(const fs::path& path, Left left, const std::string& whole,
                const std::string& label) {
    switch (left) {
        case Left::reference:
            EXPECT_EQ(readFile(path), whole) << label << ": " << path.filename();
            break;
        case Left::empty:
            EXPECT_TRUE(fs::is_regular_file(path)) << label << ": " << path.filename();
            EXPECT_EQ(readFile(path), "") << label << ": " << path.filename();
            break;
        case Left::absent:
            EXPECT_FALSE(fs::exists(path)) << label << ": " << path.filename();
            break;
        case Left::earlier:
            EXPECT_EQ(readFile(path), earlierStations) << label << ": " << path.filename();
            break;
    }
}

TEST(HostileSurroundings, EachCaseEndsAsDocumented) {
    for (const SurroundingsCase& c : cases()) {
        ScratchDirectory dir;
        writeFile(dir / "report.txt", report);
        const RunSetup setup = c.prepare(dir);
        std::vector<std::string> args = {binary};
        args.insert(args.end(), setup.args.begin(), setup.args.end());
        const ProcessResult r = runProcess(args, dir.path(), setup.options);
        EXPECT_FALSE(r.timedOut) << c.name;
        EXPECT_EQ(r.status, c.status) << c.name << ": " << r.out << r.err;
        EXPECT_EQ(r.out, c.out) << c.name;
        EXPECT_EQ(r.err.substr(0, c.errStart.size()), c.errStart) << c.name;
        EXPECT_TRUE(r.err.ends_with(c.errEnd)) << c.name << ": " << r.err;
        if (c.status == 0 && !c.errStart.empty()) {
            EXPECT_EQ(r.err, reference().err) << c.name;
        }
        expectLeft(dir / "grid.vtk", c.grid, reference().grid, c.name);
        expectLeft(dir / "stationLocations.vtk", c.stations, reference().stations, c.name);
        EXPECT_EQ(readFile(dir / "report.txt"), report) << c.name;
        EXPECT_EQ(hiddenEntries(dir.path()), std::vector<std::string>{}) << c.name;
    }
}

TEST(HostileSurroundings, AFifoWhoseReaderLeavesEndsTheRunWithoutHanging) {
    ScratchDirectory dir;
    writeFile(dir / "report.txt", report);
    ASSERT_EQ(mkfifo((dir / "fifo").c_str(), 0600), 0);
    // Opened first, without waiting for a writer, and not inherited by the program.
    const int reader = open((dir / "fifo").c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    ASSERT_GE(reader, 0);
    std::string received;
    std::thread readABitThenLeave([&] {
        char chunk[4096];
        for (int tries = 0; tries < 5000 && received.size() < 1000; ++tries) {
            const ssize_t n = read(reader, chunk, sizeof chunk);
            if (n > 0)
                received.append(chunk, static_cast<std::size_t>(n));
            else
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        close(reader);
    });
    const ProcessResult r =
        runProcess({binary, "report.txt", "fifo"}, dir.path(), {.time = std::chrono::seconds(20)});
    readABitThenLeave.join();
    EXPECT_FALSE(r.timedOut);
    EXPECT_EQ(r.status, 255);
    EXPECT_TRUE(r.err.ends_with(
        "\nError:  Unable to write files\nCannot write fifo: " + reason(EPIPE) + "\n"))
        << r.err;
    EXPECT_EQ(received.substr(0, 26), "# vtk DataFile Version 3.0");
    EXPECT_FALSE(fs::exists(dir / "stationLocations.vtk"));
    EXPECT_TRUE(fs::is_fifo(dir / "fifo")) << "the FIFO stays a FIFO";
    EXPECT_EQ(readFile(dir / "report.txt"), report);
}

TEST(HostileSurroundings, ParallelRunsInOneFolderNeverTearTheStationFile) {
    for (const std::size_t runs : {2u, 4u}) {
        ScratchDirectory dir;
        // Different report paths give different title lines in the station file.
        std::set<std::string> wholeStationFiles;
        for (std::size_t i = 0; i < runs; ++i) {
            const std::string name = "report-" + std::string(i + 1, 'x') + ".txt";
            writeFile(dir / name, report);
            ScratchDirectory alone;
            writeFile(alone / name, report);
            runProcess({binary, name, "grid-alone.vtk"}, alone.path());
            wholeStationFiles.insert(readFile(alone / "stationLocations.vtk"));
        }
        ASSERT_EQ(wholeStationFiles.size(), runs);
        for (int round = 0; round < 25; ++round) {
            std::vector<std::thread> threads;
            std::vector<ProcessResult> results(runs);
            for (std::size_t i = 0; i < runs; ++i) {
                threads.emplace_back([&, i] {
                    const std::string name = "report-" + std::string(i + 1, 'x') + ".txt";
                    results[i] = runProcess({binary, name, "grid-" + std::to_string(i) + ".vtk"},
                                            dir.path(), {.time = std::chrono::seconds(30)});
                });
            }
            for (auto& t : threads) t.join();
            for (const ProcessResult& r : results) {
                EXPECT_FALSE(r.timedOut);
                EXPECT_EQ(r.status, 0) << r.err;
            }
            EXPECT_EQ(wholeStationFiles.count(readFile(dir / "stationLocations.vtk")), 1u)
                << runs << " runs, round " << round << ": a torn station file";
            for (std::size_t i = 0; i < runs; ++i) {
                EXPECT_EQ(readFile(dir / ("grid-" + std::to_string(i) + ".vtk")), [&] {
                    std::string grid = reference().grid;
                    const std::string from = "from report.txt by";
                    grid.replace(grid.find(from), from.size(),
                                 "from report-" + std::string(i + 1, 'x') + ".txt by");
                    return grid;
                }());
            }
            EXPECT_EQ(hiddenEntries(dir.path()), std::vector<std::string>{}) << "parallel runs";
        }
    }
}

// A working directory whose absolute path the program cannot learn: a link
// and ".." then mean what the kernel makes of them, which text cannot tell.
void expectStationFileGuardedIn(const fs::path& work, ProcessOptions options,
                                const std::string& label) {
    const ProcessResult refused =
        runProcess({binary, "report.txt", "d/../../stationLocations.vtk"}, work, options);
    EXPECT_EQ(refused.status, 255) << label << ": " << refused.out << refused.err;
    EXPECT_EQ(refused.err, "Error:  Output file is stationLocations.vtk\n") << label;
    EXPECT_FALSE(fs::exists(work / "stationLocations.vtk")) << label;

    const ProcessResult converted = runProcess({binary, "report.txt", "grid.vtk"}, work, options);
    EXPECT_EQ(converted.status, 0) << label << ": " << converted.err;
    EXPECT_EQ(readFile(work / "grid.vtk"), reference().grid) << label;
    EXPECT_EQ(readFile(work / "stationLocations.vtk"), reference().stations) << label;
    EXPECT_EQ(readFile(work / "report.txt"), report) << label;
}

void prepareWorkingDirectory(const fs::path& work) {
    fs::create_directories(work / "a" / "b");
    fs::create_directory_symlink("a/b", work / "d");  // d/../.. is work itself
    writeFile(work / "report.txt", report);
}

TEST(HostileSurroundings, DeepWorkingDirectoryBeyondPathMax) {
    ScratchDirectory dir;
    // Built one level at a time: the whole path is too long for one call.
    const std::string level(200, 'p');
    const int root = open(dir.path().c_str(), O_RDONLY | O_DIRECTORY);
    int at = root;
    std::string work = dir.path().string();
    while (work.size() <= PATH_MAX + 200) {
        ASSERT_EQ(mkdirat(at, level.c_str(), 0755), 0);
        const int next = openat(at, level.c_str(), O_RDONLY | O_DIRECTORY);
        if (at != root) close(at);
        at = next;
        work += "/" + level;
    }
    ASSERT_EQ(mkdirat(at, "a", 0755), 0);
    ASSERT_EQ(mkdirat(at, "a/b", 0755), 0);
    ASSERT_EQ(symlinkat("a/b", at, "d"), 0);
    const int reportFd = openat(at, "report.txt", O_WRONLY | O_CREAT, 0644);
    ASSERT_EQ(write(reportFd, report.data(), report.size()), static_cast<ssize_t>(report.size()));
    close(reportFd);

    const ProcessResult refused =
        runProcess({binary, "report.txt", "d/../../stationLocations.vtk"}, work);
    EXPECT_EQ(refused.status, 255) << refused.out << refused.err;
    EXPECT_EQ(refused.err, "Error:  Output file is stationLocations.vtk\n");
    EXPECT_NE(faccessat(at, "stationLocations.vtk", F_OK, 0), 0) << "nothing is created";

    const ProcessResult converted = runProcess({binary, "report.txt", "grid.vtk"}, work);
    EXPECT_EQ(converted.status, 0) << converted.err;
    EXPECT_EQ(faccessat(at, "stationLocations.vtk", F_OK, 0), 0);
    EXPECT_EQ(faccessat(at, "grid.vtk", F_OK, 0), 0);
    close(at);
    close(root);
    // Flattened a level at a time, so that no path gets too long to remove.
    fs::path top = dir / level;
    for (int i = 0; fs::exists(top / level); ++i) {
        const fs::path flat = dir / ("level" + std::to_string(i));
        fs::rename(top / level, flat);
        top = flat;
    }
}

TEST(HostileSurroundings, WorkingDirectoryUnderALockedParentAsAnUnprivilegedUser) {
    if (geteuid() != 0) {
        // Only root can enter a directory it then cannot see the parents of.
        GTEST_SKIP() << "needs root to run the program as nobody below a locked folder";
    }
    ScratchDirectory dir;
    const fs::path locked = dir / "locked";
    const fs::path work = locked / "work";
    prepareWorkingDirectory(work);
    fs::permissions(dir.path(), fs::perms::owner_all | fs::perms::others_exec);
    fs::permissions(locked, fs::perms::owner_all);  // nobody cannot pass through
    for (const fs::path& p : {work, work / "a", work / "a" / "b"})
        fs::permissions(p, fs::perms::all);
    fs::permissions(work / "report.txt", fs::perms::owner_all | fs::perms::others_read);
    expectStationFileGuardedIn(work, {.unprivileged = true}, "below a locked folder");
}

}  // namespace
}  // namespace obsgrid::testing
