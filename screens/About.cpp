// SPDX-License-Identifier: GPL-3.0-or-later
// The about page: the program's story and credits, and a way back to the
// menu.
#include "screens/Screens.h"

#include "app/Handler.h"

namespace screens {

using namespace app;
using enum ControlKind;
using enum FormId;

namespace {

// Label3 carries the last word of Label2's sentence and Label7 is the
// signature under the credit line: both come after the label they overlap,
// so each face, which stacks controls in table order, draws them on top.
// clang-format off
constexpr ControlRow kForm5Controls[] = {
    {"Label1", Label, "بسم الله الرحمن الرحيم", 2400, 240, 1695, 375, 0},
    {"Label8", Label, "مقدمة", 5400, 720, 495, 255, 8},
    {"Label2", Label, "إن الحمد لله نحمده ونستعين به ونستهديه ونعوذ بالله من شرور أنفسنا وسيئات أعمالنا من يهده الله فلا مضل له و من يضلل فلن تجد له وليا مرشدا 0000أما بعد تم بحمدالله إنجاز هذا البرنامج  و هو برنامج تخمين أرقام  ونحب أن نهدي هذا البرنامج إلى شهداء وأسرى وجرحى الأمة الإسلامية والعربية عامة وفلسطين ", 600, 1080, 5295, 975, 1},
    {"Label3", Label, "خاصة", 5280, 1920, 495, 255, 2},
    {"Label5", Label, "فكرة عمل البرنامج", 4680, 2520, 1335, 375, 4},
    {"Label4", Label, "يقوم البرنامج بتخمين رقمين بعد أن تقوم بإجراء عدد من العمليات الحسابية التي يمليها عليك البرنامج و قد قمنا  بإرفاق آلة حاسبة لتسهيل ودقة العمليات الحسابية", 480, 3000, 5655, 495, 3},
    {"Label9", Label, "الخاتمة", 4680, 3840, 1215, 255, 9},
    {"Label10", Label, "ولا نحب أن نطيل عليكم وفي الختام السلام عليكم ورحمة الله وبركاته", 1440, 4320, 4935, 255, 10},
    {"Label6", Label, "مع تحيات مصمم البرنامج ", 120, 5040, 1815, 375, 5},
    {"Command1", PushButton, "رجوع", 4440, 5160, 2055, 495, 7},
    {"Label7", Label, "varnico", 360, 5400, 1575, 375, 6},
};
// clang-format on

using Form5Actions = FormActions<kForm5Controls>;

void leaveAbout(Form5Actions& form) {
    form.unload(Form5);
    form.show(Form2);
}

constexpr ButtonBinding kForm5Buttons[] = {bind<leaveAbout>("Command1")};

} // namespace

constexpr FormDescription form5{Form5, "نبذة عن البرنامج", 6660,
                                6030,  kForm5Controls,     kForm5Buttons};
static_assert(isWellFormed(form5));

} // namespace screens
