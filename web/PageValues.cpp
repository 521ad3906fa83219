// SPDX-License-Identifier: GPL-3.0-or-later
// Prints, as a CMake script, the values that the site's static files take
// from the program at build time: the desktop colour of app/Layout.h and the
// darker shades of it that the page draws with, and the page's own texts
// (web/PageTexts.h). The build fills the templates' @NAME@ from it
// (web/FillTemplate.cmake).
#include "app/Layout.h"
#include "web/Css.h"
#include "web/PageTexts.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace {

// The texts go into the HTML and the manifest's JSON as they are.
constexpr bool plain(std::string_view text) {
    return text.find_first_of("<>&\"\\") == std::string_view::npos;
}
constexpr bool allPlain() {
    for (const web::PageText& text : web::pageTexts)
        if (!plain(text.text))
            return false;
    return true;
}
static_assert(allPlain(), "a page text needs escaping for HTML or JSON");

// The colour `percent` per cent of the way from black to the desktop colour.
std::uint32_t desktopShade(int percent) {
    std::uint32_t rgb = 0;
    for (int shift : {16, 8, 0})
        rgb |= (((app::desktopColourRgb >> shift) & 0xff) * percent / 100) << shift;
    return rgb;
}

// A CMake string as a quoted argument.
std::string quoted(std::string_view text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\' || c == '$')
            out += '\\';
        out += c;
    }
    return out + '"';
}

void set(std::string_view name, std::string_view value) {
    std::printf("set(%.*s %s)\n", int(name.size()), name.data(), quoted(value).c_str());
}

} // namespace

int main() {
    set("desktop_colour", web::cssRgb(app::desktopColourRgb));
    // White bold title text on the active title bar, 4.5:1 or more at both
    // ends of its gradient; the text, focus ring and marks drawn on the
    // desktop itself, and the focus ring on the windows' light controls (3:1
    // against their grey borders and white).
    set("title_top", web::cssRgb(desktopShade(75)));
    set("title_bottom", web::cssRgb(desktopShade(68)));
    set("desktop_ink", web::cssRgb(desktopShade(25)));
    for (const web::PageText& text : web::pageTexts)
        set(std::string("page_") + std::string(text.name), text.text);
}
