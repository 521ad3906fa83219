// SPDX-License-Identifier: GPL-3.0-or-later
#include "numtext/Conversions.h"

#include "numtext/Failure.h"

#include <fmt/compile.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

namespace numtext {
namespace {

// One character of a typed text as the number grammar sees it: its ASCII
// stand-in ("0".."9", ".", "-", " " for every blank, itself for other ASCII)
// and its length in bytes. `ignored` marks the direction marks, which count
// as nothing at all.
struct Unit {
    char ascii = '\0';
    std::size_t length = 0;
    bool ignored = false;
};

// Stands in for every character that can take no part in a number,
// including stray or truncated UTF-8 bytes and NUL.
constexpr char otherCharacter = '\x7f';

unsigned char byteAt(std::string_view text, std::size_t pos) {
    return pos < text.size() ? static_cast<unsigned char>(text[pos]) : 0;
}

// The characters the grammar knows are matched as exact UTF-8 byte
// sequences, so an overlong or broken encoding is never mistaken for one.
Unit unitAt(std::string_view text, std::size_t pos) {
    const unsigned char lead = byteAt(text, pos);
    if (lead < 0x80) {
        if (lead == '\t')
            return {' ', 1};
        return {lead == 0 ? otherCharacter : static_cast<char>(lead), 1};
    }
    const unsigned char second = byteAt(text, pos + 1);
    switch (lead) {
    case 0xC2: // U+00A0 no-break space
        if (second == 0xA0)
            return {' ', 2};
        break;
    case 0xD8: // U+061C Arabic letter mark
        if (second == 0x9C)
            return {'\0', 2, true};
        break;
    case 0xD9: // U+0660..U+0669 Arabic-Indic digits, U+066B Arabic decimal separator
        if (second >= 0xA0 && second <= 0xA9)
            return {static_cast<char>('0' + (second - 0xA0)), 2};
        if (second == 0xAB)
            return {'.', 2};
        break;
    case 0xDB: // U+06F0..U+06F9 extended Arabic-Indic digits
        if (second >= 0xB0 && second <= 0xB9)
            return {static_cast<char>('0' + (second - 0xB0)), 2};
        break;
    case 0xE1: // U+1680 Ogham space mark
        if (second == 0x9A && byteAt(text, pos + 2) == 0x80)
            return {' ', 3};
        break;
    case 0xE2: {
        const unsigned char third = byteAt(text, pos + 2);
        if (second == 0x80) {
            if (third >= 0x80 && third <= 0x8A) // U+2000..U+200A spaces
                return {' ', 3};
            if (third == 0x8E || third == 0x8F) // U+200E, U+200F
                return {'\0', 3, true};
            if (third >= 0xAA && third <= 0xAE) // U+202A..U+202E
                return {'\0', 3, true};
            if (third == 0xAF) // U+202F narrow no-break space
                return {' ', 3};
        } else if (second == 0x81) {
            if (third == 0x9F) // U+205F medium mathematical space
                return {' ', 3};
            if (third >= 0xA6 && third <= 0xA9) // U+2066..U+2069
                return {'\0', 3, true};
        } else if (second == 0x88 && third == 0x92) { // U+2212 minus sign
            return {'-', 3};
        }
        break;
    }
    case 0xE3: // U+3000 ideographic space
        if (second == 0x80 && byteAt(text, pos + 2) == 0x80)
            return {' ', 3};
        break;
    default:
        break;
    }
    return {otherCharacter, 1};
}

// Walks a text one grammar character at a time, stepping over direction
// marks, so that the grammar below never sees them. Copyable, so that the
// reader can go back to where an incomplete exponent began.
class Cursor {
  public:
    explicit Cursor(std::string_view text) : m_text(text) { settle(); }

    // The current character's ASCII stand-in, '\0' at the end of the text.
    char peek() const { return m_current.ascii; }
    bool atEnd() const { return m_pos >= m_text.size(); }
    void advance() {
        m_pos += m_current.length;
        settle();
    }
    void skipBlanks() {
        while (peek() == ' ')
            advance();
    }

  private:
    void settle() {
        for (;;) {
            if (atEnd()) {
                m_current = {};
                return;
            }
            m_current = unitAt(m_text, m_pos);
            if (!m_current.ignored)
                return;
            m_pos += m_current.length;
        }
    }

    std::string_view m_text;
    std::size_t m_pos = 0;
    Unit m_current;
};

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// The digits of one number, without its sign or point, for std::strtod to
// read. Typed numbers fit the inline buffer, so reading them allocates
// nothing; only a number longer than that (a pasted megabyte of digits) goes
// to the heap. A std::string would allocate for any number of more than 15
// characters, and the conversion bench measured it 15 to 25 % slower.
class AsciiNumber {
  public:
    void push(char c) {
        if (m_size < m_inline.size())
            m_inline[m_size] = c;
        else {
            if (m_size == m_inline.size())
                m_heap.assign(m_inline.data(), m_inline.size());
            m_heap.push_back(c);
        }
        ++m_size;
    }
    const char* data() const { return m_size > m_inline.size() ? m_heap.data() : m_inline.data(); }

  private:
    std::array<char, 64> m_inline{};
    std::string m_heap;
    std::size_t m_size = 0;
};

// Beyond this a decimal exponent gives infinity or zero whatever the digits
// before it (no text holds 10^15 digits), so a longer one is cut to it.
constexpr long long exponentLimit = 1'000'000'000'000'000;

// Reads one number at the cursor by the shared grammar and leaves the cursor
// behind it; nothing when there is none. The C library's strtod rounds
// correctly however long the text, and costs the browser build no tables of
// its own. It is handed only digits and an exponent ("12.5e3" goes as
// "125e2"), so it sees nothing it could read as "inf", "nan" or hex, and no
// decimal point, the one thing the locale could change.
std::optional<double> readNumber(Cursor& cursor) {
    bool negative = false;
    if (cursor.peek() == '+' || cursor.peek() == '-') {
        negative = cursor.peek() == '-';
        cursor.advance();
    }
    AsciiNumber ascii;
    // The digits as an integer too, while they fit one exactly: what the
    // fast path below needs.
    std::uint64_t mantissa = 0;
    bool mantissaExact = true;
    const auto take = [&] {
        const char digit = cursor.peek();
        ascii.push(digit);
        if (mantissa > (std::numeric_limits<std::uint64_t>::max() - 9) / 10)
            mantissaExact = false;
        else
            mantissa = mantissa * 10 + static_cast<unsigned>(digit - '0');
        cursor.advance();
    };
    std::size_t digits = 0;
    for (; isDigit(cursor.peek()); ++digits)
        take();
    std::size_t fractionDigits = 0;
    if (cursor.peek() == '.') {
        cursor.advance();
        for (; isDigit(cursor.peek()); ++fractionDigits)
            take();
    }
    if (digits + fractionDigits == 0)
        return std::nullopt; // "", "+", ".", "-." and the like

    // An exponent belongs to the number only when at least one digit follows
    // "e" and its sign; otherwise "5e" is the number 5 followed by other text.
    long long exponent = 0;
    if (cursor.peek() == 'e' || cursor.peek() == 'E') {
        const Cursor beforeExponent = cursor;
        cursor.advance();
        bool negativeExponent = false;
        if (cursor.peek() == '+' || cursor.peek() == '-') {
            negativeExponent = cursor.peek() == '-';
            cursor.advance();
        }
        if (!isDigit(cursor.peek()))
            cursor = beforeExponent;
        for (; isDigit(cursor.peek()); cursor.advance())
            exponent = std::min(exponent * 10 + (cursor.peek() - '0'), exponentLimit);
        if (negativeExponent)
            exponent = -exponent;
    }
    exponent -= std::min(static_cast<long long>(fractionDigits), exponentLimit);

    // Most typed numbers: at most 2^53 and a power of ten up to 10^22 are
    // both exact doubles, so one multiplication or division, which IEEE
    // arithmetic rounds correctly, gives the correctly rounded value
    // (Clinger's fast path). It needs arithmetic done in double itself.
    constexpr std::array<double, 23> powersOfTen = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                                    1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                                    1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    if (FLT_EVAL_METHOD == 0 && std::numeric_limits<double>::is_iec559 && mantissaExact &&
        mantissa <= (std::uint64_t{1} << 53) && exponent >= -22 && exponent <= 22) {
        const double exact = static_cast<double>(mantissa);
        const double magnitude =
            exponent < 0 ? exact / powersOfTen[-exponent] : exact * powersOfTen[exponent];
        return negative ? -magnitude : magnitude;
    }

    ascii.push('e');
    std::array<char, 24> exponentText{};
    const char* const exponentEnd =
        std::to_chars(exponentText.data(), exponentText.data() + exponentText.size(), exponent).ptr;
    for (const char* at = exponentText.data(); at != exponentEnd; ++at)
        ascii.push(*at);
    ascii.push('\0');
    // Beyond the double range the magnitude is infinity, which tells a
    // fault-checked step that the reading overflowed; too small gives zero,
    // which is no fault.
    const double magnitude = std::strtod(ascii.data(), nullptr);
    return negative ? -magnitude : magnitude;
}

constexpr int significantDigits = 15;
using Digits = std::array<char, significantDigits>;

// A natural number of up to 1024 bits, for the few roundings that a
// double's shortest digits leave open. The largest it is given here is a
// denormal's significand times 5^338, below 2^837.
class BigNumber {
  public:
    explicit BigNumber(std::uint64_t value) {
        m_limbs[0] = static_cast<std::uint32_t>(value);
        m_limbs[1] = static_cast<std::uint32_t>(value >> 32);
    }

    void multiplyByPowerOfFive(int exponent) {
        constexpr std::uint32_t fiveTo13 = 1'220'703'125; // the largest power of 5 below 2^32
        for (; exponent >= 13; exponent -= 13)
            multiply(fiveTo13);
        std::uint32_t factor = 1;
        for (; exponent > 0; --exponent)
            factor *= 5;
        multiply(factor);
    }

    void shiftLeft(int bits) {
        const int limbs = bits / 32;
        const int rest = bits % 32;
        for (int i = limbCount - 1; i >= 0; --i) {
            const int from = i - limbs;
            std::uint32_t limb = from >= 0 ? m_limbs[from] << rest : 0;
            if (rest > 0 && from >= 1)
                limb |= m_limbs[from - 1] >> (32 - rest);
            m_limbs[i] = limb;
        }
    }

    bool bit(int index) const { return (m_limbs[index / 32] >> (index % 32) & 1) != 0; }

    // -1, 0 or 1 as this number is below, equal to or above `other`.
    int compare(const BigNumber& other) const {
        for (int i = limbCount - 1; i >= 0; --i)
            if (m_limbs[i] != other.m_limbs[i])
                return m_limbs[i] < other.m_limbs[i] ? -1 : 1;
        return 0;
    }

  private:
    void multiply(std::uint32_t factor) {
        std::uint64_t carry = 0;
        for (std::uint32_t& limb : m_limbs) {
            const std::uint64_t product = std::uint64_t{limb} * factor + carry;
            limb = static_cast<std::uint32_t>(product);
            carry = product >> 32;
        }
    }

    static constexpr int limbCount = 32;
    std::array<std::uint32_t, limbCount> m_limbs{};
};

// -1, 0 or 1 as significand * 2^binaryExponent is below, equal to or above
// decimal * 10^decimalExponent, computed exactly. For a normal double and a
// 16-digit decimal within half an ulp of it, neither side reaches 2^805.
int compareExactly(std::uint64_t significand, int binaryExponent, std::uint64_t decimal,
                   int decimalExponent) {
    BigNumber binary(significand);
    BigNumber tens(decimal);
    if (decimalExponent >= 0)
        tens.multiplyByPowerOfFive(decimalExponent);
    else
        binary.multiplyByPowerOfFive(-decimalExponent);
    // What is left is 2^binaryExponent on one side and 2^decimalExponent on the other.
    if (binaryExponent >= decimalExponent)
        binary.shiftLeft(binaryExponent - decimalExponent);
    else
        tens.shiftLeft(decimalExponent - binaryExponent);
    return binary.compare(tens);
}

// The 15 significant digits of the denormal significand * 2^-1074,
// correctly rounded (ties to even), into `digits`; returns the decimal
// exponent of the first one. The value times 10^p is
// significand * 5^p / 2^(1074 - p), which for the right p has 15 digits
// before the point.
int roundDenormal(std::uint64_t significand, Digits& digits) {
    constexpr std::uint64_t smallest15 = 100'000'000'000'000;
    // The value lies in [2^(width - 1075), 2^(width - 1074)), a span of less
    // than one decade: its decimal exponent is the floor of (width - 1075)
    // * log10(2) (which that product in double gives for every width), or
    // one more, when this p leaves 16 digits and the next lower one is right.
    const int width = static_cast<int>(std::bit_width(significand));
    for (int p = 14 - static_cast<int>(std::floor((width - 1075) * 0.30102999566398120));; --p) {
        BigNumber scaled(significand);
        scaled.multiplyByPowerOfFive(p);
        const int point = 1074 - p; // the bit that stands for 1 after the division
        std::uint64_t whole = 0;
        for (int bit = point + 63; bit >= point; --bit)
            whole = whole << 1 | static_cast<std::uint64_t>(scaled.bit(bit));
        if (whole >= 10 * smallest15)
            continue;
        const bool half = scaled.bit(point - 1);
        bool aboveHalf = false;
        for (int bit = point - 2; bit >= 0 && !aboveHalf; --bit)
            aboveHalf = scaled.bit(bit);
        int exponent = 14 - p;
        if (half && (aboveHalf || whole % 2 == 1) && ++whole == 10 * smallest15) {
            whole = smallest15;
            ++exponent;
        }
        std::to_chars(digits.data(), digits.data() + digits.size(), whole);
        return exponent;
    }
}

// The shortest digits that read back as a double, at most 17, and the
// decimal exponent of the first one. {fmt} documents its default format of
// a double as these digits, correctly rounded: of all that short, the ones
// nearest to the value.
struct ShortestDigits {
    std::array<char, 17> digits{};
    int count = 0;
    int exponent = 0;
};

// The shortest digits of a positive normal double, taken from {fmt}'s text
// of it: "2179", "21.79", "0.002179", "2.179e-05" or "1e+20".
ShortestDigits shortestDigits(double magnitude) {
    std::array<char, 32> buffer{}; // the longest is "2.2250738585072014e-308"
    const char* const text = buffer.data();
    const char* const end = fmt::format_to(buffer.data(), FMT_COMPILE("{}"), magnitude);
    ShortestDigits shortest;
    // The exponent of a double has at most three digits, so an "e" stands
    // among the last five characters.
    const char* const e = std::find(end - std::min<std::ptrdiff_t>(end - text, 5), end, 'e');
    if (e != end) { // a sign and digits follow (std::from_chars would add 0.5 kB to the wasm)
        const char* at = e + 1;
        const bool negative = *at == '-';
        if (*at == '-' || *at == '+')
            ++at;
        for (; at != end; ++at)
            shortest.exponent = shortest.exponent * 10 + (*at - '0');
        if (negative)
            shortest.exponent = -shortest.exponent;
    }

    const char* const point = std::find(text, e, '.');
    std::string_view whole(text, static_cast<std::size_t>(point - text));
    std::string_view fraction;
    if (point != e)
        fraction = std::string_view(point + 1, static_cast<std::size_t>(e - point - 1));
    if (whole == "0") { // "0.002179": the zeros after the point only place the digits
        const std::size_t zeros = std::min(fraction.find_first_not_of('0'), fraction.size());
        shortest.exponent -= static_cast<int>(zeros) + 1;
        whole = fraction.substr(zeros);
        fraction = {};
    } else {
        shortest.exponent += static_cast<int>(whole.size()) - 1;
    }
    const std::size_t wholeCount = whole.copy(shortest.digits.data(), shortest.digits.size());
    const std::size_t fractionCount =
        fraction.copy(shortest.digits.data() + wholeCount, shortest.digits.size() - wholeCount);
    shortest.count = static_cast<int>(wholeCount + fractionCount);
    while (shortest.count > 1 && shortest.digits[shortest.count - 1] == '0')
        --shortest.count; // "123400000"
    return shortest;
}

// The magnitude's 15 significant digits, correctly rounded (ties to even),
// into `digits`; returns the decimal exponent of the first one. {fmt} gives
// the shortest digits, with its format string compiled into the program
// (FMT_COMPILE): its run-time format-string machinery would nearly double
// the browser's wasm. Its formatting to a precision would bring in its other
// float formats too and, through them, the C library's printf (a third
// more), so the rounding to 15 digits is done here. The standard
// std::to_chars for doubles would serve for both, but Emscripten's libc++
// lacks it.
int roundTo15Digits(double magnitude, Digits& digits) {
    // Whole numbers below 10^15, most of what the program writes, have at
    // most 15 digits, all exact: they are their own rounding.
    if (magnitude < 1e15) {
        if (const auto whole = static_cast<std::uint64_t>(magnitude);
            static_cast<double>(whole) == magnitude) {
            char* const end =
                std::to_chars(digits.data(), digits.data() + digits.size(), whole).ptr;
            std::fill(end, digits.data() + digits.size(), '0');
            return static_cast<int>(end - digits.data()) - 1;
        }
    }

    static_assert(std::numeric_limits<double>::is_iec559, "IEEE doubles");
    std::uint64_t bits = 0; // std::bit_cast, which Emscripten's libc++ lacks
    std::memcpy(&bits, &magnitude, sizeof bits);
    const int biasedExponent = static_cast<int>(bits >> 52); // no sign bit: positive
    const std::uint64_t fractionBits = bits & ((std::uint64_t{1} << 52) - 1);
    // A denormal's shortest digits can be far fewer than 15 while its
    // 15-digit rounding needs them all ("5E-324" against 4.94065645841247E-324).
    if (biasedExponent == 0)
        return roundDenormal(fractionBits, digits);

    const ShortestDigits shortest = shortestDigits(magnitude);
    digits.fill('0');
    std::copy_n(shortest.digits.begin(), std::min(shortest.count, significantDigits),
                digits.begin());
    int exponent = shortest.exponent;
    // The shortest digits lie within half an ulp of the value. For a normal
    // double with at most 15 of them they are also the correct 15-digit
    // rounding, as neighbouring 15-digit numbers are more than 4 ulps apart.
    if (shortest.count <= significantDigits)
        return exponent;

    // Longer ones are rounded at their 16th digit. The values halfway
    // between two 15-digit numbers have 16 digits, the last a 5. With 17
    // shortest digits none of them reads back as the value, so none lies
    // between the value and its digits (all between read back as it): both
    // round alike. With 16, the digits are the nearest 16-digit number to
    // the value, so no halfway value lies strictly between them either; but
    // when they are one, only exact arithmetic tells on which side of it the
    // value is.
    const char next = shortest.digits[significantDigits];
    bool up = next > '5' || (next == '5' && shortest.count == 17);
    if (next == '5' && shortest.count == 16) {
        std::uint64_t decimal = 0;
        for (int i = 0; i < 16; ++i)
            decimal = decimal * 10 + static_cast<unsigned>(shortest.digits[i] - '0');
        const int side = compareExactly(fractionBits | std::uint64_t{1} << 52,
                                        biasedExponent - 1075, decimal, exponent - 15);
        up = side > 0 || (side == 0 && (digits[significantDigits - 1] - '0') % 2 == 1);
    }
    if (up) {
        int i = significantDigits - 1;
        for (; i >= 0 && digits[i] == '9'; --i)
            digits[i] = '0';
        if (i >= 0) {
            ++digits[i];
        } else { // 999999999999999|5 and above: 1 followed by zeros
            digits[0] = '1';
            ++exponent;
        }
    }
    return exponent;
}

// The largest double is 1.7976931348623157E+308; rounded to 15 digits it
// would become 1.79769313486232E+308, which lies beyond the double range and
// could never be read back. Every double that rounds above the last 15-digit
// text inside the range lies between that text and the largest double, so
// rounding toward zero there gives exactly that text.
constexpr std::string_view largestDigits = "179769313486231";
constexpr int largestExponent = 308;

} // namespace

double lenientToNumber(std::string_view text) {
    Cursor cursor(text);
    cursor.skipBlanks();
    return readNumber(cursor).value_or(0.0);
}

double strictToNumber(std::string_view text) {
    Cursor cursor(text);
    cursor.skipBlanks();
    const std::optional<double> number = readNumber(cursor);
    cursor.skipBlanks();
    if (!number || !cursor.atEnd())
        throw Failure(FailureKind::NotANumber);
    return *number;
}

std::string numberToText(double value) {
    if (std::isnan(value))
        return "NaN";
    if (std::isinf(value))
        return value < 0 ? "-Infinity" : "Infinity";
    if (value == 0)
        return "0"; // negative zero included

    Digits digits;
    const int exponent = roundTo15Digits(std::fabs(value), digits);
    if (exponent == largestExponent &&
        std::string_view(digits.data(), digits.size()) > largestDigits)
        std::copy(largestDigits.begin(), largestDigits.end(), digits.begin());

    int count = significantDigits;
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
