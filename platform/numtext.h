#pragma once
// Numbers as text, independent of the process locale (a Polish desktop
// locale must not turn the decimal point of files and reports into a comma).

#include <string>
#include <string_view>

namespace platform {

// Reads a decimal number the way the C runtime's atof does: leading blanks
// skipped, the longest valid prefix taken, 0 when there is none.
double parseDecimal(std::string_view text);

// Like parseDecimal, but a decimal comma typed by a user counts as a point.
double parseUserDecimal(std::string_view text);

// At most 6 significant digits, no trailing zeros: "%g".
std::string formatG6(double value);

// Fixed notation with `decimals` digits after the point: "%.Nf".
std::string formatFixed(double value, int decimals);

// The same with a decimal comma, as the program's Polish messages write it.
std::string formatFixedComma(double value, int decimals);

// The shortest text that reads back as the same float.
std::string formatShortest(float value);

}  // namespace platform
