// SPDX-License-Identifier: GPL-3.0-or-later
// The form registry on its own, driven through a recording window system:
// Load, Unload, Show and End, the end of the program, and what a failing or
// ending handler leaves behind.
#include "RecordingWindows.h"
#include "app/FailureMessages.h"
#include "app/FormRegistry.h"
#include "app/Handler.h"
#include "numtext/Failure.h"

#include <QTest>

#include <string>

using namespace app;
using enum FormId;

namespace {

constexpr ControlRow kControls[] = {
    {"Label1", ControlKind::Label, "caption", 0, 0, 100, 100, 0},
    {"Command1", ControlKind::PushButton, "go", 0, 100, 100, 100, 1},
    {"Command2", ControlKind::PushButton, "end", 0, 200, 100, 100, 2},
    {"Command3", ControlKind::PushButton, "fail", 0, 300, 100, 100, 3},
};
using Actions = FormActions<kControls>;

// Test handlers, each a sequence of steps the screens could take.
void unloadSelfThenShowSecond(Actions& form) {
    form.unload(Form1);
    form.show(Form2);
}
void endThenKeepGoing(Actions& form) {
    form.end();
    form.show(Form3);
}
void writeFailWrite(Actions& form) {
    form.setText("Label1", "before");
    throw numtext::Failure(numtext::FailureKind::DivisionByZero);
}
void showThird(Actions& form) {
    form.show(Form3);
}

constexpr ButtonBinding kButtons[] = {
    bind<unloadSelfThenShowSecond>("Command1"),
    bind<endThenKeepGoing>("Command2"),
    bind<writeFailWrite>("Command3"),
};
constexpr ButtonBinding kSecondButtons[] = {
    bind<showThird>("Command1"),
    bind<endThenKeepGoing>("Command2"),
    bind<writeFailWrite>("Command3"),
};

constexpr FormDescription kForms[] = {
    {Form1, "1", 1000, 1000, kControls, kButtons},
    {Form2, "2", 1000, 1000, kControls, kSecondButtons},
    {Form3, "3", 1000, 1000, kControls, kButtons},
    {Form4, "4", 1000, 1000, kControls, kButtons},
    {Form5, "5", 1000, 1000, kControls, kButtons},
    {Form6, "6", 1000, 1000, kControls, kButtons},
    {Form7, "7", 1000, 1000, kControls, kButtons},
    {Form8, "8", 1000, 1000, kControls, kButtons},
    {Form9, "9", 1000, 1000, kControls, kButtons},
};
static_assert(isWellFormed(kForms[0]) && isWellFormed(kForms[1]));
// The same controls in another table: the handlers were checked against
// kControls, so binding them to this window does not pass.
constexpr ControlRow kOtherControls[] = {kControls[0], kControls[1], kControls[2], kControls[3]};
static_assert(!isWellFormed({Form1, "1", 1000, 1000, kOtherControls, kButtons}));

constexpr const FormDescription* kFormList[] = {&kForms[0], &kForms[1], &kForms[2],
                                                &kForms[3], &kForms[4], &kForms[5],
                                                &kForms[6], &kForms[7], &kForms[8]};

} // namespace

class TestRegistry : public QObject {
    Q_OBJECT
  private Q_SLOTS:
    void startShowsOnlyTheEntryWindow() {
        RecordingWindows windows;
        FormRegistry registry(kFormList);
        registry.start(windows);
        QVERIFY(registry.isVisible(Form1));
        for (int i = 1; i < formCount; ++i)
            QVERIFY(!registry.isLoaded(FormId(i)));
    }

    void loadAndShowKeepOneCopyAndItsTexts() {
        RecordingWindows windows;
        FormRegistry registry(kFormList);
        registry.start(windows);
        windows.textOf(Form1, "Label1") = "typed";
        registry.load(Form1);
        registry.show(Form1);
        QCOMPARE(windows.created[Form1], 1);
        QCOMPARE(windows.textOf(Form1, "Label1"), std::string("typed"));

        registry.show(Form2);
        registry.unload(Form2);
        registry.unload(Form2); // unloaded already: nothing happens
        QCOMPARE(windows.destroyed[Form2], 1);
        registry.show(Form2); // built afresh from its table
        QCOMPARE(windows.created[Form2], 2);
        QCOMPARE(windows.textOf(Form2, "Label1"), std::string("caption"));
    }

    void unloadingOwnWindowThenShowingAnotherKeepsRunning() {
        RecordingWindows windows;
        FormRegistry registry(kFormList);
        registry.start(windows);
        registry.click(Form1, 1);
        QVERIFY(!registry.isLoaded(Form1));
        QVERIFY(registry.isVisible(Form2));
        QCOMPARE(windows.quits, 0);
        QVERIFY(!registry.hasEnded());
    }

    void closingTheLastLoadedWindowEnds() {
        RecordingWindows windows;
        FormRegistry registry(kFormList);
        registry.start(windows);
        registry.show(Form9);
        registry.closedByUser(Form1);
        QVERIFY(!registry.hasEnded());
        registry.closedByUser(Form9);
        QVERIFY(registry.hasEnded());
        QCOMPARE(windows.quits, 1);
    }

    void endClosesEverythingAndIgnoresLaterSteps() {
        RecordingWindows windows;
        FormRegistry registry(kFormList);
        registry.start(windows);
        registry.show(Form2);
        registry.show(Form9);
        registry.click(Form2, 2); // End, then a Show that must not happen
        QVERIFY(registry.hasEnded());
        QCOMPARE(windows.quits, 1);
        QCOMPARE(windows.created[Form3], 0);
        for (FormId id : {Form1, Form2, Form9}) {
            QVERIFY(!registry.isLoaded(id));
            QCOMPARE(windows.destroyed[id], 1);
        }
        registry.click(Form1, 1); // nothing runs after End
        QCOMPARE(windows.created[Form2], 1);
        registry.show(Form2); // nor is anything shown
        QVERIFY(!registry.isVisible(Form2));
        QCOMPARE(windows.created[Form2], 1);
    }

    void failureStopsTheHandlerAndIsReported() {
        RecordingWindows windows;
        FormRegistry registry(kFormList);
        registry.start(windows);
        registry.click(Form1, 3);
        QCOMPARE(windows.failures.size(), std::size_t(1));
        QCOMPARE(windows.failures[0],
                 std::string(app::failureMessage(numtext::FailureKind::DivisionByZero)));
        QCOMPARE(windows.textOf(Form1, "Label1"), std::string("before"));
        QVERIFY(registry.isVisible(Form1));
        QVERIFY(!registry.hasEnded());
    }

    void clickOnUnloadedWindowRunsNothing() {
        RecordingWindows windows;
        FormRegistry registry(kFormList);
        registry.start(windows);
        registry.click(Form2, 1);
        QVERIFY(!registry.isLoaded(Form3));
    }
};

QTEST_APPLESS_MAIN(TestRegistry)
#include "tst_registry.moc"
