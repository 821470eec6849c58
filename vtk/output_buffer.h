#pragma once

#include <array>
#include <cstddef>
#include <ostream>
#include <string_view>

#include "vtk/number_format.h"

namespace obsgrid {

// Gathers the text of a file and hands it to the stream in large pieces, so
// that no value goes through the stream's own formatting.
class OutputBuffer {
public:
    explicit OutputBuffer(std::ostream& out) : out_(out) {}
    OutputBuffer(const OutputBuffer&) = delete;
    OutputBuffer& operator=(const OutputBuffer&) = delete;
    ~OutputBuffer() { flush(); }

    void text(std::string_view s);
    void character(char c) {
        if (used_ == data_.size()) flush();
        data_[used_++] = c;
    }
    void count(std::size_t n);
    // a value in the general format, followed by one blank
    void real(double value) { put(value, formatReal); }
    void real(float value) { put(value, formatFloat); }
    void endLine() { character('\n'); }
    void flush();

private:
    template <typename Value>
    void put(Value value, char* (*format)(char*, Value)) {
        if (data_.size() - used_ < realFormatRoom + 1) flush();
        char* end = format(data_.data() + used_, value);
        *end++ = ' ';
        used_ = static_cast<std::size_t>(end - data_.data());
    }

    std::ostream& out_;
    // not cleared: only the bytes written are ever read, and only the pages
    // they fill are touched
    std::array<char, 1 << 13> data_;
    std::size_t used_ = 0;
};

}  // namespace obsgrid
