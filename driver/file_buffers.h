#pragma once

#include <array>
#include <streambuf>

namespace obsgrid {

// Stream buffers straight on a file descriptor, which keep the system's
// reason for a failure (an errno value) instead of throwing or hiding it.

class DescriptorReadBuffer : public std::streambuf {
public:
    explicit DescriptorReadBuffer(int fd) : fd_(fd) {}
    // errno of the read that failed, or 0; a failed read ends the input
    int error() const { return error_; }

protected:
    int_type underflow() override;

private:
    int fd_;
    int error_ = 0;
    std::array<char, 1 << 13> data_;
};

// Unbuffered: its callers hand it large pieces.
class DescriptorWriteBuffer : public std::streambuf {
public:
    explicit DescriptorWriteBuffer(int fd) : fd_(fd) {}
    // errno of the first write that failed, or 0; later writes are refused
    int error() const { return error_; }

protected:
    std::streamsize xsputn(const char* s, std::streamsize n) override;
    int_type overflow(int_type c) override;

private:
    int fd_;
    int error_ = 0;
};

}  // namespace obsgrid
