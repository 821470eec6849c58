#include "driver/input_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace obsgrid {

InputFile::~InputFile() { close(); }

int InputFile::open(const char* path) {
    fd_ = ::open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd_ < 0) return errno;
    struct stat st {};
    if (fstat(fd_, &st) != 0) return errno;
    if (S_ISDIR(st.st_mode)) return EISDIR;
    // Non-blocking only for the open itself: reads wait for data as usual.
    fcntl(fd_, F_SETFL, fcntl(fd_, F_GETFL) & ~O_NONBLOCK);
    buffer_.emplace(fd_);
    stream_.emplace(&*buffer_);
    return 0;
}

void InputFile::close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

}  // namespace obsgrid
