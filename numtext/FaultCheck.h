// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Guards one arithmetic step against the floating-point faults the program
// refuses to pass on: invalid operation, division by zero and overflow.
// Underflow and inexact results are not faults.
//
// The faults are found by checked arithmetic, not by the processor's
// exception flags: WebAssembly has no such flags, and checking each operation
// by IEEE 754's own definitions gives the same verdict on every build and
// leaves the compiler free to optimise. A CheckedNumber is a double together
// with the faults raised while computing it; its operators raise
//  - invalid operation: a NaN result from operands that are not NaN;
//  - division by zero: a finite non-zero number divided by zero;
//  - overflow: an infinite result from finite operands,
// and the two checked readings raise overflow for a text beyond the double
// range. faultChecked() ends the step: it gives the value or throws Failure
// for the first fault, in the order invalid operation, division by zero,
// overflow, when the step raised several.
//
// A handler writes its step as one expression:
//   const double sum = faultChecked(checkedStrictToNumber(typed) + 115);
// Plain doubles (constants, earlier results) join the step as they are; a
// step computed in plain doubles does not compile.

#include "numtext/Failure.h"

#include <cmath>
#include <cstdint>
#include <string_view>

namespace numtext {

class CheckedNumber {
  public:
    // A value from outside the step, which raised nothing within it.
    constexpr CheckedNumber(double value) noexcept : m_value(value) {}

    friend CheckedNumber operator+(CheckedNumber a, CheckedNumber b) noexcept {
        return checked(a, b, a.m_value + b.m_value, false);
    }
    friend CheckedNumber operator-(CheckedNumber a, CheckedNumber b) noexcept {
        return checked(a, b, a.m_value - b.m_value, false);
    }
    friend CheckedNumber operator*(CheckedNumber a, CheckedNumber b) noexcept {
        return checked(a, b, a.m_value * b.m_value, false);
    }
    friend CheckedNumber operator/(CheckedNumber a, CheckedNumber b) noexcept {
        return checked(a, b, a.m_value / b.m_value, true);
    }

    // The value, or Failure for the first fault raised. A NaN or infinite
    // value from an operand that came in so fails too (as invalid operation
    // and overflow), so that neither is ever passed on.
    double value() const;

  private:
    enum Fault : std::uint8_t {
        InvalidOperation = 1,
        DivisionByZero = 2,
        Overflow = 4,
    };

    static CheckedNumber checked(CheckedNumber a, CheckedNumber b, double result,
                                 bool division) noexcept {
        CheckedNumber out(result);
        out.m_faults = a.m_faults | b.m_faults;
        const double x = a.m_value;
        const double y = b.m_value;
        if (std::isnan(result) && !std::isnan(x) && !std::isnan(y))
            out.m_faults |= InvalidOperation;
        else if (division && y == 0 && x != 0 && std::isfinite(x))
            out.m_faults |= DivisionByZero;
        else if (std::isinf(result) && std::isfinite(x) && std::isfinite(y))
            out.m_faults |= Overflow;
        return out;
    }

    // A value just read from text: an infinity there means the text was a
    // number beyond the double range.
    static CheckedNumber read(double value) noexcept;
    friend CheckedNumber checkedLenientToNumber(std::string_view text);
    friend CheckedNumber checkedStrictToNumber(std::string_view text);

    double m_value;
    std::uint8_t m_faults = 0;
};

// lenientToNumber and strictToNumber within a fault-checked step: a number
// beyond the double range raises overflow. The strict one still throws
// Failure(NotANumber) at once for a text that is not a number.
CheckedNumber checkedLenientToNumber(std::string_view text);
CheckedNumber checkedStrictToNumber(std::string_view text);

// Ends a fault-checked step: its value, or Failure for its first fault.
inline double faultChecked(CheckedNumber step) {
    return step.value();
}
// Arithmetic on plain doubles raises nothing that could be checked.
double faultChecked(double) = delete;

} // namespace numtext
