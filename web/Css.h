// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Colours as CSS writes them, for the windows' controls and the site's files.

#include <cstdint>
#include <string>

namespace web {

// 0xrrggbb as "#rrggbb".
inline std::string cssRgb(std::uint32_t rgb) {
    std::string css = "#";
    for (int shift = 20; shift >= 0; shift -= 4)
        css += "0123456789abcdef"[(rgb >> shift) & 0xf];
    return css;
}

} // namespace web
