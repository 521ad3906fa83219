// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Layout.h"

#include <algorithm>

namespace app {

std::vector<int> focusOrder(const FormDescription& form) {
    std::vector<int> rows;
    for (std::size_t row = 0; row < form.controls.size(); ++row)
        if (form.controls[row].kind != ControlKind::Label)
            rows.push_back(static_cast<int>(row));
    std::stable_sort(rows.begin(), rows.end(), [&form](int a, int b) {
        return form.controls[a].tabIndex < form.controls[b].tabIndex;
    });
    return rows;
}

} // namespace app
