// Numbers as the program reads and writes them in texts.
#pragma once

#include <string>
#include <string_view>

namespace pelnoro::sys {

// Spaces skipped, then the longest leading decimal number with optional sign,
// digits and decimal part; a text without one reads as 0.
double LenientNumber(std::wstring_view text);

// Nearest integer, halves to the even neighbour.
long RoundHalfEven(double v);

// The shortest decimal text that reads back as the same single-precision
// number, without exponent: 1500, -225, 1234.5.
std::wstring SingleText(double v);

}  // namespace pelnoro::sys
