// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Two rules for the texts of controls: where a caption breaks into lines
// (wrapAtSpaces), and what a single-line text box makes of a line break
// (joinLines). The core never applies them itself; each face decides where
// it calls them, and they are not applied alike everywhere:
//  - The Qt face draws its labels' lines with wrapAtSpaces, measuring in its
//    font, and draws them clipped to the label. Its push buttons wrap their
//    captions by Qt's own word wrap, not by this rule. Every change of a text
//    box's text passes through joinLines.
//  - The page calls neither for drawing: labels and buttons break their lines
//    by the browser's own rules (CSS white-space: pre-wrap), which also
//    break at places other than spaces. Text pasted or dropped into a box
//    with a line break in it goes through joinLines; text the program writes
//    into a box is left to the browser's <input>.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace app {

// The width of a piece of UTF-8 text in the control's font, in any unit.
using MeasureText = std::function<double(std::string_view)>;

// Breaks a caption into the lines it is drawn on, from the first to the
// last. Lines break only at spaces (U+0020), as many words to a line as fit
// in `width`; a run of spaces at a break belongs to neither line. A word
// wider than `width` stands alone on its line, whole: the window system cuts
// it off where it leaves the control. The empty text has no line.
std::vector<std::string_view> wrapAtSpaces(std::string_view text, double width,
                                           const MeasureText& measure);

// What a single-line text box holds of `text`: each line break (CR LF, CR,
// LF, U+2028 or U+2029) becomes one space, so that the box holds what it
// shows. Everything else is kept as it is.
std::string joinLines(std::string_view text);

} // namespace app
