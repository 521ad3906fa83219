// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Layout.h"

namespace app {

std::vector<int> focusOrder(const FormDescription& form) {
    // A handful of rows: each goes in before the first with a higher tab
    // index, which takes less code in the page's wasm than a sort.
    std::vector<int> rows;
    for (std::size_t row = 0; row < form.controls.size(); ++row) {
        const ControlRow& control = form.controls[row];
        if (control.kind == ControlKind::Label)
            continue;
        auto at = rows.begin();
        while (at != rows.end() && form.controls[*at].tabIndex < control.tabIndex)
            ++at;
        rows.insert(at, static_cast<int>(row));
    }
    return rows;
}

} // namespace app
