// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target for the numeric text conversions. Every input is read as
// a typed text and, byte for byte, as a source of doubles; for each the
// properties the handlers rely on are checked, and a violation aborts with a
// message so that libFuzzer keeps the input:
//  - the lenient conversion never throws and never gives NaN, and raises the
//    overflow flag exactly when it gives an infinity, no other fault flag;
//  - both read what an independent reading of the documented grammar reads;
//  - where the strict conversion reads a number, the lenient one reads the
//    same bits; where it does not, it fails as NotANumber and leaves the
//    fault flags alone;
//  - blanks around a text change neither conversion, and text after it never
//    changes the lenient one;
//  - Arabic-Indic and extended Arabic-Indic digits (and the Arabic decimal
//    separator) read exactly as the ASCII digits (and ".") they replace;
//  - the text of a finite double reads back, by both conversions, as the
//    double nearest to its value rounded to 15 significant digits;
//  - rounding to a whole number agrees with an integer-arithmetic reference
//    (nearest, ties to even) and fails exactly outside the 32-bit range.
#include "numtext/Conversions.h"
#include "numtext/Failure.h"

#include <algorithm>
#include <bit>
#include <cfenv>
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

constexpr int faultFlags = FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW;

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

// What both conversions make of one text, with the fault flags each raised.
struct Reading {
    double lenient = 0;
    int lenientFlags = 0;
    bool strictReads = false;
    double strict = 0;
    int strictFlags = 0;

    bool operator==(const Reading& other) const {
        return sameBits(lenient, other.lenient) && lenientFlags == other.lenientFlags &&
               strictReads == other.strictReads && sameBits(strict, other.strict) &&
               strictFlags == other.strictFlags;
    }
};

// The documented grammar, read independently of the scanner under test: the
// two-byte blanks, digits and decimal separator are first written as their
// ASCII counterparts, then the number is matched by hand and its value left
// to the C library's strtod, which rounds correctly however long the text.
std::string asAscii(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const auto next = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0;
        if (lead == '\t' || (lead == 0xC2 && next == 0xA0)) {
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

Reading read(std::string_view text) {
    Reading reading;
    std::feclearexcept(FE_ALL_EXCEPT);
    try {
        reading.lenient = numtext::lenientToNumber(text);
    } catch (...) {
        violated("lenientToNumber threw");
    }
    reading.lenientFlags = std::fetestexcept(faultFlags);
    require(!std::isnan(reading.lenient), "lenientToNumber gave NaN");
    require((reading.lenientFlags & ~FE_OVERFLOW) == 0,
            "lenientToNumber raised invalid or division by zero", reading.lenient);
    require((reading.lenientFlags == FE_OVERFLOW) == std::isinf(reading.lenient),
            "lenientToNumber: overflow flag and infinity disagree", reading.lenient);

    std::feclearexcept(FE_ALL_EXCEPT);
    try {
        reading.strict = numtext::strictToNumber(text);
        reading.strictReads = true;
    } catch (const numtext::Failure& failure) {
        require(failure.kind() == numtext::FailureKind::NotANumber,
                "strictToNumber failed with a kind other than NotANumber");
    } catch (...) {
        violated("strictToNumber threw something other than Failure");
    }
    reading.strictFlags = std::fetestexcept(faultFlags);
    if (reading.strictReads) {
        require(sameBits(reading.strict, reading.lenient),
                "strictToNumber and lenientToNumber read different values", reading.strict);
        require(reading.strictFlags == reading.lenientFlags,
                "strictToNumber and lenientToNumber raised different flags", reading.strict);
    } else {
        require(reading.strictFlags == 0, "a failed strictToNumber raised a fault flag");
    }

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

void checkTextProperties(std::string_view text) {
    const Reading reading = read(text);

    const std::string owned(text);
    require(read(" " + owned + "\u00A0\t") == reading, "blanks around the text changed a reading");
    const Reading followed = read(owned + "#");
    require(sameBits(followed.lenient, reading.lenient) &&
                followed.lenientFlags == reading.lenientFlags,
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
// value rounded to 15 significant digits. to_chars does the rounding and the
// C library's strtod the reading, which shares no code with the conversions.
double roundedTo15Digits(double value) {
    if (value == 0)
        return 0.0; // negative zero is written "0"
    char buffer[48];
    const auto written =
        std::to_chars(buffer, buffer + sizeof buffer - 1, value, std::chars_format::scientific, 14);
    *written.ptr = '\0';
    return std::strtod(buffer, nullptr);
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
    if (std::isfinite(expected))
        require(numtext::numberToText(expected) == text,
                "the 15-digit rounding of a number is written differently", value);
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
