// SPDX-License-Identifier: GPL-3.0-or-later
// Every rule of the nine forms' handlers, run on the form registry with the
// real screens and a window system that draws nothing: no widgets, no
// toolkit, so each rule is checked in a moment, once for both adapters. Each
// row is a road from a fresh start: what the user does, then what must hold.
#include "RecordingWindows.h"
#include "app/FailureMessages.h"
#include "app/FormRegistry.h"
#include "screens/Screens.h"

#include <QTest>

#include <algorithm>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

using namespace app;
using enum FormId;
using numtext::FailureKind;

namespace {

struct Step {
    enum class Op {
        Type,    // replace a text box's text
        Click,   // press a push button
        Close,   // the window's close control
        Show,    // Show called directly on the registry
        Open,    // exactly these forms are visible
        Text,    // a control shows this text
        Failure, // the last click reported this failure, or none
        Said,    // the last click had this said: caption rows and texts
        Ended,   // the program has ended
    };
    Op op;
    FormId form = Form1;
    std::string_view control = {};
    std::string_view text = {};
    std::vector<FormId> forms = {};
    std::optional<FailureKind> failure = {};
    std::vector<std::pair<std::string_view, std::string_view>> said = {};
};
using Road = std::vector<Step>;
using Op = Step::Op;

Step type(FormId form, std::string_view box, std::string_view text) {
    return {Op::Type, form, box, text};
}
Step click(FormId form, std::string_view button) {
    return {Op::Click, form, button};
}
Step close(FormId form) {
    return {Op::Close, form};
}
Step show(FormId form) {
    return {Op::Show, form};
}
Step open(std::initializer_list<FormId> forms) {
    return {.op = Op::Open, .forms = forms};
}
Step text(FormId form, std::string_view control, std::string_view shown) {
    return {Op::Text, form, control, shown};
}
Step failed(std::optional<FailureKind> kind) {
    return {.op = Op::Failure, .failure = kind};
}
Step said(FormId form, std::vector<std::pair<std::string_view, std::string_view>> parts) {
    return {.op = Op::Said, .form = form, .said = std::move(parts)};
}
Step ended() {
    return {Op::Ended};
}

Road operator+(Road road, const Road& more) {
    road.insert(road.end(), more.begin(), more.end());
    return road;
}

const Road toMenu = {type(Form1, "Text1", "25"), click(Form1, "Command1")};
const Road toPuzzle = toMenu + Road{click(Form2, "Command1")};
const Road toCalculator = toPuzzle + Road{click(Form6, "Command3")};

Road ageRoad(std::string_view age, bool accepted) {
    const Road typed = {type(Form1, "Text1", age), click(Form1, "Command1")};
    if (accepted)
        return typed + Road{open({Form2})};
    // The warning's OK brings back the entry window with the refused text.
    return typed + Road{open({Form1, Form8}), click(Form8, "Command1"), open({Form1}),
                        text(Form1, "Text1", age)};
}

Road answerRoad(std::string_view result, std::string_view second, std::string_view first) {
    return toPuzzle + Road{type(Form6, "Text1", result),
                           click(Form6, "Command1"),
                           open({Form6}),
                           failed(std::nullopt),
                           text(Form6, "Label12", second),
                           text(Form6, "Label13", first),
                           said(Form6, {{"Label11", first}, {"Label10", second}})};
}

Road refusedResultRoad(std::string_view result) {
    return toPuzzle + Road{type(Form6, "Text1", result),
                           click(Form6, "Command1"),
                           open({Form6, Form7}),
                           click(Form7, "Command1"),
                           open({Form6}),
                           text(Form6, "Text1", result),
                           text(Form6, "Label12", "")};
}

Road calculation(std::string_view first, std::string_view second, std::string_view button,
                 std::string_view result) {
    return toCalculator + Road{type(Form9, "Text1", first),  type(Form9, "Text2", second),
                               click(Form9, button),         failed(std::nullopt),
                               text(Form9, "Text3", result), said(Form9, {{"Label5", result}})};
}

Road failedCalculation(std::string_view first, std::string_view second, std::string_view button,
                       FailureKind kind) {
    return toCalculator + Road{type(Form9, "Text1", first), type(Form9, "Text2", second),
                               click(Form9, button),        failed(kind),
                               text(Form9, "Text3", "0"),   said(Form9, {})};
}

struct Rule {
    const char* name;
    Road road;
};

const std::vector<Rule>& rules() {
    // One rule a line where a rule fits one.
    // clang-format off
    static const std::vector<Rule> table = {
        {"age empty is refused", ageRoad("", false)},
        {"age 5.99 is refused", ageRoad("5.99", false)},
        {"age 6 is accepted", ageRoad("6", true)},
        {"age 6.5 is accepted", ageRoad("6.5", true)},
        {"age 70 is accepted", ageRoad("70", true)},
        {"age 70.01 is refused", ageRoad("70.01", false)},
        {"age 25 and a word is accepted", ageRoad("25 years", true)},
        {"age of letters is refused", ageRoad("abc", false)},
        {"age -25 is refused", ageRoad("-25", false)},
        {"warning's OK after an accepted age shows a fresh entry window",
         Road{type(Form1, "Text1", "3"), click(Form1, "Command1"), type(Form1, "Text1", "25"),
              click(Form1, "Command1"), open({Form2, Form8}), click(Form8, "Command1"),
              open({Form1, Form2}), text(Form1, "Text1", "")}},
        {"closing the entry window ends", Road{close(Form1), ended(), open({})}},
        {"menu starts the puzzle", toMenu + Road{click(Form2, "Command1"), open({Form6})}},
        {"menu opens the about page", toMenu + Road{click(Form2, "Command2"), open({Form5})}},
        {"menu asks before leaving", toMenu + Road{click(Form2, "Command3"), open({Form3})}},
        {"about's back button shows the menu",
         toMenu + Road{click(Form2, "Command2"), click(Form5, "Command1"), open({Form2})}},
        {"no, stay in the program",
         toMenu + Road{click(Form2, "Command3"), click(Form3, "Command1"), open({Form2})}},
        {"yes, leave: goodbye, whose OK ends",
         toMenu + Road{click(Form2, "Command3"), click(Form3, "Command2"), open({Form4}),
                       click(Form4, "Command1"), ended(), open({})}},
        {"nothing is shown after End",
         toMenu + Road{click(Form2, "Command3"), click(Form3, "Command2"), click(Form4, "Command1"),
                       show(Form2), open({}), ended()}},
        {"puzzle 2064", answerRoad("2064", "79", "21")},
        {"puzzle lowest", answerRoad("85", "0", "2")},
        {"puzzle highest", answerRoad("9884", "99", "99")},
        {"puzzle 1000", answerRoad("1000", "15", "11")},
        {"puzzle half rounds up to even", answerRoad("100.5", "16", "1.995")},
        {"puzzle half rounds down to even", answerRoad("101.5", "16", "2.005")},
        {"puzzle 84 is refused", refusedResultRoad("84")},
        {"puzzle 9885 is refused", refusedResultRoad("9885")},
        {"puzzle empty is refused", refusedResultRoad("")},
        {"puzzle letters are refused", refusedResultRoad("abc")},
        {"puzzle keeps earlier answers after a refusal",
         answerRoad("2064", "79", "21") + Road{type(Form6, "Text1", "50"), click(Form6, "Command1"),
                                               open({Form6, Form7}), text(Form6, "Label12", "79"),
                                               text(Form6, "Label13", "21"), said(Form6, {})}},
        {"puzzle result and a word fails and writes nothing",
         toPuzzle + Road{type(Form6, "Text1", "2064abc"), click(Form6, "Command1"),
                         failed(FailureKind::NotANumber), open({Form6}), text(Form6, "Label12", ""),
                         text(Form6, "Label13", ""), said(Form6, {})}},
        {"calculator twice is one calculator",
         toCalculator + Road{click(Form6, "Command3"), open({Form6, Form9})}},
        {"back to the menu leaves the calculator open",
         toCalculator + Road{click(Form6, "Command2"), open({Form2, Form9})}},
        {"puzzle warning's OK after leaving shows a fresh puzzle",
         toPuzzle + Road{type(Form6, "Text1", "5"), click(Form6, "Command1"),
                         click(Form6, "Command2"), click(Form7, "Command1"), open({Form2, Form6}),
                         text(Form6, "Text1", "")}},
        {"calculator 0 + 0", calculation("0", "0", "Command1", "0")},
        {"calculator 5 + 3", calculation("5", "3", "Command1", "8")},
        {"calculator 5 - 3", calculation("5", "3", "Command2", "2")},
        {"calculator 5 * 3", calculation("5", "3", "Command3", "15")},
        {"calculator 5 / 3", calculation("5", "3", "Command4", "1.66666666666667")},
        {"calculator 7 / 2", calculation("7", "2", "Command4", "3.5")},
        {"calculator 2 - 5", calculation("2", "5", "Command2", "-3")},
        {"calculator letters first count as 0", calculation("abc", "4", "Command2", "-4")},
        {"calculator 12 and letters first counts as 12", calculation("12abc", "1", "Command1", "13")},
        {"calculator empty first counts as 0", calculation("", "9", "Command2", "-9")},
        {"calculator 1 / 0", failedCalculation("1", "0", "Command4", FailureKind::DivisionByZero)},
        {"calculator 0 / 0", failedCalculation("0", "0", "Command4", FailureKind::InvalidOperation)},
        {"calculator letters second", failedCalculation("1", "abc", "Command1", FailureKind::NotANumber)},
        {"calculator clear empties every box and says nothing",
         toCalculator + Road{click(Form9, "Command5"), text(Form9, "Text1", ""),
                             text(Form9, "Text2", ""), text(Form9, "Text3", ""), said(Form9, {}),
                             click(Form9, "Command1"), failed(FailureKind::NotANumber),
                             text(Form9, "Text3", "")}},
        {"calculator's exit leaves the puzzle",
         toCalculator + Road{click(Form9, "Command6"), open({Form6})}},
        {"closing the last window ends", toCalculator + Road{close(Form6), open({Form9}), close(Form9), ended()}},
    };
    // clang-format on
    return table;
}

std::vector<FormId> visibleForms(const FormRegistry& registry) {
    std::vector<FormId> visible;
    for (int i = 0; i < formCount; ++i)
        if (registry.isVisible(FormId(i)))
            visible.push_back(FormId(i));
    return visible;
}

// The message a screen reader should get: each caption's text and the
// control's, in the order given.
std::string
expectedMessage(const FormDescription& form,
                const std::vector<std::pair<std::string_view, std::string_view>>& parts) {
    std::string message;
    for (const auto& [caption, shown] : parts) {
        if (!message.empty())
            message += "\u060C ";
        message += std::string(form.find(caption)->text) + ' ' + std::string(shown);
    }
    return message;
}

} // namespace

class TestRules : public QObject {
    Q_OBJECT
  private Q_SLOTS:
    void road_data() {
        QTest::addColumn<int>("index");
        for (std::size_t i = 0; i < rules().size(); ++i)
            QTest::newRow(rules()[i].name) << int(i);
    }

    void road() {
        QFETCH(int, index);
        RecordingWindows windows;
        FormRegistry registry(screens::allForms());
        registry.start(windows);
        std::size_t failuresBefore = 0, announcedBefore = 0;
        for (const Step& step : rules()[index].road) {
            switch (step.op) {
            case Op::Type:
                QVERIFY(registry.isVisible(step.form));
                windows.textOf(step.form, step.control) = std::string(step.text);
                break;
            case Op::Click: {
                QVERIFY2(registry.isVisible(step.form), step.control.data());
                failuresBefore = windows.failures.size();
                announcedBefore = windows.announced.size();
                registry.click(step.form, registry.form(step.form).rowOf(step.control));
                break;
            }
            case Op::Close:
                registry.closedByUser(step.form);
                break;
            case Op::Show:
                registry.show(step.form);
                break;
            case Op::Open:
                QCOMPARE(visibleForms(registry), step.forms);
                break;
            case Op::Text:
                QCOMPARE(windows.textOf(step.form, step.control), std::string(step.text));
                break;
            case Op::Failure: {
                std::vector<std::string> expected;
                if (step.failure)
                    expected.emplace_back(failureMessage(*step.failure));
                const std::vector<std::string> reported(windows.failures.begin() +
                                                            std::ptrdiff_t(failuresBefore),
                                                        windows.failures.end());
                QCOMPARE(reported, expected);
                break;
            }
            case Op::Said: {
                std::vector<std::pair<FormId, std::string>> expected;
                if (!step.said.empty())
                    expected.emplace_back(step.form,
                                          expectedMessage(registry.form(step.form), step.said));
                const std::vector<std::pair<FormId, std::string>> heard(
                    windows.announced.begin() + std::ptrdiff_t(announcedBefore),
                    windows.announced.end());
                QCOMPARE(heard, expected);
                break;
            }
            case Op::Ended:
                QVERIFY(registry.hasEnded());
                QCOMPARE(windows.quits, 1);
                break;
            }
        }
    }
};

QTEST_APPLESS_MAIN(TestRules)
#include "tst_rules.moc"
