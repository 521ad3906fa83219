// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Guards one arithmetic step against the floating-point faults the program
// refuses to pass on: invalid operation, division by zero and overflow.
// Underflow and inexact results are not faults.
//
// The compiler is free to move floating-point arithmetic across calls it
// believes cannot observe it, and GCC ignores FENV_ACCESS. So the operands go
// through an empty asm barrier after the flags are cleared, and the result
// through another before the flags are tested; together they pin the step
// between the two. Never build this with -ffast-math.

#include "numtext/Failure.h"

namespace numtext {

// Makes the compiler forget what it knows about `value`, so that arithmetic
// on it can neither be folded at compile time nor hoisted above this point.
inline double fenced(double value) {
    asm volatile("" : "+m"(value));
    return value;
}

void clearFaultFlags();

// Throws Failure with the kind of the first fault raised since
// clearFaultFlags(), in the order invalid, division by zero, overflow.
// A result beyond the largest double counts as overflow even when no flag is
// set. Returns `result` otherwise.
double checkFaultFlags(double result);

// Runs `step` as one fault-checked step and returns its result. Operands that
// were computed before the call must be passed through fenced() inside `step`;
// values produced by calls made inside `step` need no fence.
template <typename Step> double faultChecked(Step&& step) {
    clearFaultFlags();
    double result = step();
    return checkFaultFlags(fenced(result));
}

} // namespace numtext
