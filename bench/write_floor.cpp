// The floor for a whole obsgrid process: a static C++ program that reads
// the report and writes the bytes obsgrid wrote, built into it, under the
// grid file's name and as stationLocations.vtk, each through a temporary
// file renamed into place as obsgrid does. No parsing, no gridding, no
// formatting. floor_bytes.h comes from bench/process_vs_cat.sh.
//   write_floor REPORT OUTPUT
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "floor_bytes.h"

namespace {

bool readAll(const char* path) {
    const int fd = open(path, O_RDONLY);
    if (fd < 0) return false;
    char chunk[1 << 16];
    ssize_t n;
    while ((n = read(fd, chunk, sizeof chunk)) > 0) {
    }
    return close(fd) == 0 && n == 0;
}

template <std::size_t size>
bool put(const unsigned char (&bytes)[size], const std::string& path) {
    const std::string temporary = "." + path + ".floor";
    const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) return false;
    const bool written = write(fd, bytes, size) == static_cast<ssize_t>(size);
    return close(fd) == 0 && written && rename(temporary.c_str(), path.c_str()) == 0;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc != 3) return 2;
    return !readAll(argv[1]) || !put(gridBytes, argv[2]) ||
           !put(stationBytes, "stationLocations.vtk");
}
