// SPDX-License-Identifier: GPL-3.0-or-later
// The entry window asks for the user's age and lets only ages from 6 to 70
// on to the main menu; any other age opens a warning beside it.
#include "screens/Screens.h"

#include "app/Handler.h"
#include "numtext/Conversions.h"

namespace screens {

using namespace app;
using enum ControlKind;
using enum FormId;

namespace {

// clang-format off
constexpr ControlRow kForm1Controls[] = {
    {"Label1", Label, "أهلا وسهلا بكم في برنامج تخمين الأرقام ", 1320, 240, 3135, 375, 0},
    {"Label2", Label, "ادخل عمرك من فضلك", 2040, 960, 1575, 375, 2},
    {"Text1", TextBox, "", 2280, 1800, 855, 285, 3},
    {"Command1", PushButton, "الرجاء الضغط هنا للدخول إلى البرنامج بعد إدخالك لعمرك", 840, 3240, 4095, 855, 1},
};

constexpr ControlRow kForm8Controls[] = {
    {"Label1", Label, "الرجاء التأكد من إدخال عمرك الصحيح", 1080, 480, 2775, 375, 0},
    {"Command1", PushButton, "موافق", 1320, 1320, 1935, 495, 1},
};
// clang-format on

using Form1Actions = FormActions<kForm1Controls>;
using Form8Actions = FormActions<kForm8Controls>;

void checkAge(Form1Actions& form) {
    // Lenient on purpose: any text is screened, "25 years" reads as 25.
    const double age = numtext::lenientToNumber(form.text("Text1"));
    if (age >= 6 && age <= 70) {
        form.unload(Form1);
        form.show(Form2);
        return;
    }
    // Form1 is loaded already, so this keeps the typed text for correction.
    form.load(Form1);
    form.show(Form8);
}

void acknowledgeAgeWarning(Form8Actions& form) {
    form.unload(Form8);
    form.show(Form1);
}

constexpr ButtonBinding kForm1Buttons[] = {bind<checkAge>("Command1")};

constexpr ButtonBinding kForm8Buttons[] = {bind<acknowledgeAgeWarning>("Command1")};

constexpr LabelFor kForm1Labels[] = {{"Label2", "Text1"}};

} // namespace

constexpr FormDescription form1{Form1,          "بدء البرنامج", 5655,        4455,
                                kForm1Controls, kForm1Buttons,  kForm1Labels};
constexpr FormDescription form8{Form8,          "رسالة تحذير", 4680, 2385,
                                kForm8Controls, kForm8Buttons, {},   FormRole::Alert};
static_assert(isWellFormed(form1) && isWellFormed(form8));

} // namespace screens
