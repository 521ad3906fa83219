// SPDX-License-Identifier: GPL-3.0-or-later
// A megabyte pasted into a text box is handled at once and gives the same
// result as a short text that starts the same way. "The same way" follows
// each conversion: blanks and anything that is not part of the number after
// it change nothing; zeros after the point change nothing; more digits make a
// number too large for a double, which reads like "1e400". The time of each
// paste and click is printed; nothing here asserts on it.
#include "WalkDriver.h"
#include "WalkModel.h"
#include "app/FailureMessages.h"
#include "desktop/Appearance.h"

#include <QApplication>
#include <QElapsedTimer>

using app::FormId;
using enum app::FormId;
using app::failureMessage;
using numtext::FailureKind;

Q_DECLARE_METATYPE(app::FormId)

namespace {

QString megabyteOf(const char* unit) {
    const QString piece = QString::fromUtf8(unit);
    return piece.repeated(int((1 << 20) / piece.toUtf8().size()));
}

struct Outcome {
    walk::Observation seen;
    qint64 milliseconds = 0;
};

// Walks to `form`, puts `other` into the calculator's other operand, pastes
// `text` into `box` and clicks `button`.
Outcome pasteAndClick(FormId form, const char* box, const char* button, const QString& other,
                      const QString& text) {
    GuiHarness gui;
    if (form != Form1) {
        enterText(gui, Form1, "Text1", "25", false);
        clickButton(gui, Form1, "Command1");
        clickButton(gui, Form2, "Command1");
    }
    if (form == Form9) {
        clickButton(gui, Form6, "Command3");
        enterText(gui, form, qstrcmp(box, "Text1") == 0 ? "Text2" : "Text1", other, false);
    }

    QElapsedTimer timer;
    timer.start();
    enterText(gui, form, box, text, true);
    clickButton(gui, form, button);
    Outcome outcome{observe(gui), timer.elapsed()};

    // The pasted text itself differs, of course.
    for (std::size_t i = 0; i < walk::watchedTexts.size(); ++i)
        if (walk::watchedTexts[i].form == form && walk::watchedTexts[i].control == box)
            outcome.seen.texts[i] = "(pasted)";
    return outcome;
}

QString visibleWindows(const walk::Observation& seen) {
    QStringList names;
    for (int i = 0; i < app::formCount; ++i)
        if (seen.windows[i] == walk::Presence::Visible)
            names << QString::fromUtf8(app::formName(FormId(i)).data());
    return names.join(QLatin1Char(' '));
}

QString watched(const walk::Observation& seen, FormId form, std::string_view control) {
    for (std::size_t i = 0; i < walk::watchedTexts.size(); ++i)
        if (walk::watchedTexts[i].form == form && walk::watchedTexts[i].control == control)
            return QString::fromStdString(seen.texts[i]);
    return {};
}

} // namespace

class TestBadInput : public QObject {
    Q_OBJECT
  private Q_SLOTS:
    void initTestCase() { desktop::prepareApplication(*qApp); }

    void megabytePaste_data() {
        QTest::addColumn<FormId>("form");
        QTest::addColumn<QByteArray>("box");
        QTest::addColumn<QByteArray>("button");
        QTest::addColumn<QString>("other");
        QTest::addColumn<QString>("longText");
        QTest::addColumn<QString>("shortText");
        QTest::addColumn<QString>("visible");
        QTest::addColumn<QString>("result");
        QTest::addColumn<QString>("failure");
        const auto row = [](const char* name, FormId form, const char* box, const char* button,
                            const char* other, const QString& longText, const char* shortText,
                            const char* visible, const char* result, std::string_view failure) {
            QTest::newRow(name) << form << QByteArray(box) << QByteArray(button)
                                << QString::fromUtf8(other) << longText
                                << QString::fromUtf8(shortText) << QString::fromUtf8(visible)
                                << QString::fromUtf8(result)
                                << QString::fromUtf8(failure.data(), failure.size());
        };
        // The age: lenient, so whatever follows the number is ignored.
        row("age, blanks after", Form1, "Text1", "Command1", "", "25" + megabyteOf(" "), "25",
            "Form2", "", "");
        row("age in Arabic digits, letters after", Form1, "Text1", "Command1", "",
            QString::fromUtf8("٢٥ ") + megabyteOf("ب"), "٢٥ ب", "Form2", "", "");
        row("age after a megabyte of blanks", Form1, "Text1", "Command1", "",
            megabyteOf(" ") + "30", " 30", "Form2", "", "");
        row("age, digits beyond a double", Form1, "Text1", "Command1", "", "7" + megabyteOf("0"),
            "1e400", "Form1 Form8", "", "");
        // The puzzle: the range test is lenient, the answer strict.
        row("result, blanks after", Form6, "Text1", "Command1", "", "2064" + megabyteOf(" "),
            "2064", "Form6", "79 21", "");
        row("result, letters after", Form6, "Text1", "Command1", "", "2064" + megabyteOf("x"),
            "2064x", "Form6", " ", failureMessage(FailureKind::NotANumber));
        row("result, Arabic zeros after the point", Form6, "Text1", "Command1", "",
            QString::fromUtf8("۲۰۶۴.") + megabyteOf("٠"), "2064", "Form6", "79 21", "");
        row("fractional result, zeros after", Form6, "Text1", "Command1", "",
            "100.5" + megabyteOf("0"), "100.5", "Form6", "16 1.995", "");
        row("result, digits beyond a double", Form6, "Text1", "Command1", "",
            "2064" + megabyteOf("7"), "1e400", "Form6 Form7", " ", "");
        // The calculator: the first operand lenient, the second strict.
        row("first operand, letters after", Form9, "Text1", "Command1", "1", "12" + megabyteOf("ب"),
            "12ب", "Form6 Form9", "13", "");
        row("second operand, a third to a megabyte", Form9, "Text2", "Command3", "3",
            "0." + megabyteOf("3"), "0.33333333333333333333333", "Form6 Form9", "1", "");
        row("second operand, blanks after", Form9, "Text2", "Command3", "3",
            "5" + megabyteOf("\u00A0"), "5", "Form6 Form9", "15", "");
        row("second operand, letters after", Form9, "Text2", "Command3", "3", "5" + megabyteOf("x"),
            "5x", "Form6 Form9", "0", failureMessage(FailureKind::NotANumber));
        row("second operand beyond a double", Form9, "Text2", "Command1", "3",
            "1" + megabyteOf("0"), "1e400", "Form6 Form9", "0",
            failureMessage(FailureKind::Overflow));
    }

    void megabytePaste() {
        QFETCH(FormId, form);
        QFETCH(QByteArray, box);
        QFETCH(QByteArray, button);
        QFETCH(QString, other);
        QFETCH(QString, longText);
        QFETCH(QString, shortText);
        QFETCH(QString, visible);
        QFETCH(QString, result);
        QFETCH(QString, failure);

        // The short text gives the expected result...
        const Outcome small = pasteAndClick(form, box, button, other, shortText);
        QCOMPARE(visibleWindows(small.seen), visible);
        if (form == Form6)
            QCOMPARE(watched(small.seen, Form6, "Label12") + ' ' +
                         watched(small.seen, Form6, "Label13"),
                     result);
        if (form == Form9)
            QCOMPARE(watched(small.seen, Form9, "Text3"), result);
        const std::string_view message =
            small.seen.failure ? failureMessage(*small.seen.failure) : "";
        QCOMPARE(QString::fromUtf8(message.data(), message.size()), failure);

        // ...and the megabyte the very same.
        const Outcome large = pasteAndClick(form, box, button, other, longText);
        qInfo("%lld characters pasted and the button clicked in %lld ms",
              static_cast<long long>(longText.size()), static_cast<long long>(large.milliseconds));
        const std::string differences = walk::differences(small.seen, large.seen);
        QVERIFY2(differences.empty(), ("with the long text:\n" + differences).c_str());
    }

    void pastedLineBreakBecomesOneSpace_data() {
        QTest::addColumn<FormId>("form");
        QTest::addColumn<QString>("pasted");
        QTest::addColumn<QString>("held");
        QTest::addColumn<QString>("visible");
        QTest::addColumn<QString>("answers");
        const std::pair<const char*, const char*> breaks[] = {{"CR", "\r"},
                                                              {"LF", "\n"},
                                                              {"CR LF", "\r\n"},
                                                              {"U+2028", "\u2028"},
                                                              {"U+2029", "\u2029"}};
        for (const auto& [name, text] : breaks) {
            const QString lineBreak = QString::fromUtf8(text);
            QTest::addRow("age after %s", name) << Form1 << lineBreak + "25"
                                                << " 25"
                                                << "Form2" << QString();
            QTest::addRow("result before %s", name) << Form6 << "2064" + lineBreak << "2064 "
                                                    << "Form6"
                                                    << "79 21";
        }
    }
    void pastedLineBreakBecomesOneSpace() {
        // A one-line box shows no line break, so it holds none either: the
        // program reads the blank that the user sees.
        QFETCH(FormId, form);
        QFETCH(QString, pasted);
        QFETCH(QString, held);
        QFETCH(QString, visible);
        QFETCH(QString, answers);
        GuiHarness gui;
        if (form == Form6) {
            enterText(gui, Form1, "Text1", "25", false);
            clickButton(gui, Form1, "Command1");
            clickButton(gui, Form2, "Command1");
        }
        QVERIFY(enterText(gui, form, "Text1", pasted, true));
        QCOMPARE(gui.text(form, "Text1"), held);
        clickButton(gui, form, "Command1");
        const walk::Observation seen = observe(gui);
        QCOMPARE(visibleWindows(seen), visible);
        QVERIFY(!seen.failure);
        if (form == Form6)
            QCOMPARE(watched(seen, Form6, "Label12") + ' ' + watched(seen, Form6, "Label13"),
                     answers);
    }
};

QTEST_MAIN(TestBadInput)
#include "tst_badinput.moc"
