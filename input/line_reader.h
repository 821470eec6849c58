#pragma once

#include <array>
#include <cstddef>
#include <streambuf>
#include <string_view>

namespace obsgrid {

inline constexpr std::size_t maxLineLength = 255;

// One line of the report, without its line end.
struct LineBuffer {
    // one spare place, so that a 256th character is seen before the line is judged
    std::array<char, maxLineLength + 1> chars{};
    std::size_t length = 0;

    std::string_view view() const { return {chars.data(), length}; }
};

enum class LineResult { line, endOfInput, tooLong };

// Reads the next line. A line feed ends a line and a carriage return right
// before it is dropped; a byte 26 ends the input as if the file ended there;
// the last line needs no line feed. A line of more than 255 characters is
// reported as too long once its 256th character has been seen, the rest of
// it unread. A read error counts as the end of the input.
LineResult readLine(std::streambuf& in, LineBuffer& line);

// After a line too long: reads on to its end and returns how many more
// characters it held (a carriage return before the line feed not counted),
// stopping after `limit` so that an endless line still ends.
std::size_t skipRestOfLine(std::streambuf& in, std::size_t limit);

}  // namespace obsgrid
