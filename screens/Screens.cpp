// SPDX-License-Identifier: GPL-3.0-or-later
#include "screens/Screens.h"

namespace screens {

std::span<const app::FormDescription* const> allForms() {
    static constexpr const app::FormDescription* forms[] = {&form1, &form2, &form3, &form4, &form5,
                                                            &form6, &form7, &form8, &form9};
    return forms;
}

} // namespace screens
