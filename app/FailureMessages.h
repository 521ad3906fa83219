// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The Arabic sentence the user reads when a handler stops at a failed step.

#include "numtext/Failure.h"

#include <string_view>

namespace app {

std::string_view failureMessage(numtext::FailureKind kind);
std::string_view failureTitle();
// The caption of the button that dismisses the message.
std::string_view failureButton();

} // namespace app
