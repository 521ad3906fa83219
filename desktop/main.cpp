// SPDX-License-Identifier: GPL-3.0-or-later
// Starts the program: shows the entry window and runs the event loop until
// End is called or no window is left.
#include "app/FormRegistry.h"
#include "desktop/Accessibility.h"
#include "desktop/Appearance.h"
#include "desktop/QtWindowSystem.h"
#include "screens/Screens.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char* argv[]) {
    desktop::exposeToAssistiveTechnology();
    QApplication application(argc, argv);
    // The name gives the X11 window class (StartupWMClass in the desktop
    // entry); the desktop file name lets Wayland compositors and docks find
    // the installed entry and its icon.
    QApplication::setApplicationName(QStringLiteral("takhmin"));
    QApplication::setApplicationVersion(QStringLiteral(TAKHMIN_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.takhmin.Takhmin"));
    // One small size only: every size given here is decoded at start-up and
    // sent to the X server with each window. The desktop's menus take the
    // larger icons from the installed icon theme instead.
    QApplication::setWindowIcon(
        QIcon(QStringLiteral(":/icons/48x48/io.github.takhmin.Takhmin.png")));
    desktop::prepareApplication(application);

    app::FormRegistry registry(screens::allForms());
    desktop::QtWindowSystem windows(registry);
    registry.start(windows);
    if (registry.hasEnded())
        return 0;
    return application.exec();
}
