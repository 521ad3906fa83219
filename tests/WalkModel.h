// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A reference model of the nine windows, written from the navigation table
// and the behaviour of each window, for the random walk: which windows are
// loaded and visible, the texts that carry the user's data, which failure the
// last action reported and whether the program has ended. It shares no code
// with the screens; it calls the numeric text conversions for the
// conversions only and works out the rest (range tests, the puzzle's
// formula, rounding, the floating-point faults) on its own.

#include "app/Layout.h"
#include "numtext/Failure.h"

#include <array>
#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace walk {

enum class Presence {
    Unloaded,
    Hidden,
    Visible,
    // The registry and the widgets disagree; the model never says this.
    Inconsistent,
};

// A text that carries the user's data, with the text it has when its window
// is loaded.
struct WatchedText {
    app::FormId form;
    std::string_view control;
    std::string_view initial;
};

inline constexpr std::array<WatchedText, 7> watchedTexts{{
    {app::FormId::Form1, "Text1", ""},
    {app::FormId::Form6, "Text1", ""},
    {app::FormId::Form6, "Label12", ""},
    {app::FormId::Form6, "Label13", ""},
    {app::FormId::Form9, "Text1", "0"},
    {app::FormId::Form9, "Text2", "0"},
    {app::FormId::Form9, "Text3", "0"},
}};

// What can be seen of the program after an action. Texts of a window that is
// not loaded are empty.
struct Observation {
    std::array<Presence, app::formCount> windows{};
    std::array<std::string, watchedTexts.size()> texts;
    // The failure the last action reported, if it reported one.
    std::optional<numtext::FailureKind> failure;
    bool ended = false;

    bool operator==(const Observation&) const = default;
};

// Readable, with long texts cut short.
std::string describe(const Observation& observation);
// One line per field in which the two differ; empty when they agree.
std::string differences(const Observation& expected, const Observation& actual);
// A text as a C++ literal, cut short past `limit` bytes.
std::string quoted(std::string_view text, std::size_t limit = 60);

// The push buttons and text boxes of a window, by name.
std::span<const std::string_view> buttonsOf(app::FormId form);
std::span<const std::string_view> textBoxesOf(app::FormId form);

class Model {
  public:
    // The program has started: Form1 is shown.
    Model();

    void click(app::FormId form, std::string_view button);
    void type(app::FormId form, std::string_view box, std::string_view text);
    void closeWindow(app::FormId form);

    const Observation& observation() const { return m_now; }
    bool isVisible(app::FormId form) const { return presence(form) == Presence::Visible; }

  private:
    Presence& presence(app::FormId form) { return m_now.windows[static_cast<int>(form)]; }
    Presence presence(app::FormId form) const { return m_now.windows[static_cast<int>(form)]; }
    std::string& text(app::FormId form, std::string_view control);

    void load(app::FormId form);
    void unload(app::FormId form);
    void show(app::FormId form);
    void end();
    void endIfNoneLoaded();

    void checkAge();
    void findNumbers();
    void calculate(char operation);

    Observation m_now;
};

} // namespace walk
