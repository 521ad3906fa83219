// SPDX-License-Identifier: GPL-3.0-or-later
// The whole road, from the age to the goodbye window, with the keyboard
// alone: Tab, Shift+Tab, Space, Enter and typed characters, each sent to
// whichever control has the focus.
#include "GuiHarness.h"
#include "desktop/Appearance.h"

#include <QApplication>

using enum app::FormId;

namespace {

QWidget* focused() {
    return QApplication::focusWidget();
}

// Waits until the window is active, as a window manager makes a newly shown
// window, and returns the name of the control that has the focus.
QString focusIn(GuiHarness& gui, app::FormId id) {
    desktop::Window* window = gui.window(id);
    if (!window || !QTest::qWaitForWindowActive(window))
        return QStringLiteral("<%1 not active>").arg(QLatin1String(app::formName(id)));
    return focused() ? focused()->objectName() : QString();
}

void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(focused(), key, modifiers);
    GuiHarness::settle();
}

void typeText(const QString& text) {
    GuiHarness::typeKeys(focused(), text);
}

} // namespace

class TestKeyboard : public QObject {
    Q_OBJECT
  private Q_SLOTS:
    void initTestCase() { desktop::prepareApplication(*qApp); }

    void heldKeyPressesOneButton_data() {
        // What arrives while the key is held, after its first press: each
        // event is a key release (R) or press (P), flagged as auto-repeat or
        // not, with the X time stamp it carries. X repeats a key as a
        // release and a press sharing one time stamp; Qt flags the pair only
        // when it sees both together.
        QTest::addColumn<Qt::Key>("key");
        QTest::addColumn<QString>("held");
        for (const auto& [name, key] :
             {std::pair{"Enter", Qt::Key_Return}, {"space", Qt::Key_Space}}) {
            QTest::addRow("%s, flagged repeats", name) << key << "R+1500 P+1500 R+1540 P+1540";
            QTest::addRow("%s, unflagged repeat", name) << key << "R1500 P1500";
            QTest::addRow("%s, press without a release", name) << key << "P1500 P1540";
        }
    }
    void heldKeyPressesOneButton() {
        // Held down on Form1's button with age 25, the key lets the main
        // menu open and presses nothing on it; the key goes up at the end.
        QFETCH(Qt::Key, key);
        QFETCH(QString, held);
        GuiHarness gui;
        QCOMPARE(focusIn(gui, Form1), QStringLiteral("Command1"));
        gui.type(Form1, "Text1", "25");
        gui.control<QPushButton>(Form1, "Command1")->setFocus();
        // Each event goes to the control with the focus, in the menu once it
        // is open.
        const auto send = [&gui, key](QEvent::Type type, bool repeat, quint64 time) {
            if (gui.isVisible(Form2))
                QCOMPARE(focusIn(gui, Form2), QStringLiteral("Command1"));
            QVERIFY(focused());
            QKeyEvent event(type, key, Qt::NoModifier, key == Qt::Key_Space ? " " : "\r", repeat);
            event.setTimestamp(time);
            QApplication::sendEvent(focused(), &event);
            GuiHarness::settle();
        };
        send(QEvent::KeyPress, false, 1000);
        for (const QString& step : held.split(QLatin1Char(' ')))
            send(step.startsWith(QLatin1Char('P')) ? QEvent::KeyPress : QEvent::KeyRelease,
                 step.at(1) == QLatin1Char('+'), step.mid(1).toULongLong());
        send(QEvent::KeyRelease, false, 2000);
        QVERIFY(gui.isVisible(Form2));
        QVERIFY(!gui.registry().isLoaded(Form1));
        QVERIFY(!gui.registry().isLoaded(Form6));
    }

    void wholeRoadWithKeysOnly() {
        GuiHarness gui;
        QCOMPARE(focusIn(gui, Form1), QStringLiteral("Command1"));
        press(Qt::Key_Tab);
        QCOMPARE(focused()->objectName(), QStringLiteral("Text1"));
        typeText(QString::fromUtf8("٢٥"));
        press(Qt::Key_Return); // no default button: nothing happens
        QVERIFY(gui.isVisible(Form1));
        press(Qt::Key_Tab, Qt::ShiftModifier);
        press(Qt::Key_Space);

        QCOMPARE(focusIn(gui, Form2), QStringLiteral("Command1"));
        press(Qt::Key_Tab);
        press(Qt::Key_Return); // about
        QCOMPARE(focusIn(gui, Form5), QStringLiteral("Command1"));
        press(Qt::Key_Space); // back

        QCOMPARE(focusIn(gui, Form2), QStringLiteral("Command1"));
        press(Qt::Key_Space); // start
        QCOMPARE(focusIn(gui, Form6), QStringLiteral("Text1"));
        typeText(QStringLiteral("5")); // out of range: the warning
        press(Qt::Key_Tab);
        press(Qt::Key_Space);
        QCOMPARE(focusIn(gui, Form7), QStringLiteral("Command1"));
        press(Qt::Key_Space);
        // Shown again while still loaded: the focus is back where it was.
        QCOMPARE(focusIn(gui, Form6), QStringLiteral("Command1"));
        press(Qt::Key_Tab, Qt::ShiftModifier); // Text1, its "5" selected
        typeText(QStringLiteral("2064"));
        press(Qt::Key_Tab);
        QCOMPARE(focused()->objectName(), QStringLiteral("Command1"));
        press(Qt::Key_Space);
        QCOMPARE(gui.text(Form6, "Label12"), QStringLiteral("79"));
        QCOMPARE(gui.text(Form6, "Label13"), QStringLiteral("21"));
        press(Qt::Key_Tab);
        press(Qt::Key_Tab);
        QCOMPARE(focused()->objectName(), QStringLiteral("Command3"));
        press(Qt::Key_Return); // calculator

        QCOMPARE(focusIn(gui, Form9), QStringLiteral("Command6"));
        // Shift+Tab from the first control wraps round to the last, Text1.
        press(Qt::Key_Tab, Qt::ShiftModifier);
        QCOMPARE(focused()->objectName(), QStringLiteral("Text1"));
        typeText(QStringLiteral("7"));
        press(Qt::Key_Tab, Qt::ShiftModifier);
        QCOMPARE(focused()->objectName(), QStringLiteral("Text2"));
        typeText(QStringLiteral("2"));
        for (int i = 0; i < 3; ++i)
            press(Qt::Key_Tab, Qt::ShiftModifier); // Text3, then Command1, Command2
        QCOMPARE(focused()->objectName(), QStringLiteral("Command2"));
        press(Qt::Key_Space); // subtract: tabbing in selected each "0", typing replaced it
        QCOMPARE(gui.text(Form9, "Text3"), QStringLiteral("5"));
        press(Qt::Key_Tab, Qt::ShiftModifier);
        press(Qt::Key_Tab, Qt::ShiftModifier);
        press(Qt::Key_Tab, Qt::ShiftModifier);
        QCOMPARE(focused()->objectName(), QStringLiteral("Command5"));
        press(Qt::Key_Tab, Qt::ShiftModifier);
        QCOMPARE(focused()->objectName(), QStringLiteral("Command6"));
        press(Qt::Key_Space); // close the calculator

        // The window manager gives the puzzle back the focus it had.
        gui.window(Form6)->activateWindow();
        QCOMPARE(focusIn(gui, Form6), QStringLiteral("Command3"));
        press(Qt::Key_Tab, Qt::ShiftModifier);
        QCOMPARE(focused()->objectName(), QStringLiteral("Command2"));
        press(Qt::Key_Return); // back to the menu

        QCOMPARE(focusIn(gui, Form2), QStringLiteral("Command1"));
        press(Qt::Key_Tab, Qt::ShiftModifier); // wraps round to exit
        QCOMPARE(focused()->objectName(), QStringLiteral("Command3"));
        press(Qt::Key_Space);
        QCOMPARE(focusIn(gui, Form3), QStringLiteral("Command1"));
        press(Qt::Key_Tab);
        press(Qt::Key_Return); // yes
        QCOMPARE(focusIn(gui, Form4), QStringLiteral("Command1"));
        press(Qt::Key_Space);
        QVERIFY(gui.registry().hasEnded());
    }
};

QTEST_MAIN(TestKeyboard)
#include "tst_keyboard.moc"
