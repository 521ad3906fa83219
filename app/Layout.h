// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The plain data that describes a window: its title, its client area and one
// row per control, plus the table that binds each push button to its handler.
// Positions and sizes are in twips (1440 to the inch, 15 to a pixel at 96 DPI),
// measured from the top-left corner of the client area. Every window's tables
// are constexpr and checked at compile time with isWellFormed().

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace app {

// Twips to the pixels of a 96 DPI screen: Qt's device-independent pixels and
// CSS pixels alike. Rounds to the nearest pixel; every rectangle in the
// tables is a whole number of pixels, so nothing is lost in practice.
inline constexpr int twipsPerPixel = 15;
constexpr int twipsToPixels(int twips) {
    return (twips + twipsPerPixel / 2) / twipsPerPixel;
}

// The colour of the desktop behind the windows, which one label also takes as
// its background (Colour::Kind::Desktop). The page's background and the build's
// web files take this value too.
inline constexpr std::uint32_t desktopColourRgb = 0x6d9bd1;

// The nine forms. A form has at most one window at a time: Unload discards
// it, and a later Load builds a new one from the same tables.
enum class FormId { Form1, Form2, Form3, Form4, Form5, Form6, Form7, Form8, Form9 };
inline constexpr int formCount = 9;

constexpr std::string_view formName(FormId id) {
    constexpr std::string_view names[formCount] = {"Form1", "Form2", "Form3", "Form4", "Form5",
                                                   "Form6", "Form7", "Form8", "Form9"};
    return names[static_cast<int>(id)];
}

enum class ControlKind { Label, TextBox, PushButton };

enum class Align { Left, Right, Centre };

// Either no colour of its own, a fixed RGB colour, or the desktop colour of
// the window system.
struct Colour {
    enum class Kind { Ordinary, Rgb, Desktop };
    Kind kind = Kind::Ordinary;
    std::uint32_t rgb = 0;
};

constexpr Colour rgb(std::uint32_t value) {
    return {Colour::Kind::Rgb, value};
}
constexpr Colour desktopColour() {
    return {Colour::Kind::Desktop, 0};
}

// What a row states beyond its rectangle; everything else is the ordinary look.
struct ControlStyle {
    Colour background = {};
    Align align = Align::Left;
    bool border = false;
};

struct ControlRow {
    std::string_view name;
    ControlKind kind;
    // A label's or push button's caption, or a text box's initial text (UTF-8).
    std::string_view text;
    int left, top, width, height;
    // Place in the tab order; labels have one but never take the focus.
    int tabIndex;
    ControlStyle style = {};
};

class FormRegistry;
// Runs a button's handler on the window `own` (app/Handler.h makes these).
using Handler = void (*)(FormRegistry& registry, FormId own);

// One row of a window's button table; app/Handler.h's bind() makes them.
struct ButtonBinding {
    std::string_view button;
    Handler handler;
    // The control table whose names the handler was checked against when it
    // was compiled; isWellFormed() insists that it is its own window's.
    const ControlRow* checkedAgainst = nullptr;
};

// Ties a text box to the label that says what to type into it, so that a
// screen reader names the box after that label; or an answer label to the
// caption that says what it shows, which a screen reader says before it.
struct LabelFor {
    std::string_view label;
    std::string_view control;
};

// A control whose new text a screen reader is told after a click, said after
// the caption of the label `caption`: "first number 21". A form lists them in
// the order they are said, and everything one click wrote is said as one
// message.
struct Announced {
    std::string_view control;
    std::string_view caption;
};

enum class FormRole {
    Window,
    // A warning that a screen reader announces as an alert when it appears.
    Alert,
};

struct FormDescription {
    FormId id;
    std::string_view title;
    int width, height;
    std::span<const ControlRow> controls;
    std::span<const ButtonBinding> buttons;
    std::span<const LabelFor> labels = {};
    FormRole role = FormRole::Window;
    std::span<const Announced> announced = {};

    // The row of the control `name` in the table, or -1.
    constexpr int rowOf(std::string_view name) const {
        for (std::size_t row = 0; row < controls.size(); ++row)
            if (controls[row].name == name)
                return static_cast<int>(row);
        return -1;
    }
    constexpr const ControlRow* find(std::string_view name) const {
        const int row = rowOf(name);
        return row < 0 ? nullptr : &controls[row];
    }
};

// Compile-time check of a window's tables: control names and tab indexes are
// unique, every rectangle lies inside the client area, every push button
// has exactly one handler while every handler names a push button and was
// written for this window's controls, every text box is named by exactly one
// label and any other label by one at most, and every announced control is
// a label or text box with a label for its caption.
constexpr bool isWellFormed(const FormDescription& form) {
    const auto& controls = form.controls;
    for (std::size_t i = 0; i < controls.size(); ++i) {
        const ControlRow& c = controls[i];
        if (c.name.empty() || c.width <= 0 || c.height <= 0 || c.left < 0 || c.top < 0)
            return false;
        if (c.left + c.width > form.width || c.top + c.height > form.height)
            return false;
        for (std::size_t j = i + 1; j < controls.size(); ++j)
            if (controls[j].name == c.name || controls[j].tabIndex == c.tabIndex)
                return false;
        int bindings = 0;
        for (const ButtonBinding& binding : form.buttons)
            if (binding.button == c.name)
                ++bindings;
        if (bindings != (c.kind == ControlKind::PushButton ? 1 : 0))
            return false;
        int namers = 0;
        for (const LabelFor& label : form.labels)
            if (label.control == c.name)
                ++namers;
        if (c.kind == ControlKind::TextBox ? namers != 1
                                           : namers > (c.kind == ControlKind::Label ? 1 : 0))
            return false;
    }
    for (const LabelFor& label : form.labels) {
        const ControlRow* control = form.find(label.label);
        if (!control || control->kind != ControlKind::Label || label.label == label.control)
            return false;
    }
    for (const Announced& announced : form.announced) {
        const ControlRow* control = form.find(announced.control);
        const ControlRow* caption = form.find(announced.caption);
        if (!control || control->kind == ControlKind::PushButton || !caption ||
            caption->kind != ControlKind::Label || caption == control)
            return false;
    }
    for (const ButtonBinding& binding : form.buttons) {
        const ControlRow* control = form.find(binding.button);
        if (!control || control->kind != ControlKind::PushButton)
            return false;
        // Only bind() sets checkedAgainst, and it always sets the handler
        // too. The handler itself is not compared with null here: GCC does
        // not fold the address of a function template instance in a
        // constant expression when it instruments code with
        // -fsanitize=undefined.
        if (binding.checkedAgainst != controls.data())
            return false;
    }
    return true;
}

// The rows of the controls that take the focus (text boxes and push
// buttons), in the order of their tab indexes. Labels have a place in the
// order but never take the focus.
std::vector<int> focusOrder(const FormDescription& form);

} // namespace app
