// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The one failure type of the program. A failed conversion or a floating-point
// fault stops the running button handler at the step where it happens; the
// click dispatch is the only place that catches it and tells the user. The
// sentence the user reads for each kind is in app/FailureMessages.cpp.

#include <exception>

namespace numtext {

enum class FailureKind {
    // The strict conversion was given a text that is not exactly one number.
    NotANumber,
    // Rounding to a whole number gave a value outside the signed 32-bit range.
    WholeOutOfRange,
    // A fault-checked step divided a non-zero number by zero.
    DivisionByZero,
    // A fault-checked step had no defined result, such as 0 / 0.
    InvalidOperation,
    // A fault-checked step produced or read a value beyond the range of a
    // double.
    Overflow,
};

class Failure : public std::exception {
  public:
    explicit Failure(FailureKind kind) : m_kind(kind) {}
    FailureKind kind() const { return m_kind; }
    // The same text for every kind: kind() says which, and
    // app::failureMessage() turns that into words for the user.
    const char* what() const noexcept override;

  private:
    FailureKind m_kind;
};

} // namespace numtext
