// SPDX-License-Identifier: GPL-3.0-or-later
// Starts the program in the page: shows the entry window, then returns; the
// browser's event loop delivers every later click and close through the
// functions below. After the end the page can start the program again.
#include "app/Program.h"
#include "screens/Screens.h"
#include "web/WebWindowSystem.h"

#include <emscripten/emscripten.h>

#include <optional>

namespace {

web::WebWindowSystem windows;
std::optional<app::Program> program;

void start() {
    program.emplace(screens::allForms(), windows);
    windows.attach(*program);
    program->start();
}

} // namespace

extern "C" {

EMSCRIPTEN_KEEPALIVE void takhmin_click(int form, int row) {
    windows.click(form, row);
}

EMSCRIPTEN_KEEPALIVE void takhmin_close(int form) {
    windows.closedByUser(form);
}

EMSCRIPTEN_KEEPALIVE void takhmin_restart() {
    if (!program || program->hasEnded())
        start();
}

} // extern "C"

int main() {
    start();
}
