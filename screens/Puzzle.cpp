// SPDX-License-Identifier: GPL-3.0-or-later
// The number-finding puzzle. The user picks A and B from 2 to 99 and follows
// the listed steps: ((2A + 5) * 100) / 2 - 365 + B = 100A + B - 115. Adding
// 115 back, the remainder by 100 is B and the rest, divided by 100, is A.
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
constexpr ControlRow kForm6Controls[] = {
    {"Label1", Label, "الرجاء القيام بهذه الخطوات حتى تستطيع الحصول على الرقمين الصحيحين", 1200, 360, 5055, 495, 0},
    {"Label2", Label, "اختر رقما من 2 إلى 99", 4800, 960, 1575, 255, 1},
    {"Label3", Label, "اضرب العدد الذي اخترته في العدد 2", 3960, 1440, 2415, 255, 2},
    {"Label5", Label, "اضف على الناتج العدد 5", 4560, 1920, 1815, 255, 4},
    {"Label4", Label, "اضرب الناتج في العدد 100", 4440, 2400, 1935, 255, 3},
    {"Label8", Label, "اقسم الناتج على العدد 2", 4680, 2880, 1695, 255, 7},
    {"Label7", Label, "اطرح من الناتج العدد 365", 4560, 3360, 1815, 255, 6},
    {"Label6", Label, "أضف على الناتج العدد الذي تريده من 2 إلى 99", 1800, 3960, 3375, 255, 5, {.background = desktopColour()}},
    {"Text1", TextBox, "", 3120, 4440, 855, 375, 9},
    {"Label9", Label, "الرجاء وضع الناتج النهائي هنا", 4200, 4440, 2175, 255, 8},
    {"Command3", PushButton, "آلة حاسبة", 360, 4560, 1335, 495, 16},
    {"Command1", PushButton, "الضغط هنا لإيجاد الرقمين", 2640, 5040, 1935, 375, 14},
    {"Label12", Label, "", 960, 5640, 375, 255, 12, {.border = true}},
    {"Label10", Label, "العدد الثاني", 1800, 5640, 855, 255, 10},
    {"Label13", Label, "", 4800, 5640, 375, 255, 13, {.border = true}},
    {"Label11", Label, "العدد الأول", 5400, 5640, 855, 255, 11},
    {"Command2", PushButton, "الخروج من البرنامج", 2400, 6240, 2295, 255, 15},
};

constexpr ControlRow kForm7Controls[] = {
    {"Label1", Label, "الرجاء التأكد من سير العمليات الحسابية", 1200, 480, 2895, 255, 0},
    {"Command1", PushButton, "موافق", 1200, 1320, 2055, 495, 1},
};
// clang-format on

using Form6Actions = FormActions<kForm6Controls>;
using Form7Actions = FormActions<kForm7Controls>;

// The box the user types the final result into, and the two answers.
constexpr ControlName<kForm6Controls> typedResult = "Text1";
constexpr ControlName<kForm6Controls> firstNumber = "Label13";
constexpr ControlName<kForm6Controls> secondNumber = "Label12";

// The results the puzzle accepts, 100A + B - 115: from 85, which A = 2 and
// B = 0 would give, up to 9884 for A = B = 99. A and B from 2 to 99 give 87
// at the least; 85 and 86 pass too, and name a second number of 0 or 1.
constexpr double lowestResult = 85;
constexpr double highestResult = 9884;

void findNumbers(Form6Actions& form) {
    const double result = lenientToNumber(form.text(typedResult));
    if (result < lowestResult || result > highestResult) {
        // Form6 is loaded already: the typed text and earlier answers stay.
        form.load(Form6);
        form.show(Form7);
        return;
    }

    // The second number. The text is read afresh and must now be exactly a
    // number: "2064abc" passes the range test above but stops here.
    const std::string typed = form.text(typedResult);
    const double sum = faultChecked(checkedStrictToNumber(typed) + 115);
    const std::int32_t whole = roundToWhole(lenientToNumber(numberToText(sum)));
    form.setText(secondNumber, wholeToText(whole % 100));

    // The first number, from the second as the user sees it.
    const double second = lenientToNumber(form.text(secondNumber));
    const std::string typedAgain = form.text(typedResult);
    const double first = faultChecked((checkedLenientToNumber(typedAgain) + 115 - second) / 100);
    form.setText(firstNumber, numberToText(first));
}

void backToMenu(Form6Actions& form) {
    form.unload(Form6);
    form.show(Form2);
}

void openCalculator(Form6Actions& form) {
    // The puzzle stays open beside the calculator.
    form.load(Form6);
    form.show(Form9);
}

void acknowledgePuzzleWarning(Form7Actions& form) {
    form.unload(Form7);
    form.show(Form6);
}

constexpr ButtonBinding kForm6Buttons[] = {
    bind<findNumbers>("Command1"),
    bind<backToMenu>("Command2"),
    bind<openCalculator>("Command3"),
};

constexpr ButtonBinding kForm7Buttons[] = {bind<acknowledgePuzzleWarning>("Command1")};

constexpr LabelFor kForm6Labels[] = {{"Label9", "Text1"}};

// Both answers in one message, in reading order, each after its caption:
// "first number 21, second number 79".
constexpr Announced kForm6Announced[] = {{"Label13", "Label11"}, {"Label12", "Label10"}};

} // namespace

constexpr FormDescription form6{Form6,        "البرنامج",       6585,
                                6525,         kForm6Controls,   kForm6Buttons,
                                kForm6Labels, FormRole::Window, kForm6Announced};
constexpr FormDescription form7{Form7,          "رسالة تحذير", 4680, 2130,
                                kForm7Controls, kForm7Buttons, {},   FormRole::Alert};
static_assert(isWellFormed(form6) && isWellFormed(form7));

} // namespace screens
