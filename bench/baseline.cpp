// SPDX-License-Identifier: GPL-3.0-or-later
// The least a Qt Widgets program can do to show what the entry window shows:
// one window with an Arabic label, a line edit and a push button, in the
// program's font and at the entry window's size. scripts/bench times the
// program's start-up and measures its memory against this.
#include "desktop/Appearance.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    application.setFont(desktop::dialogFont());

    QWidget window;
    window.setWindowTitle(QStringLiteral("بدء البرنامج"));
    window.setFixedSize(377, 297);
    QLabel label(QStringLiteral("ادخل عمرك من فضلك"), &window);
    label.setGeometry(136, 64, 105, 25);
    QLineEdit box(&window);
    box.setGeometry(152, 120, 57, 19);
    QPushButton button(QStringLiteral("الرجاء الضغط هنا للدخول"), &window);
    button.setGeometry(56, 216, 273, 57);
    window.show();
    return application.exec();
}
