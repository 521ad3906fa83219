// SPDX-License-Identifier: GPL-3.0-or-later
// A four-function calculator opened beside the puzzle. The first operand is
// read leniently (the number the text begins with, "12abc" as 12, and 0 when
// it begins with none), the second strictly (it must be a number and nothing
// else); every operation is fault-checked.
#include "screens/Screens.h"

#include "app/Handler.h"
#include "numtext/Conversions.h"
#include "numtext/FaultCheck.h"

namespace screens {

using namespace app;
using namespace numtext;
using enum ControlKind;
using enum FormId;

namespace {

// clang-format off
constexpr ControlRow kForm9Controls[] = {
    {"Label1", Label, "بسم الله الرحمن الرحيم", 840, 0, 3135, 255, 14, {.background = rgb(0x80FF80), .align = Align::Centre}},
    {"Label2", Label, "رب اشرح لي صدري ويسر لي أمري", 840, 480, 3135, 375, 13, {.background = rgb(0x80FF80), .align = Align::Centre}},
    {"Text1", TextBox, "0", 1920, 1080, 1575, 405, 8, {.background = rgb(0xFFC080)}},
    {"Label3", Label, "أدخل العدد الاول", 3720, 1080, 1695, 255, 12, {.align = Align::Right}},
    {"Text2", TextBox, "0", 1920, 1680, 1575, 405, 7, {.background = rgb(0xFFC080)}},
    {"Label4", Label, "أدخل العدد الثانى", 3600, 1680, 1815, 255, 11, {.align = Align::Right}},
    {"Command5", PushButton, "مسح", 120, 2160, 855, 495, 1},
    {"Text3", TextBox, "0", 1920, 2280, 1575, 405, 6, {.background = rgb(0xFFC080)}},
    {"Label5", Label, "الناتج", 3600, 2400, 1815, 255, 10, {.align = Align::Right}},
    {"Command6", PushButton, "خروج", 240, 2880, 615, 375, 0},
    {"Command4", PushButton, "قسمة", 1200, 2880, 735, 375, 2},
    {"Command3", PushButton, "ضرب", 2280, 2880, 735, 375, 3},
    {"Command2", PushButton, "طرح", 3360, 2880, 855, 375, 4},
    {"Command1", PushButton, "جمع", 4560, 2880, 855, 375, 5},
    {"Label6", Label, "مع تحيات الطالب Halvoren", 0, 3360, 5535, 255, 9, {.background = rgb(0xFFFF00), .align = Align::Centre}},
};
// clang-format on

using Form9Actions = FormActions<kForm9Controls>;

using Operation = CheckedNumber (*)(CheckedNumber, CheckedNumber);

void calculate(Form9Actions& form, Operation operation) {
    const std::string second = form.text("Text2");
    const std::string first = form.text("Text1");
    const double result =
        faultChecked(operation(checkedLenientToNumber(first), checkedStrictToNumber(second)));
    form.setText("Text3", numberToText(result));
}

void add(Form9Actions& form) {
    calculate(form, [](CheckedNumber a, CheckedNumber b) { return a + b; });
}
void subtract(Form9Actions& form) {
    calculate(form, [](CheckedNumber a, CheckedNumber b) { return a - b; });
}
void multiply(Form9Actions& form) {
    calculate(form, [](CheckedNumber a, CheckedNumber b) { return a * b; });
}
void divide(Form9Actions& form) {
    calculate(form, [](CheckedNumber a, CheckedNumber b) { return a / b; });
}

void clear(Form9Actions& form) {
    // Emptied, not reset to "0".
    form.setText("Text1", "");
    form.setText("Text2", "");
    form.setText("Text3", "");
}

void closeCalculator(Form9Actions& form) {
    form.unload(Form9);
}

constexpr ButtonBinding kForm9Buttons[] = {
    bind<add>("Command1"),    bind<subtract>("Command2"), bind<multiply>("Command3"),
    bind<divide>("Command4"), bind<clear>("Command5"),    bind<closeCalculator>("Command6"),
};

constexpr LabelFor kForm9Labels[] = {{"Label3", "Text1"}, {"Label4", "Text2"}, {"Label5", "Text3"}};

// The result is said after its caption, wherever the focus is.
constexpr Announced kForm9Announced[] = {{"Text3", "Label5"}};

} // namespace

constexpr FormDescription form9{Form9,        "آلة حاسبة",      5805,
                                3615,         kForm9Controls,   kForm9Buttons,
                                kForm9Labels, FormRole::Window, kForm9Announced};
static_assert(isWellFormed(form9));

} // namespace screens
