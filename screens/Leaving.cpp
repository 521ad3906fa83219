// SPDX-License-Identifier: GPL-3.0-or-later
// The exit confirmation and the goodbye window whose button ends the
// program. Neither reads anything the user typed.
#include "screens/Screens.h"

#include "app/Handler.h"

namespace screens {

using namespace app;
using enum ControlKind;
using enum FormId;

namespace {

// clang-format off
constexpr ControlRow kForm3Controls[] = {
    {"Label1", Label, "هل تريد بالتأكيد الخروج من البرنامج", 840, 360, 2535, 375, 0},
    {"Command1", PushButton, "لا", 240, 1080, 1455, 495, 1},
    {"Command2", PushButton, "نعم", 2280, 1080, 1455, 495, 2},
};

constexpr ControlRow kForm4Controls[] = {
    {"Label1", Label, "الرجاء الرجوع لزيارتنا مرة أخرى", 960, 360, 2775, 495, 0},
    {"Command1", PushButton, "موافق", 1080, 1320, 2055, 495, 1},
};
// clang-format on

using Form3Actions = FormActions<kForm3Controls>;
using Form4Actions = FormActions<kForm4Controls>;

void stayInProgram(Form3Actions& form) {
    form.unload(Form3);
    form.show(Form2);
}

void confirmLeaving(Form3Actions& form) {
    form.unload(Form3);
    form.show(Form4);
}

void sayGoodbye(Form4Actions& form) {
    form.end();
}

constexpr ButtonBinding kForm3Buttons[] = {
    bind<stayInProgram>("Command1"),
    bind<confirmLeaving>("Command2"),
};

constexpr ButtonBinding kForm4Buttons[] = {bind<sayGoodbye>("Command1")};

} // namespace

constexpr FormDescription form3{Form3, "رسالة تحذير أخير", 4275,
                                1680,  kForm3Controls,     kForm3Buttons};
constexpr FormDescription form4{Form4, " وداعا", 4320, 2025, kForm4Controls, kForm4Buttons};
static_assert(isWellFormed(form3) && isWellFormed(form4));

} // namespace screens
