// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The table of roads (tests/roads.json) for the C++ drivers: every road the
// windows must walk from a fresh start, and the one walk that takes a road's
// steps through a driver. A driver turns each verb into its face's own
// action or reading; the walk compares what it reads with what the step
// expects, so a verb means the same in every driver. The page's driver
// (tests/web/support/road.mjs) reads the same file.

#include "app/Layout.h"

#include <nlohmann/json.hpp>

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace roads {

struct Road {
    std::string name;
    // Each step is a JSON array: the verb, then its arguments.
    std::vector<nlohmann::json> steps;
};

// The roads every face walks, each with the steps of its start put first.
// Roads that only the page can walk (its first window before the program
// has arrived, starting again after the end) are left out.
const std::vector<Road>& desktopRoads();

// A face as the walk sees it. Actions throw std::runtime_error when the user
// could not do what the step says (no such window, a hidden button).
class Driver {
  public:
    virtual ~Driver() = default;

    // Replaces the text box's text as a user would.
    virtual void type(app::FormId form, std::string_view box, std::string_view text) = 0;
    virtual void click(app::FormId form, std::string_view button) = 0;
    // The window's close control.
    virtual void close(app::FormId form) = 0;
    // The user brings the window to the front.
    virtual void raise(app::FormId form) = 0;
    // The failure message's button.
    virtual void dismiss() = 0;

    // The program's visible windows, in form order (the failure message is
    // not one of them).
    virtual std::vector<app::FormId> open() const = 0;
    virtual std::optional<app::FormId> front() const = 0;
    virtual std::string text(app::FormId form, std::string_view control) const = 0;
    // The text of the failure message, while one is open.
    virtual std::optional<std::string> failure() const = 0;
    // What a screen reader was told since the last click began.
    virtual std::vector<std::pair<app::FormId, std::string>> saidSinceClick() const = 0;
    virtual bool ended() const = 0;

    // Lets the face's pending events happen; false where nothing can change
    // by waiting, so that a check that does not hold fails at once.
    virtual bool settle() { return false; }
};

// Walks the road; returns the first step that failed and what the face
// showed instead, or nothing when every step held.
std::optional<std::string> walk(Driver& driver, const Road& road);

} // namespace roads
