// Runs shell commands in turn, one run of each per round, and prints each
// run's wall time in microseconds: one line per round, one column per
// command. Each run is `sh -c COMMAND`, started with posix_spawn and waited
// for, so that the timing adds as little as possible to the processes.
//   time_in_turn ROUNDS COMMAND...
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>

extern char** environ;

namespace {

long runOnce(const char* command) {
    const char* argv[] = {"sh", "-c", command, nullptr};
    const auto start = std::chrono::steady_clock::now();
    pid_t pid;
    if (posix_spawn(&pid, "/bin/sh", nullptr, nullptr, const_cast<char**>(argv), environ) != 0)
        std::exit(2);
    int status;
    waitpid(pid, &status, 0);
    const auto end = std::chrono::steady_clock::now();
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "failed: %s\n", command);
        std::exit(1);
    }
    return std::chrono::duration_cast<std::chrono::microseconds>(end - start).count();
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc < 3) return 2;
    const int rounds = std::atoi(argv[1]);
    for (int round = 0; round < rounds; ++round) {
        for (int c = 2; c < argc; ++c)
            std::printf(c + 1 < argc ? "%ld " : "%ld\n", runOnce(argv[c]));
    }
    return 0;
}
