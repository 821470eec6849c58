#pragma once

namespace obsgrid {

// White space as the report knows it: blank, tab, line feed, vertical tab,
// form feed and carriage return.
constexpr bool isReportSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// Skips white space, then reads one number of the report's syntax: an
// optional sign, digits with an optional point (at least one digit in all),
// then, after an e or E, an optional sign and any exponent digits. The
// letter e and its sign are taken even without exponent digits, which then
// add nothing to the value. There is no infinity, NaN or hexadecimal form.
// The value is correctly rounded; beyond the range of a double it reads as
// plus or minus infinity, below it as zero of its sign.
// On success advances `pos` past the number and returns true; otherwise
// returns false and leaves `value` alone.
bool scanNumber(const char*& pos, const char* end, double& value);

}  // namespace obsgrid
