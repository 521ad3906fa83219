// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Runs the real program (form registry, screens and Qt windows) inside a test and
// acts on it as a user would: typing key by key, clicking with the mouse,
// closing windows through their close control.

#include "app/FormRegistry.h"
#include "desktop/QtWindowSystem.h"
#include "desktop/Window.h"
#include "screens/Screens.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <QImage>

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

struct Ink {
    int left = 0, right = 0; // in device pixels, inclusive
    int width = 0;           // of the image, in device pixels
};

// Where the caption of a control is drawn, in device pixels.
inline std::optional<Ink> inkOf(QWidget* widget) {
    const QImage image = widget->grab().toImage();
    const int background = qGray(widget->palette().color(widget->backgroundRole()).rgb());
    Ink ink{image.width(), -1, image.width()};
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) < background - 90) {
                ink.left = std::min(ink.left, x);
                ink.right = std::max(ink.right, x);
            }
    if (ink.right < 0)
        return std::nullopt;
    return ink;
}

// Passes everything on to the Qt windows, and keeps what a screen reader was
// told to say.
class AnnouncementLog final : public app::WindowSystem {
  public:
    explicit AnnouncementLog(app::WindowSystem& windows) : m_windows(windows) {}

    void createWindow(const app::FormDescription& form) override { m_windows.createWindow(form); }
    void destroyWindow(app::FormId id) override { m_windows.destroyWindow(id); }
    void showWindow(app::FormId id) override { m_windows.showWindow(id); }
    std::string text(app::FormId id, int row) const override { return m_windows.text(id, row); }
    void setText(app::FormId id, int row, std::string_view text) override {
        m_windows.setText(id, row, text);
    }
    void announce(app::FormId id, std::string_view message) override {
        said.emplace_back(id, message);
        m_windows.announce(id, message);
    }
    void reportFailure(const app::FailureReport& report) override {
        m_windows.reportFailure(report);
    }
    void quit() override { m_windows.quit(); }

    std::vector<std::pair<app::FormId, std::string>> said;

  private:
    app::WindowSystem& m_windows;
};

class GuiHarness {
  public:
    GuiHarness() { m_registry.start(m_log); }

    app::FormRegistry& registry() { return m_registry; }
    desktop::QtWindowSystem& windows() { return m_windows; }
    const AnnouncementLog& log() const { return m_log; }
    desktop::Window* window(app::FormId id) const { return m_windows.window(id); }

    bool isVisible(app::FormId id) const {
        desktop::Window* w = window(id);
        return m_registry.isVisible(id) && w && w->isVisible();
    }

    template <typename Widget> Widget* control(app::FormId id, const char* name) const {
        desktop::Window* w = window(id);
        const int row = w ? w->description().rowOf(name) : -1;
        return row < 0 ? nullptr : qobject_cast<Widget*>(w->control(row));
    }

    QString text(app::FormId id, const char* name) const {
        if (auto* label = control<QLabel>(id, name))
            return label->text();
        if (auto* box = control<QLineEdit>(id, name))
            return box->text();
        return QStringLiteral("<no control %1>").arg(QLatin1String(name));
    }

    // Replaces the text of a text box by typing, one key event per character
    // (QTest::keyClicks cannot send Arabic letters or digits).
    void type(app::FormId id, const char* name, const QString& text) {
        QLineEdit* box = control<QLineEdit>(id, name);
        QVERIFY2(box, name);
        QTest::mouseClick(box, Qt::LeftButton);
        box->selectAll();
        QTest::keyClick(box, Qt::Key_Delete);
        typeKeys(box, text);
        QCOMPARE(box->text(), text);
    }

    // One key event per character, with its text, to whatever widget gets
    // it (QTest::keyClicks cannot send Arabic letters or digits).
    static void typeKeys(QWidget* widget, const QString& text) {
        for (QChar ch : text)
            QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(ch), Qt::NoModifier);
    }

    void click(app::FormId id, const char* name) {
        QPushButton* button = control<QPushButton>(id, name);
        QVERIFY2(button, name);
        QVERIFY2(button->isVisible(), name);
        QTest::mouseClick(button, Qt::LeftButton);
        settle();
    }

    // The window system's close control.
    void close(app::FormId id) {
        desktop::Window* w = window(id);
        QVERIFY(w);
        w->close();
        settle();
    }

    // Lets deferred deletions and window-system events run.
    static void settle() {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }

  private:
    app::FormRegistry m_registry{screens::allForms()};
    desktop::QtWindowSystem m_windows{m_registry};
    AnnouncementLog m_log{m_windows};
};
