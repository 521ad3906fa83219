// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ControlText.h"

namespace app {

std::vector<std::string_view> wrapAtSpaces(std::string_view text, double width,
                                           const MeasureText& measure) {
    std::vector<std::string_view> lines;
    std::size_t lineStart = 0;
    // The end of the line so far, after its last word; npos while the line
    // has no word yet.
    std::size_t lineEnd = std::string_view::npos;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t wordStart = text.find_first_not_of(' ', pos);
        if (wordStart == std::string_view::npos)
            break;
        std::size_t wordEnd = text.find(' ', wordStart);
        if (wordEnd == std::string_view::npos)
            wordEnd = text.size();
        // The whole line is measured, not word by word, so that shaping and
        // kerning across the spaces count as the window system draws them.
        if (lineEnd != std::string_view::npos &&
            measure(text.substr(lineStart, wordEnd - lineStart)) > width) {
            lines.push_back(text.substr(lineStart, lineEnd - lineStart));
            lineStart = wordStart;
        }
        lineEnd = wordEnd;
        pos = wordEnd;
    }
    // Spaces that lead the text are drawn; a text of spaces alone is one
    // blank line.
    if (lineEnd == std::string_view::npos)
        lineEnd = text.size();
    if (lineEnd > lineStart)
        lines.push_back(text.substr(lineStart, lineEnd - lineStart));
    return lines;
}

std::string joinLines(std::string_view text) {
    // U+2028 and U+2029 in UTF-8.
    constexpr std::string_view lineSeparator = "\xE2\x80\xA8";
    constexpr std::string_view paragraphSeparator = "\xE2\x80\xA9";
    std::string joined;
    joined.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const std::string_view rest = text.substr(i);
        if (text[i] == '\r' || text[i] == '\n') {
            if (rest.starts_with("\r\n"))
                ++i;
            joined += ' ';
        } else if (rest.starts_with(lineSeparator) || rest.starts_with(paragraphSeparator)) {
            i += 2;
            joined += ' ';
        } else {
            joined += text[i];
        }
    }
    return joined;
}

} // namespace app
