// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The look every window shares: one font for all controls, and the geometry
// unit. Tables are in twips; Qt works in device-independent pixels, which at
// 96 DPI are 15 twips each (app::twipsToPixels) and grow with the screen's
// scale factor.

#include "app/Layout.h"

#include <QColor>
#include <QFont>
#include <QRect>

class QApplication;

namespace desktop {

using app::twipsToPixels;

QRect twipsToPixels(int left, int top, int width, int height);

// The font every control uses. Asked for by family name, so that Arabic does
// not depend on fontconfig's fallback, and sized in pixels so that it keeps
// its proportion to the rectangles at any scale factor.
QFont dialogFont();

// The colour a table row asks for (app::Colour); an invalid QColor for the
// ordinary look. Qt has no role for the window system's desktop colour, so a
// fixed blue (app::desktopColourRgb) stands in for it behind the one label
// that asks for it; dark text reads well on it.
QColor toQColor(const app::Colour& colour);

// Applies the shared look and the accessibility support to the whole
// application; call it once, right after creating the QApplication.
void prepareApplication(QApplication& application);

} // namespace desktop
