// SPDX-License-Identifier: GPL-3.0-or-later
#include "numtext/FaultCheck.h"

#include "numtext/Conversions.h"

#include <cmath>

namespace numtext {

// The grammar has no "inf", so the conversions give an infinity only for a
// number beyond the double range.
CheckedNumber CheckedNumber::read(double value) noexcept {
    CheckedNumber reading(value);
    if (std::isinf(value))
        reading.m_faults = Overflow;
    return reading;
}

CheckedNumber checkedLenientToNumber(std::string_view text) {
    return CheckedNumber::read(lenientToNumber(text));
}

CheckedNumber checkedStrictToNumber(std::string_view text) {
    return CheckedNumber::read(strictToNumber(text));
}

double CheckedNumber::value() const {
    if ((m_faults & InvalidOperation) != 0)
        throw Failure(FailureKind::InvalidOperation);
    if ((m_faults & DivisionByZero) != 0)
        throw Failure(FailureKind::DivisionByZero);
    if ((m_faults & Overflow) != 0)
        throw Failure(FailureKind::Overflow);
    if (std::isnan(m_value))
        throw Failure(FailureKind::InvalidOperation);
    if (std::isinf(m_value))
        throw Failure(FailureKind::Overflow);
    return m_value;
}

} // namespace numtext
