// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Turning typed text into numbers and numbers back into text. Texts are UTF-8.
// Nothing here depends on the C or C++ locale: "." is always the decimal point.
// The same code reads and writes on every build (g++ or clang with libstdc++,
// em++ with libc++): a small reader maps the number's characters to ASCII
// digits and an exponent, which the C library's strtod turns into a
// correctly rounded double, and {fmt}'s shortest digits of a double,
// rounded here to 15, give its text. This unit does no arithmetic
// and raises no faults itself; FaultCheck.h guards the handlers' steps.
//
// Number grammar, shared by both text-to-number conversions:
//   blanks | optional "+" or "-" | digits, optionally with "." and a fraction
//   (".5" and "5." are numbers, "." alone is not) | optional exponent "e"/"E",
//   optional sign, at least one digit.
// Blanks are tab and every Unicode space separator (U+0020, U+00A0, U+1680,
// U+2000..U+200A, U+202F, U+205F, U+3000). The direction marks U+200E,
// U+200F, U+061C, U+202A..U+202E and U+2066..U+2069 count as nothing wherever
// they stand, so text copied from right-to-left pages reads as it looks. The
// minus sign U+2212 counts as "-". The Arabic-Indic digits U+0660..U+0669 and
// U+06F0..U+06F9 count as 0..9 and the Arabic decimal separator U+066B counts
// as ".". Blanks inside a number, thousands separators, radix prefixes,
// "inf", "nan" and hex floats are not numbers. A number too large for a
// double reads as +/- infinity (which a fault-checked reading reports as
// overflow); one too small reads as zero.

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
// Negative zero is written "0". Where rounding to 15 digits would leave the
// double range, the value is rounded toward zero ("1.79769313486231E+308"),
// so that every text written for a finite value reads back, by either
// conversion, as a finite value written as the same text. Infinities and NaN
// (which the fault check never lets through) are written "Infinity",
// "-Infinity" and "NaN".
std::string numberToText(double value);

// Decimal digits with "-" before a negative value.
std::string wholeToText(std::int32_t value);

// Nearest whole number, halves to the even neighbour. Throws
// Failure(WholeOutOfRange) when the result does not fit in 32 bits (NaN too).
std::int32_t roundToWhole(double value);

} // namespace numtext
