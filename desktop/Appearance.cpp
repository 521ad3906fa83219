// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop/Appearance.h"

#include "desktop/Accessibility.h"

#include <QApplication>

namespace desktop {

QRect twipsToPixels(int left, int top, int width, int height) {
    return QRect(twipsToPixels(left), twipsToPixels(top), twipsToPixels(width),
                 twipsToPixels(height));
}

QFont dialogFont() {
    QFont font;
    // Naskh shapes Arabic fully, and at 11 px its UI variant keeps a line at
    // 15 px: one line fits the 17 px single-line rows and the about page's
    // paragraphs wrap within their rectangles. Latin letters and digits fall
    // back to DejaVu Sans.
    font.setFamilies({QStringLiteral("Noto Naskh Arabic UI"), QStringLiteral("DejaVu Sans")});
    font.setPixelSize(11);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

QColor toQColor(const app::Colour& colour) {
    switch (colour.kind) {
    case app::Colour::Kind::Ordinary:
        break;
    case app::Colour::Kind::Rgb:
        return QColor::fromRgb(colour.rgb);
    case app::Colour::Kind::Desktop:
        return QColor(0x6d, 0x9b, 0xd1);
    }
    return QColor();
}

void prepareApplication(QApplication& application) {
    installAccessibility();
    application.setFont(dialogFont());
    // The nine windows decide themselves when the program ends.
    application.setQuitOnLastWindowClosed(false);
}

} // namespace desktop
