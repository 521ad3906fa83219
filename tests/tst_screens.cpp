// SPDX-License-Identifier: GPL-3.0-or-later
// The puzzle, the calculator and the roads between all nine windows, through
// the real widgets on the offscreen platform.
#include "GuiHarness.h"
#include "app/FailureMessages.h"
#include "desktop/Appearance.h"
#include "desktop/Text.h"

#include <QApplication>
#include <QMessageBox>
#include <QPainter>

using enum app::FormId;

namespace {

QString failureText(GuiHarness& gui) {
    QMessageBox* box = gui.windows().failureWindow();
    return box && box->isVisible() ? box->text() : QString();
}

QString messageFor(numtext::FailureKind kind) {
    return desktop::toQString(app::failureMessage(kind));
}

// Walks from the entry window to the puzzle.
void openPuzzle(GuiHarness& gui) {
    gui.type(Form1, "Text1", "25");
    gui.click(Form1, "Command1");
    gui.click(Form2, "Command1");
    QVERIFY(gui.isVisible(Form6));
}

} // namespace

class TestScreens : public QObject {
    Q_OBJECT
  private Q_SLOTS:
    void initTestCase() { desktop::prepareApplication(*qApp); }

    void puzzleNamesBothNumbers_data() {
        QTest::addColumn<QString>("result");
        QTest::addColumn<QString>("second");
        QTest::addColumn<QString>("first");
        QTest::newRow("A=21 B=79") << "2064"
                                   << "79"
                                   << "21";
        QTest::newRow("lowest") << "85"
                                << "0"
                                << "2";
        QTest::newRow("highest") << "9884"
                                 << "99"
                                 << "99";
        QTest::newRow("A=11 B=15") << "1000"
                                   << "15"
                                   << "11";
        QTest::newRow("half rounds up to even") << "100.5"
                                                << "16"
                                                << "1.995";
        QTest::newRow("half rounds down to even") << "101.5"
                                                  << "16"
                                                  << "2.005";
        QTest::newRow("Arabic-Indic digits") << QString::fromUtf8("٢٠٦٤") << "79"
                                             << "21";
        QTest::newRow("blanks around") << " 2064 "
                                       << "79"
                                       << "21";
    }
    void puzzleNamesBothNumbers() {
        QFETCH(QString, result);
        QFETCH(QString, second);
        QFETCH(QString, first);
        GuiHarness gui;
        openPuzzle(gui);
        gui.type(Form6, "Text1", result);
        gui.click(Form6, "Command1");
        QCOMPARE(gui.text(Form6, "Label12"), second);
        QCOMPARE(gui.text(Form6, "Label13"), first);
        QVERIFY(!gui.registry().isLoaded(Form7));
        QCOMPARE(failureText(gui), QString());
    }

    void resultOutsideTheRangeWarnsAndKeepsEverything_data() {
        QTest::addColumn<QString>("result");
        QTest::newRow("just below") << "84";
        QTest::newRow("just above") << "9885";
        QTest::newRow("empty") << "";
        QTest::newRow("letters") << QString::fromUtf8("ألفان");
    }
    void resultOutsideTheRangeWarnsAndKeepsEverything() {
        QFETCH(QString, result);
        GuiHarness gui;
        openPuzzle(gui);
        gui.type(Form6, "Text1", "2064");
        gui.click(Form6, "Command1");
        desktop::Window* puzzle = gui.window(Form6);
        gui.type(Form6, "Text1", result);
        gui.click(Form6, "Command1");
        QVERIFY(gui.isVisible(Form7));
        QVERIFY(gui.isVisible(Form6));
        QCOMPARE(gui.text(Form6, "Label12"), QStringLiteral("79")); // earlier answers stay
        QCOMPARE(gui.text(Form6, "Label13"), QStringLiteral("21"));
        gui.click(Form7, "Command1");
        QVERIFY(!gui.registry().isLoaded(Form7));
        QCOMPARE(gui.window(Form6), puzzle);
        QCOMPARE(gui.text(Form6, "Text1"), result);
    }

    void resultWithTrailingTextStopsBeforeWriting() {
        GuiHarness gui;
        openPuzzle(gui);
        gui.type(Form6, "Text1", QString::fromUtf8("2064 تقريبا"));
        gui.click(Form6, "Command1");
        QCOMPARE(gui.text(Form6, "Label12"), QString());
        QCOMPARE(gui.text(Form6, "Label13"), QString());
        QVERIFY(!gui.registry().isLoaded(Form7));
        QCOMPARE(failureText(gui), messageFor(numtext::FailureKind::NotANumber));
        QVERIFY(gui.isVisible(Form6)); // the program goes on
    }

    void narrowAnswerBoxCutsAtItsRightEdge_data() {
        QTest::addColumn<QString>("result");
        QTest::addColumn<QString>("visible");
        QTest::newRow("1.995") << "100.5"
                               << "1.99";
        QTest::newRow("2.005") << "101.5"
                               << "2.00";
    }
    void narrowAnswerBoxCutsAtItsRightEdge() {
        // The answer is one word wider than Label13's 25 pixels: it stays on
        // the first line, its start visible, and is cut off at the right.
        QFETCH(QString, result);
        QFETCH(QString, visible);
        GuiHarness gui;
        openPuzzle(gui);
        gui.type(Form6, "Text1", result);
        gui.click(Form6, "Command1");
        auto* answer = gui.control<QLabel>(Form6, "Label13");
        QCOMPARE(answer->width(), 25);
        QVERIFY(answer->fontMetrics().horizontalAdvance(answer->text()) > answer->width());
        const QImage shown = answer->grab().toImage();

        // The digits that fit, drawn alone at the top left of the box.
        QImage expected(shown.size(), QImage::Format_RGB32);
        expected.setDevicePixelRatio(shown.devicePixelRatio());
        expected.fill(answer->palette().color(answer->backgroundRole()));
        QPainter painter(&expected);
        painter.setFont(answer->font());
        painter.setClipRect(answer->contentsRect());
        painter.drawText(answer->contentsRect(), Qt::AlignLeft | Qt::AlignTop, visible);
        painter.end();

        const auto ink = [](const QImage& image, int x, int y) {
            return qGray(image.pixel(x, y)) < 128;
        };
        int needed = 0, missing = 0;
        for (int y = 0; y < shown.height(); ++y)
            for (int x = 0; x < shown.width(); ++x) {
                needed += ink(expected, x, y);
                missing += ink(expected, x, y) && !ink(shown, x, y);
            }
        QVERIFY(needed > 0);
        QVERIFY2(
            missing == 0,
            qPrintable(QStringLiteral("%1 pixels of %2 are not drawn").arg(missing).arg(visible)));
    }

    void calculatorComputes_data() {
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("expected");
        QTest::newRow("initial 0 + 0") << "0"
                                       << "0"
                                       << "Command1"
                                       << "0";
        QTest::newRow("5 + 3") << "5"
                               << "3"
                               << "Command1"
                               << "8";
        QTest::newRow("5 - 3") << "5"
                               << "3"
                               << "Command2"
                               << "2";
        QTest::newRow("5 * 3") << "5"
                               << "3"
                               << "Command3"
                               << "15";
        QTest::newRow("5 / 3") << "5"
                               << "3"
                               << "Command4"
                               << "1.66666666666667";
        QTest::newRow("7 / 2") << "7"
                               << "2"
                               << "Command4"
                               << "3.5";
        QTest::newRow("2 - 5") << "2"
                               << "5"
                               << "Command2"
                               << "-3";
        QTest::newRow("letters first count as 0, add") << QString::fromUtf8("عدد") << "4"
                                                       << "Command1"
                                                       << "4";
        QTest::newRow("letters first count as 0, subtract") << QString::fromUtf8("عدد") << "4"
                                                            << "Command2"
                                                            << "-4";
        QTest::newRow("12 then letters counts as 12") << "12abc"
                                                      << "1"
                                                      << "Command1"
                                                      << "13";
        QTest::newRow("empty first, add") << ""
                                          << "9"
                                          << "Command1"
                                          << "9";
        QTest::newRow("empty first, subtract") << ""
                                               << "9"
                                               << "Command2"
                                               << "-9";
        QTest::newRow("Arabic digits and separator")
            << QString::fromUtf8("٧") << QString::fromUtf8("۲٫٥") << "Command3"
            << "17.5";
    }
    void calculatorComputes() {
        QFETCH(QString, first);
        QFETCH(QString, second);
        QFETCH(QString, button);
        QFETCH(QString, expected);
        GuiHarness gui;
        gui.registry().show(Form9);
        gui.type(Form9, "Text1", first);
        gui.type(Form9, "Text2", second);
        gui.click(Form9, qPrintable(button));
        QCOMPARE(gui.text(Form9, "Text3"), expected);
        QCOMPARE(failureText(gui), QString());
    }

    void calculatorFailureWritesNothing_data() {
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        QTest::addColumn<QString>("button");
        QTest::addColumn<numtext::FailureKind>("kind");
        QTest::newRow("1 / 0") << "1"
                               << "0"
                               << "Command4" << numtext::FailureKind::DivisionByZero;
        QTest::newRow("0 / 0") << "0"
                               << "0"
                               << "Command4" << numtext::FailureKind::InvalidOperation;
        QTest::newRow("too large") << "1e200"
                                   << "1e200"
                                   << "Command3" << numtext::FailureKind::Overflow;
        QTest::newRow("second not a number") << "5"
                                             << "3x"
                                             << "Command1" << numtext::FailureKind::NotANumber;
        QTest::newRow("second empty") << "5"
                                      << ""
                                      << "Command2" << numtext::FailureKind::NotANumber;
        QTest::newRow("second beyond a double") << "1"
                                                << "1e400"
                                                << "Command1" << numtext::FailureKind::Overflow;
    }
    void calculatorFailureWritesNothing() {
        QFETCH(QString, first);
        QFETCH(QString, second);
        QFETCH(QString, button);
        QFETCH(numtext::FailureKind, kind);
        GuiHarness gui;
        gui.registry().show(Form9);
        gui.type(Form9, "Text3", "keep me");
        gui.type(Form9, "Text1", first);
        gui.type(Form9, "Text2", second);
        gui.click(Form9, qPrintable(button));
        QCOMPARE(gui.text(Form9, "Text3"), QStringLiteral("keep me"));
        QCOMPARE(failureText(gui), messageFor(kind));
        QVERIFY(!QApplication::activeModalWidget());
        // Minimised, the message comes back, in front, at the next failure.
        QMessageBox* message = gui.windows().failureWindow();
        message->showMinimized();
        gui.click(Form9, qPrintable(button));
        QVERIFY(!message->isMinimized());
        QVERIFY(QTest::qWaitForWindowActive(message));
        QCOMPARE(failureText(gui), messageFor(kind));
        // The next good step works while the message is still open.
        gui.type(Form9, "Text2", "2");
        gui.click(Form9, "Command1");
        QVERIFY(gui.text(Form9, "Text3") != QStringLiteral("keep me"));
    }

    void calculatorClearEmptiesAndThenEveryOperationFails() {
        GuiHarness gui;
        gui.registry().show(Form9);
        gui.click(Form9, "Command5");
        for (const char* box : {"Text1", "Text2", "Text3"})
            QCOMPARE(gui.text(Form9, box), QString());
        for (const char* button : {"Command1", "Command2", "Command3", "Command4"}) {
            gui.click(Form9, button);
            QCOMPARE(gui.text(Form9, "Text3"), QString());
            QCOMPARE(failureText(gui), messageFor(numtext::FailureKind::NotANumber));
        }
    }

    void calculatorBesideThePuzzle() {
        GuiHarness gui;
        openPuzzle(gui);
        gui.type(Form6, "Text1", "2064");
        gui.click(Form6, "Command3");
        desktop::Window* calculator = gui.window(Form9);
        gui.click(Form6, "Command3"); // one calculator, brought to the front
        QCOMPARE(gui.window(Form9), calculator);
        QVERIFY(gui.isVisible(Form6));
        QCOMPARE(gui.text(Form6, "Text1"), QStringLiteral("2064"));

        gui.type(Form9, "Text1", "42");
        gui.click(Form6, "Command2"); // back to the menu: the calculator stays
        QVERIFY(!gui.registry().isLoaded(Form6));
        QVERIFY(gui.isVisible(Form2));
        QVERIFY(gui.isVisible(Form9));
        QCOMPARE(gui.text(Form9, "Text1"), QStringLiteral("42"));

        gui.click(Form2, "Command1"); // a fresh puzzle
        QCOMPARE(gui.text(Form6, "Text1"), QString());
        QCOMPARE(gui.text(Form6, "Label12"), QString());

        gui.click(Form9, "Command6");
        QVERIFY(!gui.registry().isLoaded(Form9));
        QVERIFY(gui.isVisible(Form6));
        gui.click(Form6, "Command3"); // reopened from its table
        QCOMPARE(gui.text(Form9, "Text1"), QStringLiteral("0"));
        QCOMPARE(gui.text(Form9, "Text3"), QStringLiteral("0"));
    }

    void puzzleWarningAfterThePuzzleWasClosedShowsAFreshPuzzle() {
        GuiHarness gui;
        openPuzzle(gui);
        gui.type(Form6, "Text1", "5");
        gui.click(Form6, "Command1");
        gui.click(Form6, "Command2");
        QVERIFY(gui.isVisible(Form7));
        gui.click(Form7, "Command1");
        QVERIFY(gui.isVisible(Form6));
        QCOMPARE(gui.text(Form6, "Text1"), QString());
        QVERIFY(gui.isVisible(Form2));
    }

    void aboutAndBack() {
        GuiHarness gui;
        gui.type(Form1, "Text1", "25");
        gui.click(Form1, "Command1");
        gui.click(Form2, "Command2");
        QVERIFY(!gui.registry().isLoaded(Form2));
        QVERIFY(gui.isVisible(Form5));
        // Captions are kept byte for byte, trailing blanks included.
        QVERIFY(gui.text(Form5, "Label2").endsWith(QLatin1Char(' ')));
        QVERIFY(gui.text(Form5, "Label2").contains(QString::fromUtf8("0000أما")));
        gui.click(Form5, "Command1");
        QVERIFY(!gui.registry().isLoaded(Form5));
        QVERIFY(gui.isVisible(Form2));
    }

    void leavingTheProgram() {
        GuiHarness gui;
        gui.type(Form1, "Text1", "25");
        gui.click(Form1, "Command1");
        gui.click(Form2, "Command3");
        QVERIFY(!gui.registry().isLoaded(Form2));
        gui.click(Form3, "Command1"); // no: a fresh menu
        QVERIFY(!gui.registry().isLoaded(Form3));
        QVERIFY(gui.isVisible(Form2));
        gui.click(Form2, "Command1");
        gui.click(Form6, "Command3"); // a calculator left open
        gui.click(Form6, "Command2");
        gui.click(Form2, "Command3");
        gui.click(Form3, "Command2"); // yes: goodbye, never the menu
        QVERIFY(!gui.registry().isLoaded(Form3));
        QVERIFY(!gui.registry().isLoaded(Form2));
        QVERIFY(gui.isVisible(Form4));
        QVERIFY(gui.isVisible(Form9));
        gui.click(Form4, "Command1"); // OK ends it all, calculator included
        QVERIFY(gui.registry().hasEnded());
        for (int i = 0; i < app::formCount; ++i)
            QVERIFY(!gui.registry().isLoaded(app::FormId(i)));
        QVERIFY(!gui.window(Form9) || !gui.window(Form9)->isVisible());
    }

    void closingGoodbyeLeavesAnOpenCalculatorRunning() {
        GuiHarness gui;
        gui.type(Form1, "Text1", "25");
        gui.click(Form1, "Command1");
        gui.click(Form2, "Command1");
        gui.click(Form6, "Command3");
        gui.click(Form6, "Command2");
        gui.click(Form2, "Command3");
        gui.click(Form3, "Command2");
        gui.close(Form4);
        QVERIFY(!gui.registry().hasEnded());
        QVERIFY(gui.isVisible(Form9));
        gui.click(Form9, "Command6");
        QVERIFY(gui.registry().hasEnded());
    }
};

QTEST_MAIN(TestScreens)
#include "tst_screens.moc"
