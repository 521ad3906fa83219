// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop/Appearance.h"

#include "desktop/Accessibility.h"
#include "desktop/HeldKeys.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

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
        return QColor::fromRgb(app::desktopColourRgb);
    }
    return QColor();
}

void prepareApplication(QApplication& application) {
    installAccessibility();
    HeldKeys::watch(application);
    // The texts Qt draws itself, such as a text box's right-click menu, are
    // Arabic like the rest of the program, whatever the locale. Qt then lays
    // out its own windows and menus right to left; the program's windows set
    // their direction themselves and never mirror. The menus leave out the
    // Latin shortcut hints (Ctrl+Z...), which a right-to-left menu draws
    // past its edge; the shortcuts themselves still work.
    auto* translator = new QTranslator(&application);
    if (translator->load(QStringLiteral("qtbase_ar"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(translator);
    QCoreApplication::setAttribute(Qt::AA_DontShowShortcutsInContextMenus);
    application.setFont(dialogFont());
    // The nine windows decide themselves when the program ends.
    application.setQuitOnLastWindowClosed(false);
}

} // namespace desktop
