// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop/HeldKeys.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPointer>

#include <map>
#include <utility>

namespace desktop {

namespace {

// Sees every key event before its receiver does. An event that travels from
// a window to its focus widget and on to the widget's parents is seen once
// for each of them, so what it decides about a press must not change when
// the same press is seen again.
class HeldKeys : public QObject {
  public:
    bool isRepeat(const QKeyEvent& event) const {
        if (event.isAutoRepeat())
            return true;
        const auto found = m_keys.find(idOf(event));
        if (found == m_keys.end())
            return false;
        const Key& key = found->second;
        // A second press while the key is down, unless it is the same press
        // seen again. Synthetic events carry no time stamp at all.
        if (key.down)
            return event.timestamp() != key.downAt;
        // The press of a repeat's release and press pair.
        return event.timestamp() != 0 && key.released && event.timestamp() == key.releasedAt;
    }

  protected:
    bool eventFilter(QObject* receiver, QEvent* event) override {
        switch (event->type()) {
        case QEvent::KeyPress: {
            const auto& press = static_cast<const QKeyEvent&>(*event);
            const bool repeat = isRepeat(press);
            Key& key = m_keys[idOf(press)];
            // A repeat keeps the time of the press that put the key down.
            if (!repeat)
                key.downAt = press.timestamp();
            key.down = true;
            break;
        }
        case QEvent::KeyRelease: {
            const auto& release = static_cast<const QKeyEvent&>(*event);
            if (release.isAutoRepeat())
                break;
            Key& key = m_keys[idOf(release)];
            key.down = false;
            key.released = true;
            key.releasedAt = release.timestamp();
            break;
        }
        case QEvent::ApplicationStateChange:
            // The release of a key held while the user turned to another
            // program goes to that program; forget which keys were down.
            if (QGuiApplication::applicationState() != Qt::ApplicationActive)
                for (auto& entry : m_keys)
                    entry.second.down = false;
            break;
        default:
            break;
        }
        return QObject::eventFilter(receiver, event);
    }

  private:
    struct Key {
        bool down = false;
        quint64 downAt = 0;
        bool released = false;
        quint64 releasedAt = 0;
    };
    using Id = std::pair<quint32, int>;

    static Id idOf(const QKeyEvent& event) { return {event.nativeScanCode(), event.key()}; }

    std::map<Id, Key> m_keys;
};

QPointer<HeldKeys> heldKeys;

} // namespace

void watchHeldKeys(QApplication& application) {
    if (heldKeys)
        return;
    heldKeys = new HeldKeys;
    heldKeys->setParent(&application);
    application.installEventFilter(heldKeys.data());
}

bool isRepeatedPress(const QKeyEvent& event) {
    return heldKeys ? heldKeys->isRepeat(event) : event.isAutoRepeat();
}

} // namespace desktop
