// SPDX-License-Identifier: GPL-3.0-or-later
// Prints what the conversions and the fault check make of each line of
// standard input, one output line per input line, so that builds by different
// compilers and standard libraries (the desktop's and the browser's) can be
// compared with diff. Standard C++ only. Each line shows:
//   the lenient reading (bits and its numberToText),
//   the strict reading (the same, or the failure),
//   roundToWhole of the lenient reading (or the failure),
//   the fault-checked step 1 / (the line read leniently) (text or failure).
#include "numtext/Conversions.h"
#include "numtext/Failure.h"
#include "numtext/FaultCheck.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>

namespace {

std::string describe(double value) {
    // memcpy rather than std::bit_cast, which the browser's libc++ 13 lacks.
    std::uint64_t pattern = 0;
    std::memcpy(&pattern, &value, sizeof pattern);
    char bits[24];
    std::snprintf(bits, sizeof bits, "%016llx", static_cast<unsigned long long>(pattern));
    return std::string(bits) + " " + numtext::numberToText(value);
}

template <typename Step> std::string attempt(Step step) {
    try {
        return step();
    } catch (const numtext::Failure& failure) {
        return std::string("fails: ") + failure.what();
    }
}

} // namespace

int main() {
    std::string line;
    while (std::getline(std::cin, line)) {
        const double lenient = numtext::lenientToNumber(line);
        const std::string strict = attempt([&] { return describe(numtext::strictToNumber(line)); });
        const std::string whole =
            attempt([&] { return numtext::wholeToText(numtext::roundToWhole(lenient)); });
        const std::string reciprocal = attempt([&] {
            return numtext::numberToText(
                numtext::faultChecked(1 / numtext::checkedLenientToNumber(line)));
        });
        std::cout << "lenient " << describe(lenient) << " | strict " << strict << " | whole "
                  << whole << " | 1/x " << reciprocal << '\n';
    }
    return 0;
}
