// SPDX-License-Identifier: GPL-3.0-or-later
#include "numtext/Conversions.h"

#include "numtext/Failure.h"

#include <algorithm>
#include <array>
#include <cfenv>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

namespace numtext {
namespace {

// A value exactly halfway between two doubles has at most 767 significant
// decimal digits. Keeping a few more and standing in for all further digits
// with a single non-zero digit therefore rounds exactly as the full digit
// string would, while the text handed to std::from_chars stays short.
constexpr std::size_t keptDigits = 800;

// Any decimal exponent beyond this gives infinity or zero whatever the digits
// are; the exponent handed to from_chars is clamped to it.
constexpr std::int64_t exponentLimit = 100000;

// The written exponent saturates here instead. It must stay far above any
// count of mantissa digits it may have to offset ("9...9e-1048576" with a
// million nines is 1), yet well inside std::int64_t.
constexpr std::int64_t writtenExponentLimit = 1'000'000'000'000'000;

unsigned char byteAt(std::string_view text, std::size_t pos) {
    return pos < text.size() ? static_cast<unsigned char>(text[pos]) : 0;
}

// Length in bytes of the blank (space, tab, UTF-8 no-break space) at `pos`,
// 0 when there is none.
std::size_t blankLength(std::string_view text, std::size_t pos) {
    const unsigned char lead = byteAt(text, pos);
    if (lead == ' ' || lead == '\t')
        return 1;
    if (lead == 0xC2 && byteAt(text, pos + 1) == 0xA0)
        return 2;
    return 0;
}

std::size_t skipBlanks(std::string_view text, std::size_t pos) {
    while (const std::size_t length = blankLength(text, pos))
        pos += length;
    return pos;
}

struct Digit {
    int value;
    std::size_t length;
};

// The ASCII, Arabic-Indic (U+0660..U+0669) or extended Arabic-Indic
// (U+06F0..U+06F9) digit at `pos`. Stray or truncated UTF-8 bytes are simply
// not digits.
std::optional<Digit> digitAt(std::string_view text, std::size_t pos) {
    const unsigned char lead = byteAt(text, pos);
    if (lead >= '0' && lead <= '9')
        return Digit{lead - '0', 1};
    const unsigned char next = byteAt(text, pos + 1);
    if (lead == 0xD9 && next >= 0xA0 && next <= 0xA9)
        return Digit{next - 0xA0, 2};
    if (lead == 0xDB && next >= 0xB0 && next <= 0xB9)
        return Digit{next - 0xB0, 2};
    return std::nullopt;
}

// Length in bytes of the decimal point ("." or the Arabic decimal separator
// U+066B) at `pos`, 0 when there is none.
std::size_t pointLength(std::string_view text, std::size_t pos) {
    const unsigned char lead = byteAt(text, pos);
    if (lead == '.')
        return 1;
    if (lead == 0xD9 && byteAt(text, pos + 1) == 0xAB)
        return 2;
    return 0;
}

// A number found by the scanner, reduced to what its value depends on: the
// significant digits as ASCII (no leading zeros, at most keptDigits of them)
// and the decimal exponent of the first one, so that the value is
// d.ddd... * 10^exponent. The digits live in a fixed buffer with room behind
// them for the exponent, so that reading a number allocates nothing.
struct ScannedNumber {
    std::size_t end = 0; // one past the number's last byte
    bool negative = false;
    std::size_t digitCount = 0; // 0 when the value is zero
    bool moreNonZeroDigits = false;
    std::int64_t exponent = 0;
    // Digits, one stand-in digit and "e" with a 64-bit exponent fit.
    std::array<char, keptDigits + 32> digits;
};

// Reads a number starting exactly at `pos` following the shared grammar into
// `number`; false when there is none. Nothing is converted here, so that a
// strict conversion which fails on what follows the number leaves the
// floating-point flags alone.
bool scanNumber(std::string_view text, std::size_t pos, ScannedNumber& number) {
    const unsigned char sign = byteAt(text, pos);
    if (sign == '+' || sign == '-') {
        number.negative = sign == '-';
        ++pos;
    }

    std::int64_t mantissaDigits = 0;
    std::int64_t integerDigits = 0;
    std::int64_t firstSignificant = -1; // index among mantissaDigits
    bool seenPoint = false;
    for (;;) {
        if (const auto digit = digitAt(text, pos)) {
            if (firstSignificant < 0 && digit->value != 0)
                firstSignificant = mantissaDigits;
            if (firstSignificant >= 0) {
                if (number.digitCount < keptDigits)
                    number.digits[number.digitCount++] = static_cast<char>('0' + digit->value);
                else if (digit->value != 0)
                    number.moreNonZeroDigits = true;
            }
            ++mantissaDigits;
            if (!seenPoint)
                ++integerDigits;
            pos += digit->length;
        } else if (const std::size_t length = seenPoint ? 0 : pointLength(text, pos)) {
            seenPoint = true;
            pos += length;
        } else {
            break;
        }
    }
    if (mantissaDigits == 0)
        return false; // "", "+", ".", "-." and the like
    number.end = pos;

    // The exponent belongs to the number only when at least one digit follows
    // "e" and its sign; otherwise "5e" is the number 5 followed by other text.
    std::int64_t written = 0;
    const unsigned char marker = byteAt(text, pos);
    if (marker == 'e' || marker == 'E') {
        std::size_t at = pos + 1;
        bool negativeExponent = false;
        const unsigned char exponentSign = byteAt(text, at);
        if (exponentSign == '+' || exponentSign == '-') {
            negativeExponent = exponentSign == '-';
            ++at;
        }
        bool anyDigit = false;
        while (const auto digit = digitAt(text, at)) {
            anyDigit = true;
            written = std::min(written * 10 + digit->value, writtenExponentLimit);
            at += digit->length;
        }
        if (anyDigit) {
            number.end = at;
            if (negativeExponent)
                written = -written;
        } else {
            written = 0;
        }
    }

    if (firstSignificant >= 0) {
        const std::int64_t exponent = integerDigits - firstSignificant - 1 + written;
        number.exponent = std::clamp(exponent, -exponentLimit, exponentLimit);
    }
    return true;
}

double overflowed(bool negative) {
    // std::from_chars reports a result out of range without touching the
    // floating-point flags, yet a fault-checked step must see the overflow.
    std::feraiseexcept(FE_OVERFLOW);
    const double infinity = std::numeric_limits<double>::infinity();
    return negative ? -infinity : infinity;
}

double valueOf(ScannedNumber& number) {
    if (number.digitCount == 0)
        return number.negative ? -0.0 : 0.0;

    // The digits as a whole number and an exponent ("2064e-3"), written in
    // place behind the digits: the only form handed to from_chars, in which
    // nothing can be read as "inf", "nan" or hex, and from_chars never
    // consults the locale.
    char* const begin = number.digits.data();
    char* at = begin + number.digitCount;
    if (number.moreNonZeroDigits)
        *at++ = '1';
    const auto shownDigits = static_cast<std::int64_t>(at - begin);
    *at++ = 'e';
    at = std::to_chars(at, begin + number.digits.size(), number.exponent - (shownDigits - 1)).ptr;

    double magnitude = 0.0;
    const auto read = std::from_chars(begin, at, magnitude, std::chars_format::scientific);
    if (read.ec == std::errc::result_out_of_range) {
        // The first digit is non-zero, so the magnitude is at least 1 exactly
        // when the exponent is not negative: such a value can only be too
        // large. Too small is underflow, which gives zero and is no fault.
        if (number.exponent >= 0)
            return overflowed(number.negative);
        return number.negative ? -0.0 : 0.0;
    }
    if (std::isinf(magnitude))
        return overflowed(number.negative);
    return number.negative ? -magnitude : magnitude;
}

[[noreturn]] void notANumber() {
    throw Failure(FailureKind::NotANumber);
}

} // namespace

double lenientToNumber(std::string_view text) {
    ScannedNumber number;
    return scanNumber(text, skipBlanks(text, 0), number) ? valueOf(number) : 0.0;
}

double strictToNumber(std::string_view text) {
    ScannedNumber number;
    if (!scanNumber(text, skipBlanks(text, 0), number) ||
        skipBlanks(text, number.end) != text.size())
        notANumber();
    return valueOf(number);
}

std::string numberToText(double value) {
    if (std::isnan(value))
        return "NaN";
    if (std::isinf(value))
        return value < 0 ? "-Infinity" : "Infinity";
    if (value == 0)
        return "0"; // negative zero included

    // to_chars with precision 14 rounds correctly to 15 significant digits;
    // reading its decimal exponent afterwards sees any carry the rounding
    // produced (999999999999999.5 becomes 1.00000000000000e+15). It always
    // writes "d.dddddddddddddde" and a signed exponent of two or three digits.
    constexpr int precision = 14;
    std::array<char, 32> scientific{};
    const char* const scientificEnd =
        std::to_chars(scientific.data(), scientific.data() + scientific.size(), std::fabs(value),
                      std::chars_format::scientific, precision)
            .ptr;
    std::array<char, precision + 1> digits{}; // the 15 significant digits
    digits[0] = scientific[0];
    std::copy_n(scientific.data() + 2, precision, digits.data() + 1);
    const char* const exponentSign = scientific.data() + precision + 3; // after "d.", digits, "e"
    int exponent = 0;
    std::from_chars(exponentSign + 1, scientificEnd, exponent);
    if (*exponentSign == '-')
        exponent = -exponent;

    int count = precision + 1;
    while (digits[count - 1] == '0')
        --count; // the first digit is never 0
    char* const digitsEnd = digits.data() + count;

    // Longest text: "-d.ddddddddddddddE+308", 22 bytes.
    std::array<char, 32> text{};
    char* at = text.data();
    if (value < 0)
        *at++ = '-';
    // Decimal form needs count - exponent - 1 digits after the point.
    if (exponent >= 15 || count - exponent - 1 > 15) {
        *at++ = digits[0];
        if (count > 1) {
            *at++ = '.';
            at = std::copy(digits.data() + 1, digitsEnd, at);
        }
        *at++ = 'E';
        *at++ = exponent < 0 ? '-' : '+';
        const int magnitude = exponent < 0 ? -exponent : exponent;
        if (magnitude < 10)
            *at++ = '0';
        at = std::to_chars(at, text.data() + text.size(), magnitude).ptr;
    } else if (exponent < 0) {
        *at++ = '0';
        *at++ = '.';
        at = std::fill_n(at, -exponent - 1, '0');
        at = std::copy(digits.data(), digitsEnd, at);
    } else if (const int integerDigits = exponent + 1; count <= integerDigits) {
        at = std::copy(digits.data(), digitsEnd, at);
        at = std::fill_n(at, integerDigits - count, '0');
    } else {
        at = std::copy_n(digits.data(), integerDigits, at);
        *at++ = '.';
        at = std::copy(digits.data() + integerDigits, digitsEnd, at);
    }
    return std::string(text.data(), at);
}

std::string wholeToText(std::int32_t value) {
    std::array<char, 16> buffer{};
    const auto written = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    return std::string(buffer.data(), written.ptr);
}

std::int32_t roundToWhole(double value) {
    if (!std::isfinite(value))
        throw Failure(FailureKind::WholeOutOfRange);

    // Working on the magnitude keeps every step exact, so neither the current
    // rounding mode nor rint/nearbyint have a say: floor is exact, and for a
    // non-negative value the difference to its floor is exactly representable.
    const double magnitude = std::fabs(value);
    const double whole = std::floor(magnitude);
    const double fraction = magnitude - whole;
    double rounded = whole;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(whole, 2.0) != 0.0))
        rounded = whole + 1.0;
    if (value < 0)
        rounded = -rounded;

    constexpr double lowest = std::numeric_limits<std::int32_t>::min();
    constexpr double highest = std::numeric_limits<std::int32_t>::max();
    if (rounded < lowest || rounded > highest)
        throw Failure(FailureKind::WholeOutOfRange);
    return static_cast<std::int32_t>(rounded);
}

} // namespace numtext
