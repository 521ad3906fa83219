// SPDX-License-Identifier: GPL-3.0-or-later
// Starts the program in the page: shows the entry window, then returns; the
// browser's event loop delivers every later click and close through the
// functions below. After the end the page can start the program again.
#include "app/ControlText.h"
#include "app/FormRegistry.h"
#include "screens/Screens.h"
#include "web/WebWindowSystem.h"

#include <emscripten/emscripten.h>

#include <cstdlib>
#include <cstring>
#include <optional>

namespace {

// A new registry and window system for every start: the page can start the
// program again once it has ended.
struct Running {
    app::FormRegistry registry{screens::allForms()};
    web::WebWindowSystem windows{registry};
};
std::optional<Running> running;

void start() {
    running.emplace();
    running->registry.start(running->windows);
}

} // namespace

extern "C" {

EMSCRIPTEN_KEEPALIVE void takhmin_click(int form, int row) {
    if (running)
        running->windows.click(form, row);
}

EMSCRIPTEN_KEEPALIVE void takhmin_close(int form) {
    if (running)
        running->windows.closedByUser(form);
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
    if (!running || running->registry.hasEnded())
        start();
}

} // extern "C"

int main() {
    start();
}
