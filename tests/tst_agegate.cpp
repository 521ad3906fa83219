// SPDX-License-Identifier: GPL-3.0-or-later
// The entry window, the age warning and the window framework under them,
// through the real widgets on the offscreen platform.
#include "GuiHarness.h"
#include "desktop/Appearance.h"

#include <QApplication>
#include <QImage>
#include <QMessageBox>

using enum app::FormId;

class TestAgeGate : public QObject {
    Q_OBJECT
  private Q_SLOTS:
    void initTestCase() { desktop::prepareApplication(*qApp); }

    void ageDecidesTheWay_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("empty reads as 0") << QString() << false;
        QTest::newRow("lowest age") << "6" << true;
        QTest::newRow("highest age") << "70" << true;
        QTest::newRow("just below") << "5.99" << false;
        QTest::newRow("just above") << "70.01" << false;
        QTest::newRow("not whole") << "6.5" << true;
        QTest::newRow("number then a word") << QString::fromUtf8("25 سنة") << true;
        QTest::newRow("letters only") << QString::fromUtf8("عشرون") << false;
        QTest::newRow("negative") << "-25" << false;
        QTest::newRow("Arabic-Indic digits") << QString::fromUtf8("٢٥") << true;
        QTest::newRow("extended Arabic-Indic") << QString::fromUtf8("۷۱") << false;
        QTest::newRow("too large for a double") << "1e400" << false;
        QTest::newRow("blanks first") << "  30" << true;
    }
    void ageDecidesTheWay() {
        QFETCH(QString, typed);
        QFETCH(bool, accepted);
        GuiHarness gui;
        gui.type(Form1, "Text1", typed);
        gui.click(Form1, "Command1");
        if (accepted) {
            QVERIFY(!gui.registry().isLoaded(Form1));
            QVERIFY(gui.isVisible(Form2));
            QVERIFY(!gui.registry().isLoaded(Form8));
        } else {
            QVERIFY(gui.isVisible(Form1));
            QVERIFY(gui.isVisible(Form8));
            QCOMPARE(gui.text(Form1, "Text1"), typed);
        }
        QVERIFY(!gui.registry().hasEnded());
    }

    void warningLeadsBackWithTheTypedText() {
        GuiHarness gui;
        gui.type(Form1, "Text1", "99");
        gui.click(Form1, "Command1");
        desktop::Window* entry = gui.window(Form1);
        gui.click(Form8, "Command1");
        QVERIFY(!gui.registry().isLoaded(Form8));
        QVERIFY(gui.isVisible(Form1));
        QCOMPARE(gui.window(Form1), entry); // the same window, not a new one
        QCOMPARE(gui.text(Form1, "Text1"), QStringLiteral("99"));
    }

    void warningStaysWhenTheAgeIsCorrectedMeanwhile() {
        // No window is modal: the user corrects the age while the warning
        // is still open, then dismisses the warning.
        GuiHarness gui;
        gui.type(Form1, "Text1", "3");
        gui.click(Form1, "Command1");
        gui.click(Form1, "Command1"); // refused again: still one warning
        QVERIFY(gui.isVisible(Form8));
        gui.type(Form1, "Text1", "30");
        gui.click(Form1, "Command1");
        QVERIFY(!gui.registry().isLoaded(Form1));
        QVERIFY(gui.isVisible(Form2));
        QVERIFY(gui.isVisible(Form8));
        gui.click(Form8, "Command1");
        QVERIFY(gui.isVisible(Form1));
        QVERIFY(gui.isVisible(Form2));
        QCOMPARE(gui.text(Form1, "Text1"), QString()); // loaded afresh
    }

    void closingWindowsEndsOnlyWithTheLast() {
        GuiHarness gui;
        gui.type(Form1, "Text1", "1");
        gui.click(Form1, "Command1");
        gui.close(Form8);
        QVERIFY(!gui.registry().isLoaded(Form8));
        QVERIFY(!gui.registry().hasEnded());
        gui.close(Form1);
        QVERIFY(gui.registry().hasEnded());
    }

    void keyboardFollowsTheTabOrder() {
        GuiHarness gui;
        desktop::Window* entry = gui.window(Form1);
        QVERIFY(QTest::qWaitForWindowActive(entry));
        auto* button = gui.control<QPushButton>(Form1, "Command1");
        auto* box = gui.control<QLineEdit>(Form1, "Text1");
        QCOMPARE(QApplication::focusWidget(), button); // lowest tab index
        QTest::keyClick(entry, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), box);
        GuiHarness::typeKeys(box, QStringLiteral("40"));
        QTest::keyClick(box, Qt::Key_Return); // no default button
        GuiHarness::settle();
        QVERIFY(gui.registry().isLoaded(Form1));
        QTest::keyClick(entry, Qt::Key_Backtab);
        QCOMPARE(QApplication::focusWidget(), button);
        QTest::keyClick(button, Qt::Key_Return);
        GuiHarness::settle();
        QVERIFY(!gui.registry().isLoaded(Form1));
        QVERIFY(gui.isVisible(Form2));
    }

    void leftAlignedArabicCaptionSitsOnTheLeft() {
        // Qt would right-align Arabic plain text; the table says left.
        GuiHarness gui;
        auto* label = gui.control<QLabel>(Form1, "Label1");
        const std::optional<Ink> ink = inkOf(label);
        QVERIFY2(ink, "the caption draws nothing");
        QVERIFY2(ink->left <= 3, qPrintable(QString::number(ink->left)));
        QVERIFY(ink->right < ink->width - 3 * label->devicePixelRatio());
    }

    void controlsSitAtTheirRectangles() {
        // 15 twips to a pixel: Form1 is 5655 x 4455 twips, Text1 at
        // (2280, 1800) sized 855 x 285.
        GuiHarness gui;
        QCOMPARE(gui.window(Form1)->size(), QSize(377, 297));
        QCOMPARE(gui.control<QLineEdit>(Form1, "Text1")->geometry(), QRect(152, 120, 57, 19));
        QCOMPARE(gui.window(Form1)->windowTitle(), QString::fromUtf8("بدء البرنامج"));
    }
};

QTEST_MAIN(TestAgeGate)
#include "tst_agegate.moc"
