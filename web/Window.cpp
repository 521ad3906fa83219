// SPDX-License-Identifier: GPL-3.0-or-later
#include "web/Window.h"

#include "web/Css.h"
#include "web/Dom.h"
#include "web/PageTexts.h"

#include <algorithm>
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

// On a narrow screen the page sets a window's controls in lines, in the order
// an Arabic reader reads the table: lines from the top, each from the right.
// A control joins the line above it when its middle lies within that line's
// height and it stands beside every control already there, never over or
// under one; so a label stays beside the box it names, an answer beside its
// caption, and a row of buttons stays a row. Each control takes a share of
// its line's width, out of `lineShares`, after its width in the table.
constexpr int lineShares = 60;

void setFlow(int id, const app::FormDescription& form) {
    const auto& controls = form.controls;
    std::vector<int> byTop(controls.size());
    for (std::size_t i = 0; i < byTop.size(); ++i)
        byTop[i] = static_cast<int>(i);
    std::stable_sort(byTop.begin(), byTop.end(),
                     [&](int a, int b) { return controls[a].top < controls[b].top; });
    std::vector<std::vector<int>> lines;
    int lineTop = 0, lineBottom = 0;
    for (const int row : byTop) {
        const app::ControlRow& c = controls[row];
        const int middle = c.top + c.height / 2;
        const bool beside = !lines.empty() && middle >= lineTop && middle < lineBottom &&
                            std::none_of(lines.back().begin(), lines.back().end(), [&](int other) {
                                const app::ControlRow& o = controls[other];
                                return c.left < o.left + o.width && o.left < c.left + c.width;
                            });
        if (!beside) {
            lines.emplace_back();
            lineTop = c.top;
            lineBottom = c.top + c.height;
        }
        lines.back().push_back(row);
        lineBottom = std::max(lineBottom, c.top + c.height);
    }
    std::vector<int> order, shares;
    for (std::vector<int>& line : lines) {
        std::stable_sort(line.begin(), line.end(), [&](int a, int b) {
            return controls[a].left + controls[a].width > controls[b].left + controls[b].width;
        });
        int width = 0;
        for (const int row : line)
            width += controls[row].width;
        // Largest remainders: the shares add up to the whole line, one at least each.
        std::vector<int> share(line.size()), rest(line.size());
        int given = 0;
        for (std::size_t i = 0; i < line.size(); ++i) {
            const int exact = lineShares * controls[line[i]].width;
            share[i] = std::max(1, exact / width);
            rest[i] = exact % width;
            given += share[i];
        }
        while (given != lineShares) {
            const int step = given < lineShares ? 1 : -1;
            std::size_t pick = 0;
            for (std::size_t i = 1; i < line.size(); ++i)
                if (step > 0 ? rest[i] > rest[pick] : share[i] > share[pick])
                    pick = i;
            share[pick] += step;
            rest[pick] = -1;
            given += step;
        }
        order.insert(order.end(), line.begin(), line.end());
        shares.insert(shares.end(), share.begin(), share.end());
    }
    dom::setFlow(id, order.data(), shares.data(), static_cast<int>(order.size()));
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
    setFlow(id, form);
}

} // namespace web
