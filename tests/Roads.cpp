// SPDX-License-Identifier: GPL-3.0-or-later
#include "Roads.h"

#include "app/FailureMessages.h"

#include <algorithm>
#include <chrono>
#include <fstream>
#include <functional>
#include <stdexcept>

using nlohmann::json;

namespace roads {

namespace {

app::FormId formNamed(const json& name) {
    for (int i = 0; i < app::formCount; ++i)
        if (app::formName(app::FormId(i)) == name.get<std::string>())
            return app::FormId(i);
    throw std::runtime_error("no window " + name.dump());
}

std::string failureMessageNamed(const std::string& name) {
    for (numtext::FailureKind kind : numtext::failureKinds)
        if (numtext::failureKindName(kind) == name)
            return std::string(app::failureMessage(kind));
    throw std::runtime_error("no failure kind " + name);
}

std::string listOf(const std::vector<app::FormId>& forms) {
    std::string list = "[";
    for (app::FormId form : forms)
        list += (list.size() > 1 ? " " : "") + std::string(app::formName(form));
    return list + "]";
}

std::string said(const std::vector<std::pair<app::FormId, std::string>>& heard) {
    std::string list = "[";
    for (const auto& [form, message] : heard)
        list += (list.size() > 1 ? ", " : "") + std::string(app::formName(form)) + ": " + message;
    return list + "]";
}

// Reads until `holds` is true, letting the face settle in between for up to
// two seconds; returns what was read last when it never holds.
std::optional<std::string> until(Driver& driver, const std::function<bool()>& holds,
                                 const std::function<std::string()>& seen) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (!holds()) {
        if (!driver.settle() || std::chrono::steady_clock::now() > deadline)
            return seen();
    }
    return std::nullopt;
}

std::optional<std::string> step(Driver& driver, const json& s) {
    const std::string verb = s.at(0);
    if (verb == "type") {
        driver.type(formNamed(s[1]), s[2].get<std::string>(), s[3].get<std::string>());
    } else if (verb == "click") {
        driver.click(formNamed(s[1]), s[2].get<std::string>());
    } else if (verb == "close") {
        driver.close(formNamed(s[1]));
    } else if (verb == "raise") {
        driver.raise(formNamed(s[1]));
    } else if (verb == "dismiss") {
        driver.dismiss();
    } else if (verb == "open") {
        std::vector<app::FormId> expected;
        for (const json& name : s[1])
            expected.push_back(formNamed(name));
        std::sort(expected.begin(), expected.end());
        return until(
            driver, [&] { return driver.open() == expected; },
            [&] { return "open " + listOf(driver.open()); });
    } else if (verb == "front") {
        const app::FormId form = formNamed(s[1]);
        return until(
            driver, [&] { return driver.front() == form; },
            [&] {
                const auto front = driver.front();
                return "in front " + (front ? std::string(app::formName(*front)) : "nothing");
            });
    } else if (verb == "text") {
        const app::FormId form = formNamed(s[1]);
        const std::string control = s[2];
        return until(
            driver, [&] { return driver.text(form, control) == s[3].get<std::string>(); },
            [&] { return "the text \"" + driver.text(form, control) + "\""; });
    } else if (verb == "failure") {
        const std::optional<std::string> expected =
            s[1].is_null() ? std::nullopt : std::optional(failureMessageNamed(s[1]));
        return until(
            driver, [&] { return driver.failure() == expected; },
            [&] { return "the failure message \"" + driver.failure().value_or("(none)") + "\""; });
    } else if (verb == "said") {
        std::vector<std::pair<app::FormId, std::string>> expected;
        if (!s[1].is_null())
            expected.emplace_back(formNamed(s[1]), s[2].get<std::string>());
        return until(
            driver, [&] { return driver.saidSinceClick() == expected; },
            [&] { return "said " + said(driver.saidSinceClick()); });
    } else if (verb == "ended") {
        return until(
            driver, [&] { return driver.ended(); }, [] { return std::string("not ended"); });
    } else {
        return "no such verb";
    }
    return std::nullopt;
}

std::vector<Road> load() {
    std::ifstream file(TAKHMIN_ROADS);
    if (!file)
        throw std::runtime_error("cannot read " TAKHMIN_ROADS);
    const json table = json::parse(file);
    std::vector<Road> roads;
    for (const json& road : table.at("roads")) {
        if (road.value("only", "") == "page")
            continue;
        Road r{road.at("name"), {}};
        if (road.contains("from"))
            for (const json& s : table.at("starts").at(road["from"].get<std::string>()))
                r.steps.push_back(s);
        for (const json& s : road.at("steps"))
            r.steps.push_back(s);
        roads.push_back(std::move(r));
    }
    return roads;
}

} // namespace

const std::vector<Road>& desktopRoads() {
    static const std::vector<Road> roads = load();
    return roads;
}

std::optional<std::string> walk(Driver& driver, const Road& road) {
    for (const json& s : road.steps) {
        std::optional<std::string> failed;
        try {
            failed = step(driver, s);
        } catch (const std::exception& error) {
            failed = error.what();
        }
        if (failed)
            return "step " + s.dump() + ": " + *failed;
    }
    return std::nullopt;
}

} // namespace roads
