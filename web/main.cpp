// SPDX-License-Identifier: GPL-3.0-or-later
// Starts the program in the page: shows the entry window, then returns; the
// browser's event loop delivers every later click and close through the
// functions below. After the end the page can start the program again.
#include "app/ControlText.h"
#include "app/Program.h"
#include "screens/Screens.h"
#include "web/WebWindowSystem.h"

#include <emscripten/emscripten.h>

#include <cstdlib>
#include <cstring>
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

// What a single-line text box keeps of a pasted or dropped text, by the same
// rule as on the desktop. Returns a malloc'd copy that the caller frees.
EMSCRIPTEN_KEEPALIVE char* takhmin_one_line(const char* text) {
    const std::string line = app::joinLines(text);
    char* copy = static_cast<char*>(std::malloc(line.size() + 1));
    std::memcpy(copy, line.c_str(), line.size() + 1);
    return copy;
}

EMSCRIPTEN_KEEPALIVE void takhmin_restart() {
    if (!program || program->hasEnded())
        start();
}

} // extern "C"

int main() {
    start();
}
