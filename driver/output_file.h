#pragma once

#include <optional>
#include <ostream>
#include <string>

#include "driver/file_buffers.h"

namespace obsgrid {

// One output file: how it is opened, put in place, emptied after a failure,
// and whether two paths name it.
//
// A regular file (or a name not yet taken) is written under a temporary name
// in its own directory and renamed into place once whole, so that a reader,
// or a second run writing the same name, never sees a torn file. Anything
// else is written in place: a symbolic link (through to its target), a FIFO
// (opened without waiting for a reader), a device such as /dev/full.
class OutputFile {
public:
    OutputFile() = default;
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;
    ~OutputFile();

    // Returns 0, or the errno value that says why the file cannot be written.
    int open(const char* path);
    std::ostream& stream() { return *stream_; }
    // Puts the whole file in place. Returns 0, or the errno value of the
    // write, close or rename that failed.
    int commit();
    // After a failure: a regular file is left at the path, empty, as if the
    // run had truncated it; FIFOs and devices are only closed. Both this and
    // discard leave alone a file that was never opened.
    void leaveEmpty();
    // After a failure: a file that was at the path before stays as it was;
    // one written in place is emptied, so that no torn file is left.
    void discard();

private:
    bool openTemporary(const std::string& path, unsigned mode);
    void closeDescriptor();

    std::string path_;
    std::string temporary_;  // empty when written in place
    int fd_ = -1;
    std::optional<DescriptorWriteBuffer> buffer_;
    std::optional<std::ostream> stream_;
};

// True when the two paths lead to the same file, as the file system decides:
// the same device and inode for files that exist; for a name not yet taken,
// the same directory (device and inode) and the same name, once symbolic
// links on the way are followed.
bool namesSameFile(const char* a, const char* b);

}  // namespace obsgrid
