#include "vtk/output_buffer.h"

#include <charconv>
#include <cstring>

namespace obsgrid {

void OutputBuffer::text(std::string_view s) {
    if (s.size() > data_.size() - used_) {
        flush();
        if (s.size() > data_.size()) {
            out_.write(s.data(), static_cast<std::streamsize>(s.size()));
            return;
        }
    }
    std::memcpy(data_.data() + used_, s.data(), s.size());
    used_ += s.size();
}

void OutputBuffer::count(std::size_t n) {
    char digits[24];
    const auto result = std::to_chars(digits, digits + sizeof digits, n);
    text({digits, static_cast<std::size_t>(result.ptr - digits)});
}

void OutputBuffer::flush() {
    if (used_ == 0) return;
    out_.write(data_.data(), static_cast<std::streamsize>(used_));
    used_ = 0;
}

}  // namespace obsgrid
