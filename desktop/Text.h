// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The core keeps every text as UTF-8; Qt wants QString.

#include <QString>

#include <string_view>

namespace desktop {

inline QString toQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace desktop
