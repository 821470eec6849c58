#pragma once

#include <istream>
#include <optional>

#include "driver/file_buffers.h"

namespace obsgrid {

// The report, open for reading. Opening never blocks (a FIFO without a
// writer reads as empty), and a directory is refused.
class InputFile {
public:
    InputFile() = default;
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;
    ~InputFile();

    // Returns 0, or the errno value that says why the file cannot be read.
    int open(const char* path);
    std::istream& stream() { return *stream_; }
    // errno of a read that failed, or 0
    int readError() const { return buffer_ ? buffer_->error() : 0; }
    void close();

private:
    int fd_ = -1;
    std::optional<DescriptorReadBuffer> buffer_;
    std::optional<std::istream> stream_;
};

}  // namespace obsgrid
