// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target for the numeric text conversions. Every input is read as
// a typed text and, byte for byte, as a source of doubles; for each the
// properties the handlers rely on are checked, and a violation aborts with a
// message so that libFuzzer keeps the input:
//  - the lenient conversion never throws and never gives NaN; within a
//    fault-checked step its reading fails as overflow exactly when it gives
//    an infinity, and passes its value on otherwise;
//  - both read what an independent reading of the documented grammar reads;
//  - where the strict conversion reads a number, the lenient one reads the
//    same bits; where it does not, it fails as NotANumber;
//  - blanks (any Unicode space separator) around a text change neither
//    conversion, and text after it never changes the lenient one;
//  - direction marks count as nothing wherever they are put, Unicode spaces
//    read as spaces and U+2212 as "-";
//  - Arabic-Indic and extended Arabic-Indic digits (and the Arabic decimal
//    separator) read exactly as the ASCII digits (and ".") they replace;
//  - the text of a finite double reads back, by both conversions, as the
//    double nearest to its value rounded to 15 significant digits (toward
//    zero where that would leave the double range), a finite number that is
//    written as the same text again;
//  - rounding to a whole number agrees with an integer-arithmetic reference
//    (nearest, ties to even) and fails exactly outside the 32-bit range.
#include "numtext/Conversions.h"
#include "numtext/Failure.h"
#include "numtext/FaultCheck.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

namespace {

[[noreturn]] void violated(const char* what, double value = 0) {
    char shown[40];
    const auto end = std::to_chars(shown, shown + sizeof shown - 1, value);
    *end.ptr = '\0';
    std::fprintf(stderr, "fuzz_numtext: %s (value %s)\n", what, shown);
    std::abort();
}

void require(bool holds, const char* what, double value = 0) {
    if (!holds)
        violated(what, value);
}

bool sameBits(double a, double b) {
    return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

// What both conversions make of one text.
struct Reading {
    double lenient = 0;
    bool strictReads = false;
    double strict = 0;

    bool operator==(const Reading& other) const {
        return sameBits(lenient, other.lenient) && strictReads == other.strictReads &&
               sameBits(strict, other.strict);
    }
};

// The direction marks and the Unicode space separators beyond U+00A0, as
// UTF-8, and the minus sign U+2212.
constexpr std::string_view kMarks[] = {"\u200E", "\u200F", "\u061C", "\u202A", "\u202B", "\u202C",
                                       "\u202D", "\u202E", "\u2066", "\u2067", "\u2068", "\u2069"};
constexpr std::string_view kSpaces[] = {"\u1680", "\u2000", "\u2001", "\u2002", "\u2003",
                                        "\u2004", "\u2005", "\u2006", "\u2007", "\u2008",
                                        "\u2009", "\u200A", "\u202F", "\u205F", "\u3000"};
constexpr std::string_view kMinusSign = "\u2212";

bool startsWithAny(std::string_view text, std::size_t at, const auto& candidates,
                   std::size_t& length) {
    for (const std::string_view candidate : candidates)
        if (text.substr(at).starts_with(candidate)) {
            length = candidate.size();
            return true;
        }
    return false;
}

// The documented grammar, read independently of the scanner under test: the
// marks are dropped, the multi-byte blanks, minus sign, digits and decimal
// separator are written as their ASCII counterparts, then the number is
// matched by hand and its value left to the C library's strtod, which rounds
// correctly however long the text.
std::string asAscii(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const auto next = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0;
        std::size_t length = 0;
        // Every mark, space and minus sign listed above begins with one of
        // these bytes; checking them first keeps the reference fast.
        const bool mayBeListed = lead == 0xD8 || (lead >= 0xE1 && lead <= 0xE3);
        if (mayBeListed && startsWithAny(text, i, kMarks, length)) {
            i += length - 1;
        } else if (mayBeListed && startsWithAny(text, i, kSpaces, length)) {
            out.push_back(' ');
            i += length - 1;
        } else if (mayBeListed && text.substr(i).starts_with(kMinusSign)) {
            out.push_back('-');
            i += kMinusSign.size() - 1;
        } else if (lead == '\t' || (lead == 0xC2 && next == 0xA0)) {
            out.push_back(' ');
            i += lead == 0xC2;
        } else if (lead == 0xD9 && next >= 0xA0 && next <= 0xA9) {
            out.push_back(static_cast<char>('0' + (next - 0xA0)));
            ++i;
        } else if (lead == 0xDB && next >= 0xB0 && next <= 0xB9) {
            out.push_back(static_cast<char>('0' + (next - 0xB0)));
            ++i;
        } else if (lead == 0xD9 && next == 0xAB) {
            out.push_back('.');
            ++i;
        } else {
            out.push_back(text[i]);
        }
    }
    return out;
}

std::size_t digitsFrom(std::string_view s, std::size_t pos) {
    std::size_t end = pos;
    while (end < s.size() && s[end] >= '0' && s[end] <= '9')
        ++end;
    return end - pos;
}

// Length of the longest number at the start of `s`, 0 when there is none.
std::size_t numberLength(std::string_view s) {
    std::size_t pos = !s.empty() && (s[0] == '+' || s[0] == '-') ? 1 : 0;
    const std::size_t integer = digitsFrom(s, pos);
    pos += integer;
    std::size_t fraction = 0;
    if (pos < s.size() && s[pos] == '.') {
        fraction = digitsFrom(s, pos + 1);
        if (integer + fraction > 0)
            pos += 1 + fraction;
    }
    if (integer + fraction == 0)
        return 0;
    if (pos < s.size() && (s[pos] == 'e' || s[pos] == 'E')) {
        std::size_t at = pos + 1;
        if (at < s.size() && (s[at] == '+' || s[at] == '-'))
            ++at;
        if (const std::size_t exponent = digitsFrom(s, at))
            pos = at + exponent;
    }
    return pos;
}

struct Expected {
    double value = 0;       // what the lenient conversion gives
    bool wholeText = false; // whether the strict conversion reads it
};

Expected expectedReading(std::string_view text) {
    const std::string ascii = asAscii(text);
    const std::size_t start = std::min(ascii.find_first_not_of(' '), ascii.size());
    const std::size_t length = numberLength(std::string_view(ascii).substr(start));
    if (length == 0)
        return {};
    const std::string number = ascii.substr(start, length);
    const std::size_t rest = std::min(ascii.find_first_not_of(' ', start + length), ascii.size());
    return {std::strtod(number.c_str(), nullptr), rest == ascii.size()};
}

// A fault-checked step that only reads `text` leniently fails as overflow
// exactly when the reading is infinite, and passes the value on otherwise.
void checkCheckedReading(std::string_view text, double lenient) {
    try {
        const double value = numtext::faultChecked(numtext::checkedLenientToNumber(text));
        require(!std::isinf(lenient), "a checked reading passed an infinity on", value);
        require(sameBits(value, lenient), "a checked reading changed the value", value);
    } catch (const numtext::Failure& failure) {
        require(failure.kind() == numtext::FailureKind::Overflow,
                "a checked reading failed with a kind other than Overflow", lenient);
        require(std::isinf(lenient), "a checked reading of a finite number failed", lenient);
    } catch (...) {
        violated("a checked reading threw something other than Failure");
    }
}

Reading read(std::string_view text) {
    Reading reading;
    try {
        reading.lenient = numtext::lenientToNumber(text);
    } catch (...) {
        violated("lenientToNumber threw");
    }
    require(!std::isnan(reading.lenient), "lenientToNumber gave NaN");

    try {
        reading.strict = numtext::strictToNumber(text);
        reading.strictReads = true;
    } catch (const numtext::Failure& failure) {
        require(failure.kind() == numtext::FailureKind::NotANumber,
                "strictToNumber failed with a kind other than NotANumber");
    } catch (...) {
        violated("strictToNumber threw something other than Failure");
    }
    if (reading.strictReads)
        require(sameBits(reading.strict, reading.lenient),
                "strictToNumber and lenientToNumber read different values", reading.strict);

    const Expected expected = expectedReading(text);
    require(sameBits(reading.lenient, expected.value),
            "lenientToNumber disagrees with the reference reading", expected.value);
    require(reading.strictReads == expected.wholeText,
            "strictToNumber disagrees with the reference on what is a number", reading.lenient);
    return reading;
}

enum class Script { ArabicIndic, ExtendedArabicIndic, Alternating };

// The text with every ASCII digit written in another script. Alternating
// switches script at each digit and also writes "." as U+066B.
std::string withArabicDigits(std::string_view text, Script script) {
    std::string out;
    out.reserve(text.size() * 2);
    bool extended = script == Script::ExtendedArabicIndic;
    for (const char c : text) {
        if (c >= '0' && c <= '9') {
            const auto digit = static_cast<unsigned char>(c - '0');
            out.push_back(static_cast<char>(extended ? 0xDB : 0xD9));
            out.push_back(static_cast<char>((extended ? 0xB0 : 0xA0) + digit));
            if (script == Script::Alternating)
                extended = !extended;
        } else if (c == '.' && script == Script::Alternating) {
            out += "\u066B";
        } else {
            out.push_back(c);
        }
    }
    return out;
}

// The text with a direction mark after every ASCII character (never inside a
// UTF-8 sequence), every space written as a Unicode space separator and every
// "-" as U+2212; `variant` picks which mark and which space go where.
std::string withUnicodeMarks(std::string_view text, std::size_t variant) {
    std::string out;
    out.reserve(text.size() * 4);
    for (const char c : text) {
        ++variant;
        if (c == ' ')
            out += kSpaces[variant % std::size(kSpaces)];
        else if (c == '-')
            out += kMinusSign;
        else
            out.push_back(c);
        if (static_cast<unsigned char>(c) < 0x80)
            out += kMarks[variant % std::size(kMarks)];
    }
    return out;
}

void checkTextProperties(std::string_view text) {
    const Reading reading = read(text);
    checkCheckedReading(text, reading.lenient);

    const std::string owned(text);
    require(read(" " + owned + "\u00A0\t") == reading, "blanks around the text changed a reading");
    require(read("\u3000\u200F" + owned + "\u2003\u202F\u2069") == reading,
            "Unicode spaces and marks around the text changed a reading");
    require(read(withUnicodeMarks(text, text.size())) == reading,
            "marks, Unicode spaces or U+2212 changed a reading", reading.lenient);
    const Reading followed = read(owned + "#");
    require(sameBits(followed.lenient, reading.lenient),
            "text after the number changed the lenient reading", followed.lenient);
    require(!followed.strictReads, "strictToNumber accepted a text ending in '#'");

    if (text.find_first_of("0123456789.") == std::string_view::npos)
        return;
    for (const Script script :
         {Script::ArabicIndic, Script::ExtendedArabicIndic, Script::Alternating})
        require(read(withArabicDigits(text, script)) == reading,
                "Arabic digits read differently from ASCII digits", reading.lenient);
}

// The value numberToText(value) must read back as: the double nearest to
// value rounded to 15 significant digits, or where that leaves the double
// range, the last 15-digit number inside it. to_chars does the rounding and
// the C library's strtod the reading, which shares no code with the
// conversions.
double roundedTo15Digits(double value) {
    if (value == 0)
        return 0.0; // negative zero is written "0"
    char buffer[48];
    const auto written =
        std::to_chars(buffer, buffer + sizeof buffer - 1, value, std::chars_format::scientific, 14);
    *written.ptr = '\0';
    const double rounded = std::strtod(buffer, nullptr);
    if (std::isinf(rounded))
        return std::copysign(1.79769313486231e308, value);
    return rounded;
}

void checkNumberToText(double value) {
    if (!std::isfinite(value))
        return;
    std::string text;
    try {
        text = numtext::numberToText(value);
    } catch (...) {
        violated("numberToText threw", value);
    }

    // Shape: an optional "-", then decimal form with at most 15 digits before
    // and after the point, or exponent form "d.dddE+xx" with at most 15
    // digits, used only where decimal form would need an exponent of 15 or
    // more or more than 15 digits after the point. No trailing zero after a
    // point, no point at the end.
    const std::string_view written(text);
    const std::size_t marker = written.find('E');
    std::string_view mantissa = written.substr(0, marker);
    if (!mantissa.empty() && mantissa.front() == '-')
        mantissa.remove_prefix(1);
    const std::size_t point = std::min(mantissa.find('.'), mantissa.size());
    const std::string_view integerPart = mantissa.substr(0, point);
    const std::string_view fractionPart = mantissa.substr(std::min(point + 1, mantissa.size()));
    require(!integerPart.empty() && integerPart.size() <= 15 && fractionPart.size() <= 15 &&
                integerPart.find_first_not_of("0123456789") == std::string_view::npos &&
                fractionPart.find_first_not_of("0123456789") == std::string_view::npos,
            "numberToText wrote a malformed number", value);
    require(point == mantissa.size() || (mantissa.back() != '0' && mantissa.back() != '.'),
            "numberToText wrote a trailing zero or point", value);
    if (marker != std::string_view::npos) {
        int exponent = 0;
        const std::string_view exponentText = written.substr(marker + 1);
        const auto parsed = std::from_chars(exponentText.data() + 1,
                                            exponentText.data() + exponentText.size(), exponent);
        require(integerPart.size() == 1 && integerPart != "0" && exponentText.size() >= 3 &&
                    (exponentText.front() == '+' || exponentText.front() == '-') &&
                    parsed.ptr == exponentText.data() + exponentText.size(),
                "numberToText wrote a malformed exponent form", value);
        if (exponentText.front() == '-')
            exponent = -exponent;
        const int significant = 1 + static_cast<int>(fractionPart.size());
        require(exponent >= 15 || significant - exponent - 1 > 15,
                "numberToText chose exponent form where decimal form fits", value);
    }

    const double expected = roundedTo15Digits(value);
    const Reading back = read(text);
    require(back.strictReads, "strictToNumber refused a text written by numberToText", value);
    require(sameBits(back.lenient, expected),
            "the text of a number does not read back as its 15-digit rounding", value);
    require(std::isfinite(back.lenient), "the text of a finite number reads back as infinity",
            value);
    require(numtext::numberToText(back.lenient) == text,
            "the number a text reads back as is written differently", value);
}

// Nearest whole number with ties to even, in integer arithmetic on the bits of
// the double; nothing when it lies outside the signed 32-bit range.
std::optional<std::int32_t> referenceWhole(double value) {
    if (!std::isfinite(value))
        return std::nullopt;
    const auto bits = std::bit_cast<std::uint64_t>(value);
    const bool negative = (bits >> 63) != 0;
    const int biased = static_cast<int>((bits >> 52) & 0x7FF);
    const std::uint64_t fraction = bits & ((std::uint64_t{1} << 52) - 1);
    // value = mantissa * 2^exponent, exactly.
    const std::uint64_t mantissa = biased == 0 ? fraction : fraction | (std::uint64_t{1} << 52);
    const int exponent = biased == 0 ? -1074 : biased - 1075;

    std::uint64_t whole = 0;
    if (exponent >= 0) {
        if (mantissa != 0)
            return std::nullopt; // at least 2^52
    } else if (exponent > -64) {
        const int shift = -exponent;
        whole = mantissa >> shift;
        const std::uint64_t rest = mantissa & ((std::uint64_t{1} << shift) - 1);
        const std::uint64_t half = std::uint64_t{1} << (shift - 1);
        if (rest > half || (rest == half && (whole & 1) != 0))
            ++whole;
    } // else below 2^53 * 2^-64: rounds to 0

    const std::int64_t rounded =
        negative ? -static_cast<std::int64_t>(whole) : static_cast<std::int64_t>(whole);
    if (rounded < std::numeric_limits<std::int32_t>::min() ||
        rounded > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return static_cast<std::int32_t>(rounded);
}

void checkRoundToWhole(double value) {
    const std::optional<std::int32_t> expected = referenceWhole(value);
    try {
        const std::int32_t whole = numtext::roundToWhole(value);
        require(expected.has_value(), "roundToWhole accepted a value outside the range", value);
        require(whole == *expected, "roundToWhole rounded differently from the reference", value);
    } catch (const numtext::Failure& failure) {
        require(failure.kind() == numtext::FailureKind::WholeOutOfRange,
                "roundToWhole failed with a kind other than WholeOutOfRange", value);
        require(!expected.has_value(), "roundToWhole refused a value inside the range", value);
    } catch (...) {
        violated("roundToWhole threw something other than Failure", value);
    }
}

void checkNumber(double value) {
    checkNumberToText(value);
    checkRoundToWhole(value);
}

double doubleAt(const std::uint8_t* data) {
    std::uint64_t bits = 0;
    std::memcpy(&bits, data, sizeof bits);
    return std::bit_cast<double>(bits);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    checkTextProperties(text);

    // The number the text reads as, and its neighbours, reach the interesting
    // boundaries (halves, the 32-bit limits, 15-digit carries) far more often
    // than raw bit patterns do.
    const double typed = numtext::lenientToNumber(text);
    const double infinity = std::numeric_limits<double>::infinity();
    checkNumber(typed);
    checkNumber(std::nextafter(typed, infinity));
    checkNumber(std::nextafter(typed, -infinity));
    if (size >= 8) {
        checkNumber(doubleAt(data));
        checkNumber(doubleAt(data + size - 8));
    }
    return 0;
}
