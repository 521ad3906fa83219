// SPDX-License-Identifier: GPL-3.0-or-later
// The window registry on its own, driven through a recording window system:
// Load, Unload, Show and End, the end of the program, and what a failing or
// ending handler leaves behind.
#include "app/Handler.h"
#include "app/Program.h"
#include "numtext/Failure.h"

#include <QTest>

#include <map>
#include <string>
#include <vector>

using namespace app;
using enum FormId;

namespace {

// Records what the framework asks of the window system.
class RecordingWindows final : public WindowSystem {
  public:
    void createWindow(const FormDescription& form) override {
        ++created[form.id];
        for (const ControlRow& control : form.controls)
            texts[{form.id, std::string(control.name)}] = std::string(control.text);
    }
    void destroyWindow(FormId id) override { ++destroyed[id]; }
    void showWindow(FormId id) override { shown.push_back(id); }
    std::string text(FormId id, std::string_view control) const override {
        return texts.at({id, std::string(control)});
    }
    void setText(FormId id, std::string_view control, std::string_view text) override {
        texts[{id, std::string(control)}] = std::string(text);
    }
    void reportFailure(const numtext::Failure& failure) override {
        failures.push_back(failure.kind());
    }
    void quit() override { ++quits; }

    std::map<FormId, int> created, destroyed;
    std::vector<FormId> shown;
    std::map<std::pair<FormId, std::string>, std::string> texts;
    std::vector<numtext::FailureKind> failures;
    int quits = 0;
};

constexpr ControlRow kControls[] = {
    {"Label1", ControlKind::Label, "caption", 0, 0, 100, 100, 0},
    {"Command1", ControlKind::PushButton, "go", 0, 100, 100, 100, 1},
    {"Command2", ControlKind::PushButton, "end", 0, 200, 100, 100, 2},
    {"Command3", ControlKind::PushButton, "fail", 0, 300, 100, 100, 3},
};
using Actions = WindowActions<kControls>;

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

class TestProgram : public QObject {
    Q_OBJECT
  private Q_SLOTS:
    void startShowsOnlyTheEntryWindow() {
        RecordingWindows windows;
        Program program(kFormList, windows);
        program.start();
        QVERIFY(program.isVisible(Form1));
        for (int i = 1; i < formCount; ++i)
            QVERIFY(!program.isLoaded(FormId(i)));
    }

    void loadAndShowKeepOneCopyAndItsTexts() {
        RecordingWindows windows;
        Program program(kFormList, windows);
        program.start();
        windows.setText(Form1, "Label1", "typed");
        program.load(Form1);
        program.show(Form1);
        QCOMPARE(windows.created[Form1], 1);
        QCOMPARE(windows.texts[std::pair(Form1, std::string("Label1"))], std::string("typed"));

        program.show(Form2);
        program.unload(Form2);
        program.unload(Form2); // unloaded already: nothing happens
        QCOMPARE(windows.destroyed[Form2], 1);
        program.show(Form2); // built afresh from its table
        QCOMPARE(windows.created[Form2], 2);
        QCOMPARE(windows.texts[std::pair(Form2, std::string("Label1"))], std::string("caption"));
    }

    void unloadingOwnWindowThenShowingAnotherKeepsRunning() {
        RecordingWindows windows;
        Program program(kFormList, windows);
        program.start();
        program.click(Form1, "Command1");
        QVERIFY(!program.isLoaded(Form1));
        QVERIFY(program.isVisible(Form2));
        QCOMPARE(windows.quits, 0);
        QVERIFY(!program.hasEnded());
    }

    void closingTheLastLoadedWindowEnds() {
        RecordingWindows windows;
        Program program(kFormList, windows);
        program.start();
        program.show(Form9);
        program.closedByUser(Form1);
        QVERIFY(!program.hasEnded());
        program.closedByUser(Form9);
        QVERIFY(program.hasEnded());
        QCOMPARE(windows.quits, 1);
    }

    void endClosesEverythingAndIgnoresLaterSteps() {
        RecordingWindows windows;
        Program program(kFormList, windows);
        program.start();
        program.show(Form2);
        program.show(Form9);
        program.click(Form2, "Command2"); // End, then a Show that must not happen
        QVERIFY(program.hasEnded());
        QCOMPARE(windows.quits, 1);
        QCOMPARE(windows.created[Form3], 0);
        for (FormId id : {Form1, Form2, Form9}) {
            QVERIFY(!program.isLoaded(id));
            QCOMPARE(windows.destroyed[id], 1);
        }
        program.click(Form1, "Command1"); // nothing runs after End
        QCOMPARE(windows.created[Form2], 1);
    }

    void failureStopsTheHandlerAndIsReported() {
        RecordingWindows windows;
        Program program(kFormList, windows);
        program.start();
        program.click(Form1, "Command3");
        QCOMPARE(windows.failures.size(), std::size_t(1));
        QCOMPARE(windows.failures[0], numtext::FailureKind::DivisionByZero);
        QCOMPARE(windows.texts[std::pair(Form1, std::string("Label1"))], std::string("before"));
        QVERIFY(program.isVisible(Form1));
        QVERIFY(!program.hasEnded());
    }

    void clickOnUnloadedWindowRunsNothing() {
        RecordingWindows windows;
        Program program(kFormList, windows);
        program.start();
        program.click(Form2, "Command1");
        QVERIFY(!program.isLoaded(Form3));
    }
};

QTEST_APPLESS_MAIN(TestProgram)
#include "tst_program.moc"
