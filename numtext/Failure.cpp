// SPDX-License-Identifier: GPL-3.0-or-later
#include "numtext/Failure.h"

namespace numtext {

const char* Failure::what() const noexcept {
    return "numtext::Failure";
}

} // namespace numtext
