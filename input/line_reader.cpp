#include "input/line_reader.h"

#include <string>

namespace obsgrid {

namespace {
constexpr int endOfFileByte = 26;
}

LineResult readLine(std::streambuf& in, LineBuffer& line) {
    using traits = std::char_traits<char>;
    line.length = 0;
    for (;;) {
        // A byte 26 is left in place, so every later read meets the end again.
        const traits::int_type c = in.sgetc();
        if (traits::eq_int_type(c, traits::eof()) || c == endOfFileByte) {
            if (line.length == 0) return LineResult::endOfInput;
            return line.length > maxLineLength ? LineResult::tooLong : LineResult::line;
        }
        if (c == '\n') {
            std::size_t length = line.length;
            if (length > 0 && line.chars[length - 1] == '\r') --length;
            // A line too long keeps its line end for skipRestOfLine to find.
            if (length > maxLineLength) return LineResult::tooLong;
            in.sbumpc();
            line.length = length;
            return LineResult::line;
        }
        if (line.length == line.chars.size()) return LineResult::tooLong;
        in.sbumpc();
        line.chars[line.length++] = traits::to_char_type(c);
    }
}

std::size_t skipRestOfLine(std::streambuf& in, std::size_t limit) {
    using traits = std::char_traits<char>;
    std::size_t skipped = 0;
    bool carriageReturn = false;
    while (skipped < limit) {
        const traits::int_type c = in.sbumpc();
        if (traits::eq_int_type(c, traits::eof()) || c == endOfFileByte || c == '\n') break;
        carriageReturn = c == '\r';
        ++skipped;
    }
    return carriageReturn && skipped < limit ? skipped - 1 : skipped;
}

}  // namespace obsgrid
