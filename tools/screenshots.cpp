// SPDX-License-Identifier: GPL-3.0-or-later
// Saves a picture of each window as a person sees it, frame included: run it
// on an X server with a window manager (scripts/screenshots does that). Each
// window is shown on its own, filled in the way a user would fill it.
#include "app/FormRegistry.h"
#include "desktop/Appearance.h"
#include "desktop/QtWindowSystem.h"
#include "desktop/Window.h"
#include "screens/Screens.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTest>

#include <cstdio>

using enum app::FormId;

namespace {

void settle(int ms = 400) {
    QTest::qWait(ms);
}

bool saveFrame(QWidget* window, const QString& path) {
    settle();
    const QRect frame = window->frameGeometry();
    const QPixmap shot =
        window->screen()->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height());
    if (!shot.save(path)) {
        std::fprintf(stderr, "could not save %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

void type(desktop::QtWindowSystem& windows, app::FormId id, const char* box, const QString& text) {
    const desktop::Window* window = windows.window(id);
    qobject_cast<QLineEdit*>(window->control(window->description().rowOf(box)))->setText(text);
}

void click(desktop::QtWindowSystem& windows, app::FormId id, const char* button) {
    const desktop::Window* window = windows.window(id);
    qobject_cast<QPushButton*>(window->control(window->description().rowOf(button)))->click();
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    desktop::prepareApplication(application);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("shots");
    QDir().mkpath(folder);

    bool ok = true;
    for (int i = 0; i < app::formCount; ++i) {
        const auto id = app::FormId(i);
        app::FormRegistry registry(screens::allForms());
        desktop::QtWindowSystem windows(registry);
        registry.start(windows, id);
        // Fill the windows that hold user data as they look in use.
        if (id == Form1)
            type(windows, Form1, "Text1", QStringLiteral("25"));
        if (id == Form6) {
            type(windows, Form6, "Text1", QStringLiteral("2064"));
            click(windows, Form6, "Command1");
        }
        if (id == Form9) {
            type(windows, Form9, "Text1", QStringLiteral("5"));
            type(windows, Form9, "Text2", QStringLiteral("3"));
            click(windows, Form9, "Command4");
        }
        ok &= saveFrame(windows.window(id),
                        QStringLiteral("%1/%2.png").arg(folder, QLatin1String(app::formName(id))));
        if (id == Form9) {
            // The message a failed step leaves, beside the calculator.
            type(windows, Form9, "Text2", QStringLiteral("0"));
            click(windows, Form9, "Command4");
            ok &= saveFrame(windows.failureWindow(), folder + QStringLiteral("/failure.png"));
        }
    }
    return ok ? 0 : 1;
}
