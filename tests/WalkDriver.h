// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Acts on the real program as a user would and reads off it what the walk
// model predicts: the state of each window in the registry and on screen, the
// watched texts, the failure message on display and whether the program has
// ended. Unlike GuiHarness these helpers record no test failure themselves,
// so that a walk can be replayed while it is being shrunk.

#include "GuiHarness.h"
#include "WalkModel.h"
#include "app/FailureMessages.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMessageBox>

inline walk::Observation observe(GuiHarness& gui) {
    walk::Observation seen;
    const app::FormRegistry& program = gui.registry();
    for (int i = 0; i < app::formCount; ++i) {
        const auto id = app::FormId(i);
        const desktop::Window* window = gui.window(id);
        walk::Presence& presence = seen.windows[i];
        if (!program.isLoaded(id))
            presence = window ? walk::Presence::Inconsistent : walk::Presence::Unloaded;
        else if (!window || program.isVisible(id) != window->isVisible())
            presence = walk::Presence::Inconsistent;
        else
            presence = window->isVisible() ? walk::Presence::Visible : walk::Presence::Hidden;
    }
    for (std::size_t i = 0; i < walk::watchedTexts.size(); ++i) {
        const walk::WatchedText& watched = walk::watchedTexts[i];
        if (program.isLoaded(watched.form))
            seen.texts[i] =
                gui.text(watched.form, std::string(watched.control).c_str()).toStdString();
    }
    if (const QMessageBox* box = gui.windows().failureWindow(); box && box->isVisible()) {
        const std::string message = box->text().toStdString();
        for (const numtext::FailureKind kind : numtext::failureKinds)
            if (message == app::failureMessage(kind))
                seen.failure = kind;
    }
    seen.ended = program.hasEnded();
    return seen;
}

// The user dismisses the failure message, so that the next observation shows
// only what the next action reports.
inline void dismissFailure(GuiHarness& gui) {
    if (QMessageBox* box = gui.windows().failureWindow())
        box->hide();
}

// Replaces the text of a text box, key by key or, as a paste would, all at
// once through the clipboard and Ctrl+V. False when there is no such box.
inline bool enterText(GuiHarness& gui, app::FormId form, const char* box, const QString& text,
                      bool paste) {
    QLineEdit* edit = gui.control<QLineEdit>(form, box);
    if (!edit)
        return false;
    QTest::mouseClick(edit, Qt::LeftButton);
    edit->selectAll();
    if (paste) {
        QGuiApplication::clipboard()->setText(text);
        QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
    } else {
        QTest::keyClick(edit, Qt::Key_Delete);
        GuiHarness::typeKeys(edit, text);
    }
    return true;
}

// How a user presses a push button: with the mouse, or from the keyboard
// with the space bar or Enter while the button has the focus.
enum class Press { Mouse, Space, Enter };

// Presses a push button. False when there is no such button.
inline bool clickButton(GuiHarness& gui, app::FormId form, const char* button,
                        Press press = Press::Mouse) {
    QPushButton* push = gui.control<QPushButton>(form, button);
    if (!push)
        return false;
    if (press == Press::Mouse) {
        QTest::mouseClick(push, Qt::LeftButton);
    } else {
        push->setFocus(Qt::TabFocusReason);
        QTest::keyClick(push, press == Press::Space ? Qt::Key_Space : Qt::Key_Return);
    }
    GuiHarness::settle();
    return true;
}
