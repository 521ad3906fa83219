// SPDX-License-Identifier: GPL-3.0-or-later
#include "numtext/FaultCheck.h"

#include <cfenv>
#include <cmath>

namespace numtext {

// Both functions stay out of line on purpose: a call the compiler cannot see
// into may read or change the floating-point state, so the arithmetic of a
// fault-checked step cannot be moved across either of them.

void clearFaultFlags() {
    std::feclearexcept(FE_ALL_EXCEPT);
}

double checkFaultFlags(double result) {
    const int raised = std::fetestexcept(FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW);
    if ((raised & FE_INVALID) != 0)
        throw Failure(FailureKind::InvalidOperation);
    if ((raised & FE_DIVBYZERO) != 0)
        throw Failure(FailureKind::DivisionByZero);
    if ((raised & FE_OVERFLOW) != 0)
        throw Failure(FailureKind::Overflow);
    // The result is checked after the flags: an infinite result may come from
    // an infinite operand without any flag, and a quiet NaN operand propagates
    // without raising the invalid flag. Neither may be passed on.
    if (std::isnan(result))
        throw Failure(FailureKind::InvalidOperation);
    if (std::isinf(result))
        throw Failure(FailureKind::Overflow);
    return result;
}

} // namespace numtext
