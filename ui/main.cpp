// SPDX-License-Identifier: GPL-3.0-or-later
// Starts the program: shows the entry window and runs the event loop until
// End is called or no window is left.
#include "app/Program.h"
#include "screens/Screens.h"
#include "ui/Appearance.h"
#include "ui/QtWindowSystem.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    ui::prepareApplication(application);

    ui::QtWindowSystem windows;
    app::Program program(screens::allForms(), windows);
    windows.attach(program);
    program.start();
    if (program.hasEnded())
        return 0;
    return application.exec();
}
