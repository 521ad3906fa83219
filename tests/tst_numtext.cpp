// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/FailureMessages.h"
#include "numtext/Conversions.h"
#include "numtext/Failure.h"
#include "numtext/FaultCheck.h"

#include <QtTest>

#include <bit>
#include <cfenv>
#include <cfloat>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <limits>
#include <locale>
#include <random>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

using numtext::Failure;
using numtext::FailureKind;

Q_DECLARE_METATYPE(numtext::FailureKind)

namespace numtext {
// Lets QCOMPARE name the kinds it compares.
char* toString(FailureKind kind) {
    return qstrdup(std::string(app::failureMessage(kind)).c_str());
}
} // namespace numtext

namespace {

constexpr double infinity = std::numeric_limits<double>::infinity();
constexpr double denormMin = std::numeric_limits<double>::denorm_min();

// QCOMPARE compares doubles fuzzily; conversions must be exact to the bit,
// the sign of zero included.
bool sameBits(double a, double b) {
    return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

// Shortest exact text of a double, for messages; unlike printf it ignores the
// locale, which the comma-locale pass changes.
QByteArray show(double value) {
    char buffer[32];
    const auto written = std::to_chars(buffer, buffer + sizeof buffer, value);
    return QByteArray(buffer, int(written.ptr - buffer));
}

// The last 15-digit number inside the double range.
constexpr double largestWritten = 1.79769313486231e308;

// What a text written by numberToText must read back as: the value rounded to
// 15 significant digits, read by from_chars rather than by the code under
// test. Where that rounding leaves the double range, the text is rounded
// toward zero instead.
double roundedTo15Digits(double value) {
    char buffer[40];
    const auto written =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 14);
    double rounded = 0;
    std::from_chars(buffer, written.ptr, rounded);
    if (std::isinf(rounded) || std::fabs(value) > largestWritten)
        rounded = largestWritten;
    return value < 0 ? -std::fabs(rounded) : rounded;
}

// The exponent form of a value's 15-digit rounding, from the standard
// library's correctly rounded digits: "4.94065645841247E-324".
QByteArray exponentForm(double value) {
    char buffer[40];
    const auto written =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 14);
    const QByteArray text(buffer, int(written.ptr - buffer));
    const int e = text.indexOf('e');
    int end = e;
    while (text[end - 1] == '0')
        --end;
    if (text[end - 1] == '.')
        --end;
    return text.left(end) + 'E' + text.mid(e + 1);
}

numtext::CheckedNumber apply(char operation, numtext::CheckedNumber a, numtext::CheckedNumber b) {
    switch (operation) {
    case '+':
        return a + b;
    case '-':
        return a - b;
    case '*':
        return a * b;
    case '/':
        return a / b;
    }
    qFatal("unknown operation %c", operation);
}

} // namespace

class ConversionTest : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void textToNumber_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<double>("lenient");
        QTest::addColumn<bool>("strictReads");
        const auto both = [](const char* name, const char* text, double value) {
            QTest::newRow(name) << QByteArray(text) << value << true;
        };
        const auto onlyLenient = [](const char* name, const char* text, double value) {
            QTest::newRow(name) << QByteArray(text) << value << false;
        };
        both("whole", "25", 25);
        onlyLenient("number then word", "25 word", 25);
        onlyLenient("number then letters", "12abc", 12);
        both("fraction", "6.5", 6.5);
        both("negative", "-3", -3);
        both("plus sign", "+4", 4);
        both("negative zero", "-0", -0.0);
        onlyLenient("empty", "", 0);
        onlyLenient("only blanks", " \t ", 0);
        onlyLenient("letters", "abc", 0);
        both("leading blanks", "  7", 7);
        both("blanks around", " 7 ", 7);
        both("tab and no-break space", "\t\u00A07\u00A0\t", 7);
        both("point first", ".5", 0.5);
        both("point last", "5.", 5);
        both("negative point first", "-.5", -0.5);
        onlyLenient("lone point", ".", 0);
        onlyLenient("sign and point", "-.", 0);
        onlyLenient("lone sign", "-", 0);
        both("exponent", "1e3", 1000);
        both("capital exponent with sign", "2.5E-2", 0.025);
        both("point then exponent", "5.e1", 50);
        onlyLenient("exponent without digits", "5e", 5);
        onlyLenient("exponent sign without digits", "5e+", 5);
        onlyLenient("blank after sign", "- 5", 0);
        onlyLenient("blank inside", "1 000", 1);
        onlyLenient("thousands comma", "1,000", 1);
        onlyLenient("decimal comma", "6,5", 6);
        onlyLenient("hex prefix", "0x10", 0);
        onlyLenient("hex float", "0x1p3", 0);
        onlyLenient("inf", "inf", 0);
        onlyLenient("negative inf", "-inf", 0);
        onlyLenient("Infinity", "Infinity", 0);
        onlyLenient("nan", "nan", 0);
        both("arabic-indic", "\u0662\u0665", 25);
        both("extended arabic-indic", "\u06F2\u06F5", 25);
        both("arabic decimal separator", "\u0666\u066B\u0665", 6.5);
        both("mixed digits", "1\u0662\u06F3.\u0665", 123.5);
        both("arabic exponent digits", "1e\u0663", 1000);
        both("arabic digits, trailing blanks", "\u0662\u0665 \u00A0\t", 25);
        onlyLenient("arabic thousands separator", "1\u066C000", 1);
        onlyLenient("truncated arabic digit", "5\xD9", 5);
        onlyLenient("stray lead byte", "\xD9\x35", 0);          // D9 then "5"
        onlyLenient("truncated no-break space", "\xC2\x37", 0); // C2 then "7"
        both("too large", "1e400", infinity);
        both("too large negative", "-1e400", -infinity);
        both("too small", "1e-400", 0.0);
        both("too small negative", "-1e-400", -0.0);
        both("zero with huge exponent", "0e99999", 0.0);
        both("tiny mantissa, huge exponent", "0.000001e310", 1e304);
        both("largest double", "1.7976931348623157e308", DBL_MAX);
        both("just below the overflow threshold", "1.7976931348623158e308", DBL_MAX);
        both("just above the overflow threshold", "1.7976931348623159e308", infinity);
        both("smallest denormal", "4.9e-324", denormMin);
        both("rounds to smallest denormal", "3e-324", denormMin);
        both("rounds to zero", "2e-324", 0.0);
        both("many digits", "123456789012345678901234567890", 123456789012345678901234567890.0);
        // Direction marks count as nothing wherever they stand; every Unicode
        // space separator is a blank; U+2212 is a minus sign.
        both("right-to-left mark first", "\u200F25", 25);
        both("marks inside and after", "2\u200E5\u061C", 25);
        both("embedding around a negative", "\u202B-\u200F7\u202C", -7);
        both("isolates in fraction and exponent", "\u20666\u2069.\u20685e\u2067-1", 0.65);
        both("mark between sign and digits", "+\u202E4", 4);
        onlyLenient("only marks", "\u200F\u200E", 0);
        both("em space and ideographic space", "\u2003 7\u3000", 7);
        both("every other space separator",
             "\u1680\u2000\u2001\u2002\u2004\u2005\u2006\u2007\u2008\u2009\u200A\u202F\u205F9", 9);
        onlyLenient("space separator inside", "1\u2009000", 1);
        onlyLenient("zero-width space is not a blank", "\u200B5", 0);
        both("minus sign", "\u22123", -3);
        both("minus sign in exponent", "5e\u22121", 0.5);
        both("minus sign, Arabic digits", "\u2212\u0666\u066B\u0665", -6.5);
        onlyLenient("truncated minus sign", "\xE2\x88", 0);
    }

    void textToNumber() {
        QFETCH(QByteArray, text);
        QFETCH(double, lenient);
        QFETCH(bool, strictReads);
        const std::string_view view(text.constData(), std::size_t(text.size()));

        const double lenientValue = numtext::lenientToNumber(view);
        QVERIFY2(sameBits(lenientValue, lenient), show(lenientValue).constData());
        try {
            const double strictValue = numtext::strictToNumber(view);
            QVERIFY2(strictReads, ("strict conversion accepted " + show(strictValue)).constData());
            QVERIFY2(sameBits(strictValue, lenient), show(strictValue).constData());
        } catch (const Failure& failure) {
            QVERIFY2(!strictReads, failure.what());
            QCOMPARE(failure.kind(), FailureKind::NotANumber);
        }
    }

    // Megabyte inputs: each is read in one pass (a quadratic reader would hit
    // the test timeout) and rounds as the exact decimal value would.
    void longText_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<double>("expected");
        const int mega = 1 << 20;
        const QByteArray zeros(mega, '0');
        // 2^53 + 1 lies halfway between two doubles: an exact tie goes to the
        // even 2^53, any non-zero digit however far away decides upwards.
        QTest::newRow("tie, long zero tail") << "9007199254740993." + zeros << 9007199254740992.0;
        QTest::newRow("tie broken far away")
            << "9007199254740993." + zeros + "1" << 9007199254740994.0;
        QTest::newRow("blanks then digit") << QByteArray(mega, ' ') + "7" << 7.0;
        QTest::newRow("digit then blanks") << "7" + QByteArray(mega, ' ') << 7.0;
        QTest::newRow("leading zeros") << zeros + "25" << 25.0;
        QTest::newRow("nines") << QByteArray(mega, '9') << infinity;
        QTest::newRow("nines scaled down") << QByteArray(mega, '9') + "e-1048576" << 1.0;
        QTest::newRow("tiny fraction") << "0." + zeros + "1" << 0.0;
        QTest::newRow("long exponent") << "1e" + QByteArray(5000, '0') + "5" << 1e5;
        QTest::newRow("huge exponent") << "1e" + QByteArray(5000, '9') << infinity;
        QTest::newRow("huge negative exponent") << "1e-" + QByteArray(5000, '9') << 0.0;
    }

    void longText() {
        QFETCH(QByteArray, text);
        QFETCH(double, expected);
        const std::string_view view(text.constData(), std::size_t(text.size()));
        QVERIFY2(sameBits(numtext::lenientToNumber(view), expected), "lenient");
        QVERIFY2(sameBits(numtext::strictToNumber(view), expected), "strict");
    }

    void numberToText_data() {
        QTest::addColumn<double>("value");
        QTest::addColumn<QByteArray>("text");
        const auto row = [](double value, const char* text) {
            QTest::newRow(text) << value << QByteArray(text);
        };
        row(21, "21");
        row(-4, "-4");
        row(100, "100");
        row(1.995, "1.995");
        row(2.005, "2.005");
        row(3.5, "3.5");
        row(-123.456, "-123.456");
        row(0.1 + 0.2, "0.3");
        row(1.0 / 3, "0.333333333333333");
        row(2.0 / 3, "0.666666666666667");
        row(5.0 / 3, "1.66666666666667");
        row(2179.0 / 100, "21.79");
        row(123456789012345.6, "123456789012346");
        row(999999999999999, "999999999999999");
        QTest::newRow("rounds up to 1E+15") << 999999999999999.5 << QByteArray("1E+15");
        row(1e15, "1E+15");
        row(1.2e15, "1.2E+15");
        row(-1.2e15, "-1.2E+15");
        row(123456789012345678.0, "1.23456789012346E+17");
        row(1e100, "1E+100");
        // Rounded to 15 digits these would leave the double range, so they
        // are rounded toward zero and can be read back.
        row(DBL_MAX, "1.79769313486231E+308");
        QTest::newRow("-DBL_MAX") << -DBL_MAX << QByteArray("-1.79769313486231E+308");
        QTest::newRow("just below DBL_MAX")
            << std::nextafter(DBL_MAX, 0.0) << QByteArray("1.79769313486231E+308");
        QTest::newRow("rounds up to the last 15-digit number")
            << 1.797693134862309e308 << QByteArray("1.79769313486231E+308");
        row(1.7976931348623e308, "1.7976931348623E+308");
        row(DBL_MIN, "2.2250738585072E-308");
        QTest::newRow("largest denormal")
            << std::nextafter(DBL_MIN, 0.0) << QByteArray("2.2250738585072E-308");
        row(2 * denormMin, "9.88131291682493E-324");
        row(1e-5, "0.00001");
        row(-1.0 / 3, "-0.333333333333333");
        row(0.000056789, "0.000056789");
        row(1e-12, "0.000000000001");
        row(1e-15, "0.000000000000001");
        row(1e-16, "1E-16");
        row(1.5e-15, "1.5E-15");
        row(5.6789e-12, "5.6789E-12");
        row(1.23456789012e-5, "1.23456789012E-05");
        row(denormMin, "4.94065645841247E-324");
        // A 16th digit 5: an exact tie, rounded to the even digit, or only the
        // shortest digits' 5, when the value lies above or below them.
        QTest::newRow("tie, even stays") << 100000000000000.5 << QByteArray("100000000000000");
        QTest::newRow("tie, odd rounds up") << 100000000000001.5 << QByteArray("100000000000002");
        QTest::newRow("whole tie, even stays") << 1000000000000005.0 << QByteArray("1E+15");
        QTest::newRow("whole tie, odd rounds up")
            << 1000000000000015.0 << QByteArray("1.00000000000002E+15");
        QTest::newRow("below its 5, small")
            << 1.234567890123455e-100 << QByteArray("1.23456789012345E-100");
        QTest::newRow("above its 5, small")
            << 1.234567890123445e-100 << QByteArray("1.23456789012345E-100");
        QTest::newRow("below its 5") << 2.345678901234565e30 << QByteArray("2.34567890123456E+30");
        QTest::newRow("above its 5") << 2.345678901234575e30 << QByteArray("2.34567890123458E+30");
        QTest::newRow("above its 5, large")
            << 9.876543210987655e200 << QByteArray("9.87654321098766E+200");
        QTest::newRow("below its 5, large")
            << 9.876543210987665e200 << QByteArray("9.87654321098766E+200");
        // Against the standard library's digits: denormals, whose neighbouring
        // 15-digit texts may read back alike, and the doubles nearest to
        // 16-digit numbers ending in 5, at decimal exponents that take the
        // exponent form.
        std::mt19937_64 random(20251208);
        for (int i = 0; i < 200; ++i) {
            const double denormal =
                std::bit_cast<double>(1 + random() % ((std::uint64_t{1} << 52) - 1));
            QTest::addRow("denormal %s", show(denormal).constData())
                << denormal << exponentForm(denormal);
            const std::uint64_t digits = (100000000000000 + random() % 900000000000000) * 10 + 5;
            // The last digit's exponent, -315..-31 or 0..284: the first one's
            // is then -300..-16 or 15..299.
            int last = int(random() % 570) - 315;
            if (last >= -30)
                last += 30;
            const std::string decimal = std::to_string(digits) + 'e' + std::to_string(last);
            double nearest = 0;
            std::from_chars(decimal.data(), decimal.data() + decimal.size(), nearest);
            QTest::addRow("nearest to %s", decimal.c_str()) << nearest << exponentForm(nearest);
        }
        row(infinity, "Infinity");
        row(-infinity, "-Infinity");
        row(std::numeric_limits<double>::quiet_NaN(), "NaN");
        QTest::newRow("zero") << 0.0 << QByteArray("0");
        QTest::newRow("negative zero") << -0.0 << QByteArray("0");
    }

    // The text of a finite value also reads back, by both conversions, as a
    // finite number that is written as the same text again.
    void numberToText() {
        QFETCH(double, value);
        QFETCH(QByteArray, text);
        const std::string written = numtext::numberToText(value);
        QCOMPARE(QByteArray::fromStdString(written), text);
        if (!std::isfinite(value))
            return;
        for (const double back :
             {numtext::lenientToNumber(written), numtext::strictToNumber(written)}) {
            QVERIFY2(std::isfinite(back), show(back).constData());
            QCOMPARE(QByteArray::fromStdString(numtext::numberToText(back)), text);
        }
    }

    void wholeToText_data() {
        QTest::addColumn<std::int32_t>("value");
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("zero") << 0 << QByteArray("0");
        QTest::newRow("positive") << 21 << QByteArray("21");
        QTest::newRow("negative") << -4 << QByteArray("-4");
        QTest::newRow("large") << 1000000 << QByteArray("1000000");
        QTest::newRow("largest") << INT32_MAX << QByteArray("2147483647");
        QTest::newRow("smallest") << INT32_MIN << QByteArray("-2147483648");
    }

    void wholeToText() {
        QFETCH(std::int32_t, value);
        QFETCH(QByteArray, text);
        QCOMPARE(QByteArray::fromStdString(numtext::wholeToText(value)), text);
    }

    // Every text numberToText writes reads back, through either conversion, as
    // the value rounded to 15 significant digits, and is written again as the
    // same text.
    void roundTrip() {
        // Edge values: the largest double, which must not round up beyond the
        // range; the smallest denormals must survive the trip.
        const double largestDenormal = std::nextafter(DBL_MIN, 0.0);
        const double justAboveOne = std::nextafter(1.0, 2.0);
        const double edges[] = {
            DBL_MAX,           DBL_MIN, denormMin, largestDenormal, DBL_EPSILON, justAboveOne,
            999999999999999.5, 1e15,    1e-15,     1e-16,           0.1,         0.0};
        std::vector<double> values;
        for (const double edge : edges) {
            values.push_back(edge);
            values.push_back(-edge);
        }
        std::mt19937_64 random(20240611);
        std::uniform_int_distribution<std::int64_t> mantissa(1, 999999999999999999);
        std::uniform_int_distribution<int> exponent(-40, 25);
        for (int i = 0; i < 4000; ++i) {
            // Random bit patterns cover every binary exponent, denormals included.
            const double anyDouble = std::bit_cast<double>(random());
            if (std::isfinite(anyDouble))
                values.push_back(anyDouble);
            // Decimal-looking values near the switch between the two forms.
            values.push_back(double(mantissa(random)) * std::pow(10.0, exponent(random)));
        }

        for (const double value : values) {
            const std::string text = numtext::numberToText(value);
            const double expected = roundedTo15Digits(value);
            const QByteArray context = QByteArray::fromStdString(text) + " from " + show(value);
            QVERIFY2(numtext::lenientToNumber(text) == expected, context.constData());
            QVERIFY2(numtext::strictToNumber(text) == expected, context.constData());
            QVERIFY2(numtext::numberToText(expected) == text, context.constData());
            QVERIFY2(text.find_first_not_of("-0123456789.E+") == std::string::npos,
                     context.constData());
        }
    }

    void roundToWhole_data() {
        QTest::addColumn<double>("value");
        QTest::addColumn<bool>("fits");
        QTest::addColumn<std::int32_t>("expected");
        const auto row = [](const char* name, double value, std::int32_t expected) {
            QTest::newRow(name) << value << true << expected;
        };
        const auto outOfRange = [](const char* name, double value) {
            QTest::newRow(name) << value << false << 0;
        };
        row("215.5", 215.5, 216);
        row("214.5", 214.5, 214);
        row("2.5", 2.5, 2);
        row("2.4", 2.4, 2);
        row("2.6", 2.6, 3);
        row("0.5", 0.5, 0);
        row("1.5", 1.5, 2);
        row("-0.5", -0.5, 0);
        row("-2.5", -2.5, -2);
        row("-3.5", -3.5, -4);
        row("-2.6", -2.6, -3);
        // Adding 0.5 and flooring gets this one wrong.
        row("just below a half", 0.49999999999999994, 0);
        row("just above minus a half", -0.49999999999999994, 0);
        row("smallest normal", DBL_MIN, 0);
        row("largest, plus a bit", 2147483647.4, INT32_MAX);
        row("tie below largest", 2147483646.5, 2147483646);
        row("smallest, tie", -2147483648.5, INT32_MIN);
        outOfRange("tie above largest", 2147483647.5);
        outOfRange("below smallest", -2147483648.6);
        outOfRange("huge", 1e300);
        outOfRange("huge negative", -1e300);
        outOfRange("NaN", std::numeric_limits<double>::quiet_NaN());
        outOfRange("infinity", infinity);
        outOfRange("negative infinity", -infinity);
    }

    void roundToWhole() {
        QFETCH(double, value);
        QFETCH(bool, fits);
        QFETCH(std::int32_t, expected);
        // The rounding mode in force must not matter.
        for (const int mode : {FE_TONEAREST, FE_UPWARD, FE_DOWNWARD, FE_TOWARDZERO}) {
            std::fesetround(mode);
            try {
                const std::int32_t rounded = numtext::roundToWhole(value);
                std::fesetround(FE_TONEAREST);
                QVERIFY2(fits, QByteArray::number(rounded));
                QCOMPARE(rounded, expected);
            } catch (const Failure& failure) {
                std::fesetround(FE_TONEAREST);
                QVERIFY2(!fits, failure.what());
                QCOMPARE(failure.kind(), FailureKind::WholeOutOfRange);
            }
        }
    }
};

// The same conversions again, with the C and C++ locales set to one whose
// decimal separator is a comma.
class CommaLocaleConversionTest : public ConversionTest {
    Q_OBJECT

  private Q_SLOTS:
    void initTestCase() {
        for (const char* name : {"fr_FR.UTF-8", "de_DE.UTF-8", "fr_FR.utf8", "de_DE.utf8",
                                 "es_ES.UTF-8", "it_IT.UTF-8", "ru_RU.UTF-8", "nl_NL.UTF-8"}) {
            if (!std::setlocale(LC_ALL, name))
                continue;
            try {
                std::locale::global(std::locale(name));
            } catch (const std::runtime_error&) {
                continue;
            }
            if (std::localeconv()->decimal_point == std::string_view(","))
                break;
        }
        if (std::localeconv()->decimal_point != std::string_view(",")) {
            restoreLocale();
            QSKIP("No locale with a decimal comma (such as fr_FR.UTF-8) is installed; "
                  "generate one with locale-gen to check that the conversions ignore the locale");
        }
        // Make sure the locale really is in force for both libraries, or this
        // pass would prove nothing.
        QCOMPARE(std::strtod("6,5", nullptr), 6.5);
        std::ostringstream stream;
        stream << 6.5;
        QCOMPARE(QByteArray::fromStdString(stream.str()), QByteArray("6,5"));
    }

    void cleanupTestCase() { restoreLocale(); }

  private:
    static void restoreLocale() {
        std::locale::global(std::locale::classic());
        std::setlocale(LC_ALL, "C");
    }
};

class FaultCheckTest : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    // Each step reads a leniently and b, c, d strictly, and computes
    // (a op b) + (c op2 d); rows raising two faults at once check the order
    // in which they are reported.
    void faultChecked_data() {
        QTest::addColumn<QByteArray>("a");
        QTest::addColumn<char>("op");
        QTest::addColumn<QByteArray>("b");
        QTest::addColumn<QByteArray>("c");
        QTest::addColumn<char>("op2");
        QTest::addColumn<QByteArray>("d");
        QTest::addColumn<bool>("fails");
        QTest::addColumn<FailureKind>("kind");
        QTest::addColumn<double>("result");
        const auto passes = [](const char* name, const char* a, char op, const char* b,
                               double result) {
            QTest::newRow(name) << QByteArray(a) << op << QByteArray(b) << QByteArray("0") << '+'
                                << QByteArray("0") << false << FailureKind::Overflow << result;
        };
        const auto fails = [](const char* name, const char* a, char op, const char* b,
                              const char* c, char op2, const char* d, FailureKind kind) {
            QTest::newRow(name) << QByteArray(a) << op << QByteArray(b) << QByteArray(c) << op2
                                << QByteArray(d) << true << kind << 0.0;
        };
        const auto failsAlone = [&](const char* name, const char* a, char op, const char* b,
                                    FailureKind kind) {
            fails(name, a, op, b, "0", '+', "0", kind);
        };
        passes("7/2", "7", '/', "2", 3.5);
        passes("underflow to zero", "1e-200", '*', "1e-200", 0.0);
        passes("denormal result", "2.2250738585072014e-308", '/', "4", DBL_MIN / 4);
        passes("largest double", "8.988465674311579e307", '*', "2", DBL_MAX);
        passes("too small to read is no fault", "1e-400", '*', "5", 0.0);
        failsAlone("1/0", "1", '/', "0", FailureKind::DivisionByZero);
        failsAlone("-1/0", "-1", '/', "0", FailureKind::DivisionByZero);
        failsAlone("1/-0", "1", '/', "-0", FailureKind::DivisionByZero);
        failsAlone("0/0", "0", '/', "0", FailureKind::InvalidOperation);
        failsAlone("1e200*1e200", "1e200", '*', "1e200", FailureKind::Overflow);
        failsAlone("DBL_MAX+DBL_MAX", "1.7976931348623157e308", '+', "1.7976931348623157e308",
                   FailureKind::Overflow);
        // Reading a number beyond the double range is an overflow, whatever
        // the step then does with the infinity.
        failsAlone("read 1e400", "1e400", '+', "0", FailureKind::Overflow);
        failsAlone("1/1e400", "1", '/', "1e400", FailureKind::Overflow);
        failsAlone("1e400/0", "1e400", '/', "0", FailureKind::Overflow);
        failsAlone("1e400*0", "1e400", '*', "0", FailureKind::InvalidOperation);
        failsAlone("1e400-1e400", "1e400", '-', "1e400", FailureKind::InvalidOperation);
        failsAlone("-1e400+1e400", "-1e400", '+', "1e400", FailureKind::InvalidOperation);
        fails("0/0 and 1/0", "0", '/', "0", "1", '/', "0", FailureKind::InvalidOperation);
        fails("overflow and 0/0", "1e200", '*', "1e200", "0", '/', "0",
              FailureKind::InvalidOperation);
        fails("overflow and 1/0", "1e200", '*', "1e200", "1", '/', "0",
              FailureKind::DivisionByZero);
        fails("read overflow and 1/0", "1e400", '/', "1", "1", '/', "0",
              FailureKind::DivisionByZero);
    }

    void faultChecked() {
        QFETCH(QByteArray, a);
        QFETCH(char, op);
        QFETCH(QByteArray, b);
        QFETCH(QByteArray, c);
        QFETCH(char, op2);
        QFETCH(QByteArray, d);
        QFETCH(bool, fails);
        QFETCH(FailureKind, kind);
        QFETCH(double, result);
        using numtext::checkedLenientToNumber;
        using numtext::checkedStrictToNumber;
        try {
            const double value =
                numtext::faultChecked(apply(op, checkedLenientToNumber(a.toStdString()),
                                            checkedStrictToNumber(b.toStdString())) +
                                      apply(op2, checkedStrictToNumber(c.toStdString()),
                                            checkedStrictToNumber(d.toStdString())));
            QVERIFY2(!fails, ("passed with " + show(value)).constData());
            QVERIFY2(sameBits(value, result), show(value).constData());
        } catch (const Failure& failure) {
            QVERIFY2(fails, failure.what());
            QCOMPARE(failure.kind(), kind);
        }
    }

    // Values from outside the step join it as they are, but an infinity or
    // NaN among them is never passed on as a result.
    void valuesFromOutside_data() {
        QTest::addColumn<double>("outside");
        QTest::addColumn<char>("op");
        QTest::addColumn<bool>("fails");
        QTest::addColumn<FailureKind>("kind");
        QTest::addColumn<double>("result");
        QTest::newRow("finite") << 2.5 << '*' << false << FailureKind::Overflow << 5.0;
        QTest::newRow("infinite operand")
            << infinity << '+' << true << FailureKind::Overflow << 0.0;
        QTest::newRow("NaN operand") << std::numeric_limits<double>::quiet_NaN() << '+' << true
                                     << FailureKind::InvalidOperation << 0.0;
        QTest::newRow("divided by zero")
            << 2.5 << '/' << true << FailureKind::DivisionByZero << 0.0;
    }

    void valuesFromOutside() {
        QFETCH(double, outside);
        QFETCH(char, op);
        QFETCH(bool, fails);
        QFETCH(FailureKind, kind);
        QFETCH(double, result);
        const double operand = op == '/' ? 0.0 : 2.0;
        try {
            const double value =
                numtext::faultChecked(apply(op, numtext::CheckedNumber(outside), operand));
            QVERIFY2(!fails, ("passed with " + show(value)).constData());
            QVERIFY2(sameBits(value, result), show(value).constData());
        } catch (const Failure& failure) {
            QVERIFY2(fails, failure.what());
            QCOMPARE(failure.kind(), kind);
        }
    }

    // Outside a fault-checked step, and in a failed strict reading, a number
    // too large for a double is just infinity or not a number.
    void conversionOverflow() {
        QVERIFY(sameBits(numtext::lenientToNumber("1e400"), infinity));
        QVERIFY(sameBits(numtext::lenientToNumber("-1e400x"), -infinity));
        try {
            numtext::faultChecked(numtext::checkedStrictToNumber("1e400x"));
            QFAIL("a strict reading of a number followed by letters passed");
        } catch (const Failure& failure) {
            QCOMPARE(failure.kind(), FailureKind::NotANumber);
        }
    }
};

int main(int argc, char** argv) {
    int failed = 0;
    ConversionTest conversions;
    failed += QTest::qExec(&conversions, argc, argv);
    FaultCheckTest faults;
    failed += QTest::qExec(&faults, argc, argv);
    // Last: QtTest 6.4 carries a skip from initTestCase over into the next
    // qExec, which would silently skip whatever followed.
    CommaLocaleConversionTest commaLocale;
    failed += QTest::qExec(&commaLocale, argc, argv);
    return failed;
}

#include "tst_numtext.moc"
