// SPDX-License-Identifier: GPL-3.0-or-later
// The table of roads through the real widgets on the offscreen platform, and
// what only the Qt windows can show: how a cut-off answer is drawn, and how
// the failure message behaves as a window of its own.
#include "GuiHarness.h"
#include "RoadRows.h"
#include "app/FailureMessages.h"
#include "desktop/Appearance.h"
#include "desktop/Text.h"

#include <QApplication>
#include <QMessageBox>
#include <QPainter>

#include <stdexcept>

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

// A user of the Qt windows: the mouse on buttons and close controls, typing
// key by key, the failure message's own button.
class QtDriver final : public roads::Driver {
  public:
    void type(app::FormId form, std::string_view box, std::string_view text) override {
        auto* edit = m_gui.control<QLineEdit>(form, std::string(box).c_str());
        if (!edit || !edit->isVisible())
            throw std::runtime_error(std::string(box) + " is not visible");
        QTest::mouseClick(edit, Qt::LeftButton);
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        GuiHarness::typeKeys(edit, desktop::toQString(text));
        if (edit->text() != desktop::toQString(text))
            throw std::runtime_error("typing gave \"" + edit->text().toStdString() + '"');
    }
    void click(app::FormId form, std::string_view button) override {
        auto* push = m_gui.control<QPushButton>(form, std::string(button).c_str());
        if (!push || !push->isVisible())
            throw std::runtime_error(std::string(button) + " is not visible");
        m_saidBefore = m_gui.log().said.size();
        QTest::mouseClick(push, Qt::LeftButton);
        GuiHarness::settle();
    }
    void close(app::FormId form) override {
        mustSee(form)->close();
        GuiHarness::settle();
    }
    void raise(app::FormId form) override {
        desktop::Window* window = mustSee(form);
        window->raise();
        window->activateWindow();
        GuiHarness::settle();
    }
    void dismiss() override {
        QMessageBox* message = m_gui.windows().failureWindow();
        if (!message || !message->isVisible() || message->buttons().isEmpty())
            throw std::runtime_error("no failure message to dismiss");
        QTest::mouseClick(message->buttons().first(), Qt::LeftButton);
        GuiHarness::settle();
    }

    std::vector<app::FormId> open() const override {
        std::vector<app::FormId> visible;
        for (int i = 0; i < app::formCount; ++i)
            if (m_gui.isVisible(app::FormId(i)))
                visible.push_back(app::FormId(i));
        return visible;
    }
    std::optional<app::FormId> front() const override {
        for (int i = 0; i < app::formCount; ++i)
            if (m_gui.window(app::FormId(i)) &&
                m_gui.window(app::FormId(i)) == QApplication::activeWindow())
                return app::FormId(i);
        return std::nullopt;
    }
    std::string text(app::FormId form, std::string_view control) const override {
        return m_gui.text(form, std::string(control).c_str()).toStdString();
    }
    std::optional<std::string> failure() const override {
        QMessageBox* message = m_gui.windows().failureWindow();
        if (!message || !message->isVisible())
            return std::nullopt;
        return message->text().toStdString();
    }
    std::vector<std::pair<app::FormId, std::string>> saidSinceClick() const override {
        const auto& said = m_gui.log().said;
        return {said.begin() + std::ptrdiff_t(m_saidBefore), said.end()};
    }
    bool ended() const override { return m_gui.registry().hasEnded() && open().empty(); }
    bool settle() override {
        QTest::qWait(5);
        return true;
    }

  private:
    desktop::Window* mustSee(app::FormId form) const {
        if (!m_gui.isVisible(form))
            throw std::runtime_error(std::string(app::formName(form)) + " is not visible");
        return m_gui.window(form);
    }

    mutable GuiHarness m_gui;
    std::size_t m_saidBefore = 0;
};

} // namespace

class TestScreens : public QObject {
    Q_OBJECT
  private Q_SLOTS:
    void initTestCase() { desktop::prepareApplication(*qApp); }

    void road_data() { addRoadRows(); }
    void road() { walkRoadRow<QtDriver>(); }

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

    void failureMessageIsAWindowThatBlocksNothing() {
        // The message is not modal; minimised, it comes back in front at the
        // next failure, and the next good step works while it is open.
        GuiHarness gui;
        gui.registry().show(Form9);
        gui.type(Form9, "Text1", "1");
        gui.type(Form9, "Text2", "0");
        gui.click(Form9, "Command4");
        QCOMPARE(failureText(gui), messageFor(numtext::FailureKind::DivisionByZero));
        QVERIFY(!QApplication::activeModalWidget());
        QMessageBox* message = gui.windows().failureWindow();
        message->showMinimized();
        gui.click(Form9, "Command4");
        QVERIFY(!message->isMinimized());
        QVERIFY(QTest::qWaitForWindowActive(message));
        QCOMPARE(failureText(gui), messageFor(numtext::FailureKind::DivisionByZero));
        gui.type(Form9, "Text2", "2");
        gui.click(Form9, "Command1");
        QCOMPARE(gui.text(Form9, "Text3"), QStringLiteral("3"));
    }
};

QTEST_MAIN(TestScreens)
#include "tst_screens.moc"
