// SPDX-License-Identifier: GPL-3.0-or-later
// The table of roads on the form registry with the real screens and a window
// system that draws nothing: no widgets, no toolkit, so every rule of the
// nine forms' handlers is checked in a moment, once for every face.
#include "RecordingWindows.h"
#include "RoadRows.h"
#include "app/FormRegistry.h"
#include "screens/Screens.h"

#include <QTest>

#include <stdexcept>

using namespace app;

namespace {

// A user of windows that only record: a failure message stays open until it
// is dismissed, and the window in front is the one last shown or raised.
class RulesDriver final : public roads::Driver {
  public:
    RulesDriver() { m_registry.start(m_windows); }

    void type(FormId form, std::string_view box, std::string_view text) override {
        mustSee(form);
        m_windows.textOf(form, box) = std::string(text);
    }
    void click(FormId form, std::string_view button) override {
        mustSee(form);
        const std::size_t failures = m_windows.failures.size();
        m_saidBefore = m_windows.announced.size();
        m_registry.click(form, m_registry.form(form).rowOf(button));
        if (m_windows.failures.size() > failures + 1)
            throw std::runtime_error("one click reported more than one failure");
        if (m_windows.failures.size() > failures)
            m_failure = m_windows.failures.back();
        noteShown();
    }
    void close(FormId form) override {
        mustSee(form);
        m_registry.closedByUser(form);
        noteShown();
    }
    void raise(FormId form) override {
        mustSee(form);
        m_front = form;
    }
    void dismiss() override {
        if (!m_failure)
            throw std::runtime_error("no failure message to dismiss");
        m_failure.reset();
    }

    std::vector<FormId> open() const override {
        std::vector<FormId> visible;
        for (int i = 0; i < formCount; ++i)
            if (m_registry.isVisible(FormId(i)))
                visible.push_back(FormId(i));
        return visible;
    }
    std::optional<FormId> front() const override {
        if (m_front && m_registry.isVisible(*m_front))
            return m_front;
        return std::nullopt;
    }
    std::string text(FormId form, std::string_view control) const override {
        if (!m_registry.isLoaded(form))
            return "(" + std::string(formName(form)) + " is not loaded)";
        return const_cast<RecordingWindows&>(m_windows).textOf(form, control);
    }
    std::optional<std::string> failure() const override { return m_failure; }
    std::vector<std::pair<FormId, std::string>> saidSinceClick() const override {
        return {m_windows.announced.begin() + std::ptrdiff_t(m_saidBefore),
                m_windows.announced.end()};
    }
    bool ended() const override { return m_registry.hasEnded() && m_windows.quits == 1; }

  private:
    void mustSee(FormId form) const {
        if (!m_registry.isVisible(form))
            throw std::runtime_error(std::string(formName(form)) + " is not visible");
    }
    void noteShown() {
        if (m_windows.shown.size() > m_shownBefore)
            m_front = m_windows.shown.back();
        m_shownBefore = m_windows.shown.size();
    }

    RecordingWindows m_windows;
    FormRegistry m_registry{screens::allForms()};
    std::optional<std::string> m_failure;
    std::optional<FormId> m_front = FormId::Form1;
    std::size_t m_shownBefore = 1;
    std::size_t m_saidBefore = 0;
};

} // namespace

class TestRules : public QObject {
    Q_OBJECT
  private Q_SLOTS:
    void road_data() { addRoadRows(); }
    void road() { walkRoadRow<RulesDriver>(); }
};

QTEST_APPLESS_MAIN(TestRules)
#include "tst_rules.moc"
