// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/FailureMessages.h"

namespace app {

using numtext::FailureKind;

std::string_view failureMessage(FailureKind kind) {
    switch (kind) {
    case FailureKind::NotANumber:
        return "القيمة المدخلة ليست عددا صالحا";
    case FailureKind::WholeOutOfRange:
        return "العدد أكبر من الحد المسموح به";
    case FailureKind::DivisionByZero:
        return "لا يمكن القسمة على صفر";
    case FailureKind::InvalidOperation:
        return "عملية حسابية غير معرفة";
    case FailureKind::Overflow:
        return "الناتج أكبر من أن يحسب";
    }
    return {};
}

std::string_view failureTitle() {
    return "خطأ";
}

std::string_view failureButton() {
    return "موافق";
}

} // namespace app
