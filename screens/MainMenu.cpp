// SPDX-License-Identifier: GPL-3.0-or-later
// The main menu: start the puzzle, read about the program, or leave. Each
// button closes the menu before it opens the next window.
#include "screens/Screens.h"

#include "app/Handler.h"

namespace screens {

using namespace app;
using enum ControlKind;
using enum FormId;

namespace {

// clang-format off
constexpr ControlRow kForm2Controls[] = {
    {"Command1", PushButton, "بدء البرنامج", 1320, 600, 2775, 615, 0},
    {"Command2", PushButton, "نبذة عن البرنامج", 1320, 1680, 2775, 615, 1},
    {"Command3", PushButton, "خروج", 1320, 2880, 2775, 855, 2},
};
// clang-format on

using Form2Actions = FormActions<kForm2Controls>;

void startPuzzle(Form2Actions& form) {
    form.unload(Form2);
    form.show(Form6);
}

void openAbout(Form2Actions& form) {
    form.unload(Form2);
    form.show(Form5);
}

void askToLeave(Form2Actions& form) {
    form.unload(Form2);
    form.show(Form3);
}

constexpr ButtonBinding kForm2Buttons[] = {
    bind<startPuzzle>("Command1"),
    bind<openAbout>("Command2"),
    bind<askToLeave>("Command3"),
};

} // namespace

constexpr FormDescription form2{Form2, "واجهة البرنامج", 5760, 5160, kForm2Controls, kForm2Buttons};
static_assert(isWellFormed(form2));

} // namespace screens
