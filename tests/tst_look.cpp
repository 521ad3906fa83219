// SPDX-License-Identifier: GPL-3.0-or-later
// What a person sees, checked on the rendered pixels of every window: each
// caption sits where its row says (left, right or centred, whatever the
// language and locale), every caption fits its rectangle as the tables
// intend, and at any scale factor the windows are drawn at the screen's
// resolution. The same binary runs at several scale factors and locales.
#include "GuiHarness.h"
#include "desktop/Appearance.h"

#include <QApplication>
#include <QImage>
#include <QLocale>
#include <QMenu>

#include <algorithm>
#include <initializer_list>
#include <memory>
#include <optional>

using namespace app;

namespace {

// One row for every control of these kinds that has a caption.
void addRowsForEveryControl(std::initializer_list<ControlKind> kinds) {
    QTest::addColumn<int>("form");
    QTest::addColumn<QString>("control");
    for (const FormDescription* form : screens::allForms())
        for (const ControlRow& control : form->controls)
            if (std::find(kinds.begin(), kinds.end(), control.kind) != kinds.end() &&
                !control.text.empty())
                QTest::addRow("%s.%s", formName(form->id).data(),
                              QByteArray(control.name.data(), control.name.size()).constData())
                    << int(form->id) << QString::fromUtf8(control.name.data(), control.name.size());
}

} // namespace

class TestLook : public QObject {
    Q_OBJECT
  private Q_SLOTS:
    void initTestCase() {
        desktop::prepareApplication(*qApp);
        // When run in another locale, make sure it really is in force.
        const QString lang = qEnvironmentVariable("LC_ALL");
        if (lang.startsWith(QLatin1String("ar")))
            QCOMPARE(QLocale().language(), QLocale::Arabic);
        if (lang.startsWith(QLatin1String("fr")))
            QCOMPARE(QLocale().decimalPoint(), QStringLiteral(","));
    }

    void labelCaptionSitsAsItsRowSays_data() { addRowsForEveryControl({ControlKind::Label}); }
    void labelCaptionSitsAsItsRowSays() {
        QFETCH(int, form);
        QFETCH(QString, control);
        GuiHarness gui;
        gui.registry().show(FormId(form));
        desktop::Window* window = gui.window(FormId(form));
        QCOMPARE(window->layoutDirection(), Qt::LeftToRight);
        auto* label = qobject_cast<QLabel*>(window->control(window->description().rowOf(control.toStdString())));
        const std::optional<Ink> ink = inkOf(label);
        QVERIFY2(ink, "the caption draws nothing");
        const int slack = int(3 * label->devicePixelRatio() + 1);
        const Align align = window->description().find(control.toStdString())->style.align;
        if (align == Align::Left)
            QVERIFY2(ink->left <= slack, qPrintable(QString::number(ink->left)));
        else if (align == Align::Right)
            QVERIFY2(ink->right >= ink->width - 1 - slack, qPrintable(QString::number(ink->right)));
        else
            QVERIFY(std::abs(ink->left - (ink->width - 1 - ink->right)) <= 2 * slack);
    }

    void typedArabicSitsOnTheLeftOfItsBox() {
        GuiHarness gui;
        gui.registry().show(FormId::Form9);
        gui.type(FormId::Form9, "Text1", QString::fromUtf8("خمسة"));
        auto* box = gui.control<QLineEdit>(FormId::Form9, "Text1");
        box->setCursorPosition(0);
        const std::optional<Ink> ink = inkOf(box);
        QVERIFY(ink);
        QVERIFY2(ink->right < ink->width / 2 + 10 * box->devicePixelRatio(),
                 qPrintable(QString::number(ink->right)));
    }

    void captionFitsItsRectangle_data() {
        addRowsForEveryControl({ControlKind::Label, ControlKind::PushButton});
    }
    void captionFitsItsRectangle() {
        // Wrapped at spaces inside the control's rectangle, every caption
        // must fit in height and no single word may stick out sideways.
        QFETCH(int, form);
        QFETCH(QString, control);
        GuiHarness gui;
        gui.registry().show(FormId(form));
        QWidget* widget = gui.control<QWidget>(FormId(form), qPrintable(control));
        QString caption = widget->property("text").toString();
        // A button's caption is centred and may use its whole height.
        const QRect area = widget->contentsRect();
        const QFontMetricsF metrics(widget->font(), widget);
        const QRectF needed = metrics.boundingRect(
            QRectF(area), Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, caption);
        QVERIFY2(needed.height() <= area.height() + 0.5,
                 qPrintable(
                     QStringLiteral("needs %1 of %2 px").arg(needed.height()).arg(area.height())));
        for (const QString& word : caption.split(QLatin1Char(' '), Qt::SkipEmptyParts))
            QVERIFY2(metrics.horizontalAdvance(word) <= area.width(), qPrintable(word));
    }

    void standardMenuIsArabic() {
        // Qt's own texts, here the text box's right-click menu, are Arabic in
        // every locale, with no Latin shortcut hint beside them.
        GuiHarness gui;
        auto* box = gui.control<QLineEdit>(FormId::Form1, "Text1");
        std::unique_ptr<QMenu> menu(box->createStandardContextMenu());
        int named = 0;
        for (const QAction* action : menu->actions()) {
            const QString name = action->text();
            if (action->isSeparator())
                continue;
            ++named;
            const auto isArabic = [](QChar c) { return c.script() == QChar::Script_Arabic; };
            const auto isLatin = [](QChar c) { return c.script() == QChar::Script_Latin; };
            QVERIFY2(std::any_of(name.begin(), name.end(), isArabic) &&
                         std::none_of(name.begin(), name.end(), isLatin),
                     qPrintable(name));
        }
        QVERIFY(named >= 5); // undo, redo, cut, copy, paste, delete, select all
        QCOMPARE(gui.window(FormId::Form1)->layoutDirection(), Qt::LeftToRight);
    }

    void drawnAtTheScreensResolution() {
        // Qt's high-DPI scaling renders text at the device resolution: the
        // picture of a window has as many device pixels as the scale asks.
        const qreal expected = qEnvironmentVariableIsSet("TAKHMIN_EXPECT_SCALE")
                                   ? qEnvironmentVariable("TAKHMIN_EXPECT_SCALE").toDouble()
                                   : 1.0;
        GuiHarness gui;
        desktop::Window* window = gui.window(FormId::Form1);
        QCOMPARE(window->devicePixelRatio(), expected);
        QCOMPARE(window->size(), QSize(377, 297)); // 5655 x 4455 twips at any scale
        const QImage image = window->grab().toImage();
        QCOMPARE(image.width(), qRound(377 * expected));
    }
};

QTEST_MAIN(TestLook)
#include "tst_look.moc"
