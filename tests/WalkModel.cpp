// SPDX-License-Identifier: GPL-3.0-or-later
#include "WalkModel.h"

#include "app/FailureMessages.h"
#include "numtext/Conversions.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace walk {

using app::FormId;
using numtext::FailureKind;
using enum app::FormId;

namespace {

constexpr std::string_view oneButton[] = {"Command1"};
constexpr std::string_view menuButtons[] = {"Command1", "Command2", "Command3"};
constexpr std::string_view confirmButtons[] = {"Command1", "Command2"};
constexpr std::string_view calculatorButtons[] = {"Command1", "Command2", "Command3",
                                                  "Command4", "Command5", "Command6"};
constexpr std::string_view oneBox[] = {"Text1"};
constexpr std::string_view calculatorBoxes[] = {"Text1", "Text2", "Text3"};

// The floating-point exceptions an operation raises, worked out from its
// operands and result by the rules of IEEE 754 rather than read from the
// flags. The conversions never give NaN, so no operand is one.
struct Raised {
    bool invalid = false;
    bool divisionByZero = false;
    bool overflow = false;
};

Raised raisedBy(char operation, double a, double b, double result) {
    Raised raised;
    switch (operation) {
    case '+':
        raised.invalid = std::isinf(a) && std::isinf(b) && std::signbit(a) != std::signbit(b);
        break;
    case '-':
        raised.invalid = std::isinf(a) && std::isinf(b) && std::signbit(a) == std::signbit(b);
        break;
    case '*':
        raised.invalid = (a == 0 && std::isinf(b)) || (std::isinf(a) && b == 0);
        break;
    case '/':
        raised.invalid = (a == 0 && b == 0) || (std::isinf(a) && std::isinf(b));
        raised.divisionByZero = b == 0 && a != 0 && std::isfinite(a);
        break;
    }
    // Only finite operands can overflow; an infinite one raised the flag
    // already when its text was read.
    raised.overflow =
        std::isfinite(a) && std::isfinite(b) && std::isinf(result) && !raised.divisionByZero;
    if (std::isinf(a) || std::isinf(b))
        raised.overflow = true;
    return raised;
}

// The failure a fault-checked step reports: the flags in the order invalid,
// division by zero, overflow, then an infinite result (NaN comes only with
// the invalid flag, as no operand is NaN).
std::optional<FailureKind> faultOf(const Raised& raised, double result) {
    if (raised.invalid)
        return FailureKind::InvalidOperation;
    if (raised.divisionByZero)
        return FailureKind::DivisionByZero;
    if (raised.overflow || std::isinf(result))
        return FailureKind::Overflow;
    return std::nullopt;
}

double apply(char operation, double a, double b) {
    switch (operation) {
    case '+':
        return a + b;
    case '-':
        return a - b;
    case '*':
        return a * b;
    default:
        return a / b;
    }
}

std::string_view presenceName(Presence presence) {
    switch (presence) {
    case Presence::Unloaded:
        return "unloaded";
    case Presence::Hidden:
        return "hidden";
    case Presence::Visible:
        return "visible";
    case Presence::Inconsistent:
        return "registry and widgets disagree";
    }
    return "?";
}

std::string failureName(const std::optional<FailureKind>& failure) {
    return failure ? std::string(app::failureMessage(*failure)) : "none";
}

std::string textName(std::size_t index) {
    const WatchedText& watched = watchedTexts[index];
    return std::string(app::formName(watched.form)) + "." + std::string(watched.control);
}

} // namespace

std::string quoted(std::string_view text, std::size_t limit) {
    std::string out = "\"";
    for (std::size_t i = 0; i < text.size() && i < limit; ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20 || c == 0x7F) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
            out += escaped;
        } else {
            out += static_cast<char>(c); // UTF-8 passes through
        }
    }
    out += '"';
    if (text.size() > limit)
        out += " ... (" + std::to_string(text.size()) + " bytes)";
    return out;
}

std::string describe(const Observation& observation) {
    std::string out;
    for (int i = 0; i < app::formCount; ++i)
        if (observation.windows[i] != Presence::Unloaded)
            out += std::string(app::formName(FormId(i))) + " " +
                   std::string(presenceName(observation.windows[i])) + "; ";
    for (std::size_t i = 0; i < watchedTexts.size(); ++i)
        if (observation.windows[static_cast<int>(watchedTexts[i].form)] != Presence::Unloaded)
            out += textName(i) + "=" + quoted(observation.texts[i]) + "; ";
    out += "failure: " + failureName(observation.failure);
    if (observation.ended)
        out += "; ended";
    return out;
}

std::string differences(const Observation& expected, const Observation& actual) {
    std::string out;
    const auto differ = [&out](const std::string& what, const std::string& want,
                               const std::string& got) {
        out += "  " + what + ": expected " + want + ", program has " + got + "\n";
    };
    for (int i = 0; i < app::formCount; ++i)
        if (expected.windows[i] != actual.windows[i])
            differ(std::string(app::formName(FormId(i))),
                   std::string(presenceName(expected.windows[i])),
                   std::string(presenceName(actual.windows[i])));
    for (std::size_t i = 0; i < watchedTexts.size(); ++i)
        if (expected.texts[i] != actual.texts[i])
            differ(textName(i), quoted(expected.texts[i]), quoted(actual.texts[i]));
    if (expected.failure != actual.failure)
        differ("failure message", failureName(expected.failure), failureName(actual.failure));
    if (expected.ended != actual.ended)
        differ("ended", expected.ended ? "yes" : "no", actual.ended ? "yes" : "no");
    return out;
}

std::span<const std::string_view> buttonsOf(FormId form) {
    switch (form) {
    case Form2:
        return menuButtons;
    case Form3:
        return confirmButtons;
    case Form6:
        return menuButtons;
    case Form9:
        return calculatorButtons;
    default:
        return oneButton;
    }
}

std::span<const std::string_view> textBoxesOf(FormId form) {
    switch (form) {
    case Form1:
    case Form6:
        return oneBox;
    case Form9:
        return calculatorBoxes;
    default:
        return {};
    }
}

Model::Model() {
    show(Form1);
}

std::string& Model::text(FormId form, std::string_view control) {
    for (std::size_t i = 0; i < watchedTexts.size(); ++i)
        if (watchedTexts[i].form == form && watchedTexts[i].control == control)
            return m_now.texts[i];
    // The handlers of the model touch watched texts only.
    const std::string name = std::string(app::formName(form)) + "." + std::string(control);
    std::fprintf(stderr, "walk model: %s is not watched\n", name.c_str());
    std::abort();
}

void Model::load(FormId form) {
    if (m_now.ended || presence(form) != Presence::Unloaded)
        return;
    presence(form) = Presence::Hidden;
    for (std::size_t i = 0; i < watchedTexts.size(); ++i)
        if (watchedTexts[i].form == form)
            m_now.texts[i] = watchedTexts[i].initial;
}

void Model::unload(FormId form) {
    if (m_now.ended)
        return;
    presence(form) = Presence::Unloaded;
    for (std::size_t i = 0; i < watchedTexts.size(); ++i)
        if (watchedTexts[i].form == form)
            m_now.texts[i].clear();
}

void Model::show(FormId form) {
    if (m_now.ended)
        return;
    load(form);
    presence(form) = Presence::Visible;
}

void Model::end() {
    for (int i = 0; i < app::formCount; ++i)
        unload(FormId(i));
    m_now.ended = true;
}

void Model::endIfNoneLoaded() {
    for (const Presence presence : m_now.windows)
        if (presence != Presence::Unloaded)
            return;
    m_now.ended = true;
}

void Model::checkAge() {
    const double age = numtext::lenientToNumber(text(Form1, "Text1"));
    if (age >= 6 && age <= 70) {
        unload(Form1);
        show(Form2);
    } else {
        load(Form1);
        show(Form8);
    }
}

// The user picked A and B and typed 100A + B - 115. Adding 115 back, B is the
// remainder by 100 of the sum rounded to a whole number (halves to even) and
// A is the rest divided by 100.
void Model::findNumbers() {
    const std::string typed = text(Form6, "Text1");
    const double result = numtext::lenientToNumber(typed);
    if (result < 85 || result > 9884) {
        load(Form6);
        show(Form7);
        return;
    }
    double exact = 0;
    try {
        exact = numtext::strictToNumber(typed);
    } catch (const numtext::Failure& failure) {
        m_now.failure = failure.kind();
        return;
    }
    const double sum = exact + 115;
    if ((m_now.failure = faultOf(raisedBy('+', exact, 115, sum), sum)))
        return;

    // The sum as its 15-digit text reads back, then to the nearest whole
    // number; nearbyint rounds halves to even in the default rounding mode.
    const double shown = numtext::lenientToNumber(numtext::numberToText(sum));
    const double whole = std::nearbyint(shown);
    if (!(whole >= std::numeric_limits<std::int32_t>::min() &&
          whole <= std::numeric_limits<std::int32_t>::max())) {
        m_now.failure = FailureKind::WholeOutOfRange;
        return;
    }
    const auto second = static_cast<std::int32_t>(whole) % 100;
    text(Form6, "Label12") = std::to_string(second);

    const double first = (result + 115 - second) / 100;
    if ((m_now.failure = faultOf(raisedBy('/', result + 115 - second, 100, first), first)))
        return;
    text(Form6, "Label13") = numtext::numberToText(first);
}

void Model::calculate(char operation) {
    double b = 0;
    try {
        b = numtext::strictToNumber(text(Form9, "Text2"));
    } catch (const numtext::Failure& failure) {
        m_now.failure = failure.kind();
        return;
    }
    const double a = numtext::lenientToNumber(text(Form9, "Text1"));
    const double result = apply(operation, a, b);
    if ((m_now.failure = faultOf(raisedBy(operation, a, b, result), result)))
        return;
    text(Form9, "Text3") = numtext::numberToText(result);
}

void Model::click(FormId form, std::string_view button) {
    m_now.failure.reset();
    if (m_now.ended || presence(form) == Presence::Unloaded)
        return;
    const int number = button.back() - '0';
    switch (form) {
    case Form1:
        checkAge();
        break;
    case Form8:
        unload(Form8);
        show(Form1);
        break;
    case Form2:
        unload(Form2);
        show(number == 1 ? Form6 : number == 2 ? Form5 : Form3);
        break;
    case Form6:
        if (number == 1) {
            findNumbers();
        } else if (number == 2) {
            unload(Form6);
            show(Form2);
        } else {
            load(Form6);
            show(Form9);
        }
        break;
    case Form7:
        unload(Form7);
        show(Form6);
        break;
    case Form9:
        if (number <= 4) {
            calculate("+-*/"[number - 1]);
        } else if (number == 5) {
            text(Form9, "Text1").clear();
            text(Form9, "Text2").clear();
            text(Form9, "Text3").clear();
        } else {
            unload(Form9);
        }
        break;
    case Form5:
        unload(Form5);
        show(Form2);
        break;
    case Form3:
        unload(Form3);
        show(number == 1 ? Form2 : Form4);
        break;
    case Form4:
        end();
        break;
    }
    endIfNoneLoaded();
}

void Model::type(FormId form, std::string_view box, std::string_view typed) {
    m_now.failure.reset();
    if (!m_now.ended && presence(form) != Presence::Unloaded)
        text(form, box) = typed;
}

void Model::closeWindow(FormId form) {
    m_now.failure.reset();
    if (m_now.ended)
        return;
    unload(form);
    endIfNoneLoaded();
}

} // namespace walk
