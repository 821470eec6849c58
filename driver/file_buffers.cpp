#include "driver/file_buffers.h"

#include <unistd.h>

#include <cerrno>

namespace obsgrid {

DescriptorReadBuffer::int_type DescriptorReadBuffer::underflow() {
    if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
    if (error_ != 0) return traits_type::eof();
    ssize_t n;
    do {
        n = read(fd_, data_.data(), data_.size());
    } while (n < 0 && errno == EINTR);
    if (n <= 0) {
        if (n < 0) error_ = errno;
        return traits_type::eof();
    }
    setg(data_.data(), data_.data(), data_.data() + n);
    return traits_type::to_int_type(*gptr());
}

std::streamsize DescriptorWriteBuffer::xsputn(const char* s, std::streamsize n) {
    std::streamsize done = 0;
    while (error_ == 0 && done < n) {
        const ssize_t written = write(fd_, s + done, static_cast<std::size_t>(n - done));
        if (written > 0) {
            done += written;
        } else if (written == 0) {
            error_ = EIO;  // no progress: never loop on it
        } else if (errno != EINTR) {
            error_ = errno;
        }
    }
    return done;
}

DescriptorWriteBuffer::int_type DescriptorWriteBuffer::overflow(int_type c) {
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    const char byte = traits_type::to_char_type(c);
    return xsputn(&byte, 1) == 1 ? c : traits_type::eof();
}

}  // namespace obsgrid
