#include "process_runner.h"

#include <fcntl.h>
#include <grp.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace fs = std::filesystem;

namespace obsgrid::testing {

namespace {

// chdir, also into a directory whose path is longer than PATH_MAX.
bool enterDirectory(const std::string& path) {
    if (chdir(path.c_str()) == 0) return true;
    if (errno != ENAMETOOLONG) return false;
    std::size_t start = 0;
    if (path.front() == '/') {
        if (chdir("/") != 0) return false;
        start = 1;
    }
    while (start < path.size()) {
        std::size_t end = path.find('/', start);
        if (end == std::string::npos) end = path.size();
        if (end > start && chdir(path.substr(start, end - start).c_str()) != 0) return false;
        start = end + 1;
    }
    return true;
}

}  // namespace

ProcessResult runProcess(const std::vector<std::string>& args, const fs::path& workingDirectory,
                         ProcessOptions options) {
    ScratchDirectory capture;
    // A build tree in a private folder (a 0700 home) is out of nobody's reach.
    std::optional<ScratchDirectory> reachableCopy;
    std::string program = args[0];
    if (options.unprivileged) {
        reachableCopy.emplace();
        program = (*reachableCopy / "obsgrid").string();
        fs::copy_file(args[0], program);
        const auto everyoneMayRun =
            fs::perms::owner_all | fs::perms::group_exec | fs::perms::others_exec;
        fs::permissions(reachableCopy->path(), everyoneMayRun);
        fs::permissions(program, everyoneMayRun);
    }
    const std::string outPath = capture / "stdout";
    const std::string errPath = capture / "stderr";

    std::vector<char*> argv;
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);

    const pid_t pid = fork();
    if (pid < 0) throw std::runtime_error("fork failed");
    if (pid == 0) {
        const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int nothing = open("/dev/null", O_RDONLY);
        if (out < 0 || err < 0 || nothing < 0 || !enterDirectory(workingDirectory.string()))
            _exit(126);
        signal(SIGPIPE, SIG_DFL);
        signal(SIGXFSZ, SIG_DFL);
        if (options.fileSize != 0) {
            const rlimit size{options.fileSize, options.fileSize};
            setrlimit(RLIMIT_FSIZE, &size);
        }
        if (options.unprivileged) {
            constexpr uid_t nobody = 65534;
            if (setgroups(0, nullptr) != 0 || setgid(nobody) != 0 || setuid(nobody) != 0)
                _exit(cannotDropPrivileges);
        }
        dup2(nothing, 0);
        dup2(out, 1);
        dup2(err, 2);
        for (const int fd : options.closedPipes) {
            int ends[2];
            if (pipe(ends) != 0 || dup2(ends[1], fd) < 0) _exit(126);
            close(ends[0]);
            close(ends[1]);
        }
        for (const int fd : options.closedDescriptors) close(fd);
        execv(program.c_str(), argv.data());
        _exit(127);
    }

    ProcessResult result;
    const auto deadline = std::chrono::steady_clock::now() + options.time;
    int wstatus = 0;
    for (;;) {
        const pid_t done = waitpid(pid, &wstatus, WNOHANG);
        if (done == pid) break;
        if (std::chrono::steady_clock::now() > deadline) {
            kill(pid, SIGKILL);
            waitpid(pid, &wstatus, 0);
            result.timedOut = true;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    result.status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : 128 + WTERMSIG(wstatus);
    result.out = readFile(outPath);
    result.err = readFile(errPath);
    return result;
}

ScratchDirectory::ScratchDirectory() {
    std::string pattern = (fs::temp_directory_path() / "obsgrid-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

ScratchDirectory::~ScratchDirectory() {
    std::error_code ec;
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(path_, ec);
}

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream contents;
    contents << in.rdbuf();
    return contents.str();
}

std::vector<std::string> directoryEntries(const fs::path& dir) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::string> hiddenEntries(const fs::path& dir) {
    std::vector<std::string> hidden;
    for (const std::string& name : directoryEntries(dir))
        if (name.front() == '.') hidden.push_back(name);
    return hidden;
}

void writeFile(const fs::path& path, const std::string& contents) {
    std::ofstream out(path, std::ios::binary);
    out << contents;
}

}  // namespace obsgrid::testing
