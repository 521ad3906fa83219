// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Turning typed text into numbers and numbers back into text. Texts are UTF-8.
// Nothing here depends on the C or C++ locale: "." is always the decimal point.
//
// Number grammar, shared by both text-to-number conversions:
//   blanks (space, tab, U+00A0) | optional "+" or "-" | digits, optionally with
//   "." and a fraction (".5" and "5." are numbers, "." alone is not) | optional
//   exponent "e"/"E", optional sign, at least one digit.
// The Arabic-Indic digits U+0660..U+0669 and U+06F0..U+06F9 count as 0..9 and
// the Arabic decimal separator U+066B counts as ".". Blanks inside a number,
// thousands separators, radix prefixes, "inf", "nan" and hex floats are not
// numbers. A number too large for a double reads as +/- infinity and raises
// the floating-point overflow flag, so a fault-checked step that reads it fails.

#include <cstdint>
#include <string>
#include <string_view>

namespace numtext {

// Reads the number at the start of `text` and ignores whatever follows it.
// A text that does not begin with a number gives 0. Never fails.
double lenientToNumber(std::string_view text);

// The whole text, apart from blanks before and after, must be one number.
// Throws Failure(NotANumber) otherwise, the empty text included.
double strictToNumber(std::string_view text);

// 15 significant digits, no trailing zeros, ASCII digits, "." as the point.
// Exponent form ("1.2E+15", "5.6789E-12") when the decimal exponent is 15 or
// more, or when decimal form would need more than 15 digits after the point.
// Negative zero is written "0".
std::string numberToText(double value);

// Decimal digits with "-" before a negative value.
std::string wholeToText(std::int32_t value);

// Nearest whole number, halves to the even neighbour. Throws
// Failure(WholeOutOfRange) when the result does not fit in 32 bits (NaN too).
std::int32_t roundToWhole(double value);

} // namespace numtext
