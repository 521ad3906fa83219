// SPDX-License-Identifier: GPL-3.0-or-later
// The entry window through the real widgets on the offscreen platform: its
// focus, where its Arabic caption is drawn, and its rectangles. Where each
// age leads is a road of tests/roads.json.
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
