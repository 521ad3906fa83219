// SPDX-License-Identifier: GPL-3.0-or-later
// Prints every window's tables as JSON: what tests that look at the running
// program from outside (through a screen reader's interface, or the browser's
// DOM) expect to find, rectangles and tab order included, in twips; what a
// screen reader is told after a click; and the page's own texts.
#include "app/FailureMessages.h"
#include "screens/Screens.h"
#include "web/PageTexts.h"

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace {

std::string quoted(std::string_view text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\')
            out += '\\';
        out += c;
    }
    return out + '"';
}

const char* kindName(app::ControlKind kind) {
    switch (kind) {
    case app::ControlKind::Label:
        return "label";
    case app::ControlKind::TextBox:
        return "text box";
    case app::ControlKind::PushButton:
        return "push button";
    }
    return "";
}

} // namespace

int main() {
    std::printf("{\"failure\": {\"title\": %s, \"button\": %s, \"messages\": {",
                quoted(app::failureTitle()).c_str(), quoted(app::failureButton()).c_str());
    for (std::size_t k = 0; k < numtext::failureKinds.size(); ++k) {
        const numtext::FailureKind kind = numtext::failureKinds[k];
        std::printf("%s%s: %s", k ? ", " : "", quoted(numtext::failureKindName(kind)).c_str(),
                    quoted(app::failureMessage(kind)).c_str());
    }
    std::printf("}},\n\"page\": {\"close\": %s, \"ended\": %s, \"restart\": %s},\n",
                quoted(web::closeLabel).c_str(), quoted(web::endedText).c_str(),
                quoted(web::restartButton).c_str());
    std::printf("\"forms\": [\n");
    const auto forms = screens::allForms();
    for (std::size_t f = 0; f < forms.size(); ++f) {
        const app::FormDescription& form = *forms[f];
        std::printf("{\"form\": %s, \"title\": %s, \"alert\": %s, \"width\": %d, \"height\": %d, "
                    "\"controls\": [\n",
                    quoted(app::formName(form.id)).c_str(), quoted(form.title).c_str(),
                    form.role == app::FormRole::Alert ? "true" : "false", form.width, form.height);
        for (std::size_t c = 0; c < form.controls.size(); ++c) {
            const app::ControlRow& control = form.controls[c];
            std::string label;
            for (const app::LabelFor& pair : form.labels)
                if (pair.control == control.name)
                    label = quoted(pair.label);
            std::printf("  {\"name\": %s, \"kind\": \"%s\", \"text\": %s, \"label\": %s, "
                        "\"left\": %d, \"top\": %d, \"width\": %d, \"height\": %d, "
                        "\"tabIndex\": %d}%s\n",
                        quoted(control.name).c_str(), kindName(control.kind),
                        quoted(control.text).c_str(), label.empty() ? "null" : label.c_str(),
                        control.left, control.top, control.width, control.height, control.tabIndex,
                        c + 1 < form.controls.size() ? "," : "");
        }
        std::printf("], \"tabOrder\": [");
        const std::vector<int> order = app::focusOrder(form);
        for (std::size_t i = 0; i < order.size(); ++i)
            std::printf("%s%s", i ? ", " : "", quoted(form.controls[order[i]].name).c_str());
        std::printf("], \"announce\": [");
        for (std::size_t i = 0; i < form.announced.size(); ++i)
            std::printf("%s{\"control\": %s, \"caption\": %s}", i ? ", " : "",
                        quoted(form.announced[i].control).c_str(),
                        quoted(form.announced[i].caption).c_str());
        std::printf("]}%s\n", f + 1 < forms.size() ? "," : "");
    }
    std::printf("]}\n");
}
