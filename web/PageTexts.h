// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The page's own texts, beside those of the nine windows and the failure
// message. They live here so that the font subset made at build time covers
// them too.

#include <string_view>

namespace web {

// The accessible name of each window's close control.
inline constexpr std::string_view closeLabel = "إغلاق";
// What the page says once the program has ended, and the button under it.
inline constexpr std::string_view endedText = "انتهى البرنامج. شكرا لك.";
inline constexpr std::string_view restartButton = "ابدأ من جديد";

} // namespace web
