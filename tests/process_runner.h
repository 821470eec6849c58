#pragma once

#include <chrono>
#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

namespace obsgrid::testing {

struct ProcessResult {
    bool timedOut = false;
    int status = 0;  // the exit status as the system reports it, 0 to 255
    std::string out;
    std::string err;
};

struct ProcessOptions {
    std::chrono::milliseconds time = std::chrono::seconds(10);
    // largest file the process may write, in bytes; 0 for no limit
    std::size_t fileSize = 0;
    // run as the unprivileged user "nobody" (needs root); the program runs
    // from a copy that nobody can reach, wherever the build tree lies
    bool unprivileged = false;
    // standard descriptors (0, 1, 2) closed when the program starts
    std::vector<int> closedDescriptors = {};
    // standard descriptors that lead into a pipe whose reader has gone
    std::vector<int> closedPipes = {};
};

// The status runProcess reports when it could not become "nobody".
inline constexpr int cannotDropPrivileges = 125;

// Runs `args` (args[0] is the program and is passed as its argv[0]) in
// `workingDirectory`, killing it when it runs longer than the time limit.
// The program starts with SIGPIPE and SIGXFSZ at their default actions.
// A working directory longer than PATH_MAX is entered piece by piece.
ProcessResult runProcess(const std::vector<std::string>& args,
                         const std::filesystem::path& workingDirectory,
                         ProcessOptions options = {});

// A fresh, empty directory that is removed with the object.
class ScratchDirectory {
public:
    ScratchDirectory();
    ~ScratchDirectory();
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

std::string readFile(const std::filesystem::path& path);
// The names in a directory, sorted.
std::vector<std::string> directoryEntries(const std::filesystem::path& dir);
// The names in a directory that start with a point: temporary files left behind.
std::vector<std::string> hiddenEntries(const std::filesystem::path& dir);
void writeFile(const std::filesystem::path& path, const std::string& contents);

}  // namespace obsgrid::testing
