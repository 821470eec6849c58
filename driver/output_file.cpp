#include "driver/output_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

namespace obsgrid {

namespace {

// The directory part and the last name of a path, as the kernel reads them.
std::string directoryOf(const std::string& path) {
    std::size_t end = path.find_last_not_of('/');
    if (end == std::string::npos) return path.empty() ? "." : "/";
    const std::size_t slash = path.rfind('/', end);
    if (slash == std::string::npos) return ".";
    const std::size_t last = path.find_last_not_of('/', slash);
    return last == std::string::npos ? "/" : path.substr(0, last + 1);
}

std::string lastNameOf(const std::string& path) {
    const std::size_t end = path.find_last_not_of('/');
    if (end == std::string::npos) return "";
    const std::size_t slash = path.rfind('/', end);
    const std::size_t start = slash == std::string::npos ? 0 : slash + 1;
    return path.substr(start, end + 1 - start);
}

unsigned newFileMode() {
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

bool isRegularFile(int fd) {
    struct stat st {};
    return fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
}

// Where a path leads: an existing file, or a free name in an existing directory.
struct Location {
    bool valid = false;  // false: nothing can be at this path
    bool exists = false;
    dev_t device = 0;
    ino_t inode = 0;   // of the file, or of the directory that would hold it
    std::string name;  // for a free name
};

Location locate(std::string path) {
    Location where;
    struct stat st {};
    if (stat(path.c_str(), &st) == 0) {
        where = {true, true, st.st_dev, st.st_ino, ""};
        return where;
    }
    if (errno != ENOENT) return where;
    // A dangling link: opening it for writing would create its target.
    constexpr int maxLinkHops = 40;
    for (int hop = 0; hop < maxLinkHops; ++hop) {
        if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) break;
        std::vector<char> target(static_cast<std::size_t>(st.st_size) + 2);
        const ssize_t n = readlink(path.c_str(), target.data(), target.size() - 1);
        if (n <= 0) return where;
        const std::string next(target.data(), static_cast<std::size_t>(n));
        path = next.front() == '/' ? next : directoryOf(path) + "/" + next;
    }
    where.name = lastNameOf(path);
    if (where.name.empty() || where.name == "." || where.name == "..") return where;
    if (stat(directoryOf(path).c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return where;
    where = {true, false, st.st_dev, st.st_ino, where.name};
    return where;
}

}  // namespace

bool namesSameFile(const char* a, const char* b) {
    const Location first = locate(a);
    const Location second = locate(b);
    return first.valid && second.valid && first.exists == second.exists &&
           first.device == second.device && first.inode == second.inode &&
           first.name == second.name;
}

OutputFile::~OutputFile() {
    if (!temporary_.empty()) unlink(temporary_.c_str());
    closeDescriptor();
}

bool OutputFile::openTemporary(const std::string& path, unsigned mode) {
    std::string name = directoryOf(path) + "/." + lastNameOf(path) + ".XXXXXX";
    fd_ = mkstemp(name.data());
    if (fd_ < 0) return false;
    temporary_ = name;
    fchmod(fd_, mode);
    return true;
}

int OutputFile::open(const char* path) {
    path_ = path;
    struct stat st {};
    const bool exists = lstat(path, &st) == 0;
    const bool free = !exists && errno == ENOENT;
    // A file the user may not write is not replaced either.
    const bool replaceable =
        exists && S_ISREG(st.st_mode) && faccessat(AT_FDCWD, path, W_OK, AT_EACCESS) == 0;
    if (!(free || replaceable) ||
        !openTemporary(path_, free ? newFileMode() : st.st_mode & 07777)) {
        // In place. A FIFO is opened without waiting: with no reader it
        // fails at once (ENXIO) instead of hanging.
        fd_ = ::open(path, O_WRONLY | O_CREAT | O_TRUNC | O_NONBLOCK | O_CLOEXEC, 0666);
        if (fd_ < 0) {
            const int error = errno;
            path_.clear();  // never opened: nothing of it to empty or discard
            return error;
        }
        fcntl(fd_, F_SETFL, fcntl(fd_, F_GETFL) & ~O_NONBLOCK);
    }
    buffer_.emplace(fd_);
    stream_.emplace(&*buffer_);
    return 0;
}

int OutputFile::commit() {
    stream_->flush();
    if (const int error = buffer_->error()) return error;
    const int closed = ::close(fd_);
    fd_ = -1;
    if (closed != 0) return errno;
    if (!temporary_.empty()) {
        if (rename(temporary_.c_str(), path_.c_str()) != 0) return errno;
        temporary_.clear();
    }
    return 0;
}

void OutputFile::leaveEmpty() {
    if (!temporary_.empty()) {
        if (truncate(temporary_.c_str(), 0) == 0 && rename(temporary_.c_str(), path_.c_str()) == 0)
            temporary_.clear();
    } else if (fd_ >= 0 && isRegularFile(fd_)) {
        ftruncate(fd_, 0);
    } else if (fd_ < 0) {
        // Closed in place already: empty it only if it is a regular file.
        struct stat st {};
        if (stat(path_.c_str(), &st) == 0 && S_ISREG(st.st_mode)) truncate(path_.c_str(), 0);
    }
    closeDescriptor();
}

void OutputFile::discard() {
    if (!temporary_.empty()) {
        unlink(temporary_.c_str());
        temporary_.clear();
        closeDescriptor();
        return;
    }
    leaveEmpty();
}

void OutputFile::closeDescriptor() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

}  // namespace obsgrid
