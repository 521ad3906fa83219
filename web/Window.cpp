// SPDX-License-Identifier: GPL-3.0-or-later
#include "web/Window.h"

#include "web/Css.h"
#include "web/Dom.h"
#include "web/PageTexts.h"

#include <string>
#include <vector>

namespace web {

namespace {

// The desktop colour is the page's own background, behind every window.
std::string cssColour(const app::Colour& colour) {
    switch (colour.kind) {
    case app::Colour::Kind::Ordinary:
        return {};
    case app::Colour::Kind::Desktop:
        return "var(--desktop)";
    case app::Colour::Kind::Rgb:
        return cssRgb(colour.rgb);
    }
    return {};
}

std::string_view cssAlign(app::Align align) {
    switch (align) {
    case app::Align::Left:
        return "left";
    case app::Align::Right:
        return "right";
    case app::Align::Centre:
        return "center";
    }
    return "left";
}

dom::Box pixelBox(const app::ControlRow& row) {
    using app::twipsToPixels;
    return {twipsToPixels(row.left), twipsToPixels(row.top), twipsToPixels(row.width),
            twipsToPixels(row.height)};
}

} // namespace

void buildWindow(const app::FormDescription& form) {
    const int id = static_cast<int>(form.id);
    const bool alert = form.role == app::FormRole::Alert;
    dom::createWindow(id, app::formName(form.id), form.title, app::twipsToPixels(form.width),
                      app::twipsToPixels(form.height), alert, closeLabel);

    for (std::size_t i = 0; i < form.controls.size(); ++i) {
        const app::ControlRow& row = form.controls[i];
        const int index = static_cast<int>(i);
        dom::addControl(id, index, row.kind, row.name, row.text, pixelBox(row),
                        cssColour(row.style.background), cssAlign(row.style.align),
                        row.style.border);
        // An alert's labels are its message.
        if (alert && row.kind == app::ControlKind::Label)
            dom::describeBy(id, index);
    }
    // A text box is named after the label that asks for its text.
    for (const app::LabelFor& pair : form.labels)
        dom::nameBy(id, form.rowOf(pair.label), form.rowOf(pair.control));

    const std::vector<int> order = app::focusOrder(form);
    dom::setTabOrder(id, order.data(), static_cast<int>(order.size()));
}

} // namespace web
