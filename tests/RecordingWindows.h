// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A window system that draws nothing and records what the form registry asks
// of it, so that the registry and the screens' handlers run without any
// toolkit.

#include "app/WindowSystem.h"

#include <map>
#include <string>
#include <utility>
#include <vector>

class RecordingWindows final : public app::WindowSystem {
  public:
    void createWindow(const app::FormDescription& form) override {
        ++created[form.id];
        forms[form.id] = &form;
        for (std::size_t row = 0; row < form.controls.size(); ++row)
            texts[{form.id, int(row)}] = std::string(form.controls[row].text);
    }
    void destroyWindow(app::FormId id) override { ++destroyed[id]; }
    void showWindow(app::FormId id) override { shown.push_back(id); }
    std::string text(app::FormId id, int row) const override { return texts.at({id, row}); }
    void setText(app::FormId id, int row, std::string_view text) override {
        texts[{id, row}] = std::string(text);
    }
    void announce(app::FormId id, std::string_view message) override {
        announced.emplace_back(id, message);
    }
    void reportFailure(const app::FailureReport& report) override {
        failures.emplace_back(report.message);
    }
    void quit() override { ++quits; }

    // What the user would type into, or read from, a control of a loaded form.
    std::string& textOf(app::FormId id, std::string_view control) {
        return texts.at({id, forms.at(id)->rowOf(control)});
    }

    std::map<app::FormId, int> created, destroyed;
    std::map<app::FormId, const app::FormDescription*> forms;
    std::vector<app::FormId> shown;
    std::map<std::pair<app::FormId, int>, std::string> texts;
    std::vector<std::pair<app::FormId, std::string>> announced;
    std::vector<std::string> failures;
    int quits = 0;
};
