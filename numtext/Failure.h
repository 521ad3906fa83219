// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The one failure type of the program. A failed conversion or a floating-point
// fault stops the running button handler at the step where it happens; the
// click dispatch is the only place that catches it and tells the user. The
// sentence the user reads for each kind is in app/FailureMessages.cpp.

#include <array>
#include <cstddef>
#include <exception>
#include <string_view>

namespace numtext {

// Each kind takes the next number, from 0: failureKinds below counts them so.
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

// The kind's name as tools print it ("DivisionByZero"), or empty for a number
// that is no kind. A kind added above without a case here stops the build:
// the switch's warning for a missing case is an error here.
#pragma GCC diagnostic push
#pragma GCC diagnostic error "-Wswitch"
constexpr std::string_view failureKindName(FailureKind kind) {
    switch (kind) {
    case FailureKind::NotANumber:
        return "NotANumber";
    case FailureKind::WholeOutOfRange:
        return "WholeOutOfRange";
    case FailureKind::DivisionByZero:
        return "DivisionByZero";
    case FailureKind::InvalidOperation:
        return "InvalidOperation";
    case FailureKind::Overflow:
        return "Overflow";
    }
    return {};
}
#pragma GCC diagnostic pop

// Every kind, in the enumeration's order: the numbers from 0 up to the first
// that has no name.
inline constexpr std::size_t failureKindCount = [] {
    std::size_t count = 0;
    while (!failureKindName(FailureKind(count)).empty())
        ++count;
    return count;
}();
inline constexpr std::array<FailureKind, failureKindCount> failureKinds = [] {
    std::array<FailureKind, failureKindCount> kinds{};
    for (std::size_t i = 0; i < kinds.size(); ++i)
        kinds[i] = FailureKind(i);
    return kinds;
}();

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
