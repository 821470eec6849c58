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
        in.sbumpc();
        if (c == '\n') {
            if (line.length > 0 && line.chars[line.length - 1] == '\r') --line.length;
            return line.length > maxLineLength ? LineResult::tooLong : LineResult::line;
        }
        if (line.length == line.chars.size()) return LineResult::tooLong;
        line.chars[line.length++] = traits::to_char_type(c);
    }
}

}  // namespace obsgrid
