// SPDX-License-Identifier: GPL-3.0-or-later
#include "numtext/Failure.h"

namespace numtext {

const char* Failure::what() const noexcept {
    switch (m_kind) {
    case FailureKind::NotANumber:
        return "not a number";
    case FailureKind::WholeOutOfRange:
        return "whole number out of range";
    case FailureKind::DivisionByZero:
        return "division by zero";
    case FailureKind::InvalidOperation:
        return "invalid operation";
    case FailureKind::Overflow:
        return "overflow";
    }
    return "failure";
}

} // namespace numtext
