// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// How the texts of controls are shown and held, the same on every window
// system: where a caption breaks into lines, and what a single-line text box
// makes of a line break. The window system supplies only the measuring of
// text in its font; it draws the lines and clips them to the control.

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
