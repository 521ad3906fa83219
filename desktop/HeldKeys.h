// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Tells a key going down from the auto-repeat of a key held down, so that a
// held Enter or space bar presses one push button only: the one that had
// the focus when the key went down, even when that press opens a window
// whose button then has the focus.
//
// Qt flags auto-repeated key events, but on X11 not always. X repeats a held
// key as a release and a press with one and the same time stamp, and Qt's
// xcb backend flags the pair only when the press is already in its event
// queue as it handles the release; when the press comes in a moment later,
// both arrive unflagged, and the press looks like a new key-down.

#include <QObject>

#include <map>
#include <utility>

class QApplication;
class QKeyEvent;

namespace desktop {

// Sees every key event of the application before its receiver does. An
// event that travels from a window to its focus widget and on to the
// widget's parents is seen once for each of them, so what it decides about a
// press does not change when the same press is seen again.
class HeldKeys : public QObject {
    Q_OBJECT
  public:
    // Watches the key events of `application` from now on; the application
    // owns the watcher. Call once.
    static void watch(QApplication& application);

    // True when a key press repeats a key that is already down, whether or
    // not Qt flagged it as an auto-repeat.
    static bool isRepeatedPress(const QKeyEvent& event);

  protected:
    bool eventFilter(QObject* receiver, QEvent* event) override;

  private:
    struct Key {
        bool down = false;
        quint64 downAt = 0;
        bool released = false;
        quint64 releasedAt = 0;
    };
    using Id = std::pair<quint32, int>;

    explicit HeldKeys(QObject* parent) : QObject(parent) {}
    bool isRepeat(const QKeyEvent& event) const;
    static Id idOf(const QKeyEvent& event);

    std::map<Id, Key> m_keys;
};

} // namespace desktop
