// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop/HeldKeys.h"

#include <QApplication>
#include <QKeyEvent>

namespace desktop {

void HeldKeys::watch(QApplication& application) {
    application.installEventFilter(new HeldKeys(&application));
}

bool HeldKeys::isRepeatedPress(const QKeyEvent& event) {
    const auto* keys =
        qApp ? qApp->findChild<HeldKeys*>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
    return keys ? keys->isRepeat(event) : event.isAutoRepeat();
}

HeldKeys::Id HeldKeys::idOf(const QKeyEvent& event) {
    return {event.nativeScanCode(), event.key()};
}

bool HeldKeys::isRepeat(const QKeyEvent& event) const {
    if (event.isAutoRepeat())
        return true;
    const auto found = m_keys.find(idOf(event));
    if (found == m_keys.end())
        return false;
    const Key& key = found->second;
    // A second press while the key is down, unless it is the same press seen
    // again. Synthetic events carry no time stamp at all.
    if (key.down)
        return event.timestamp() != key.downAt;
    // The press of a repeat's release and press pair.
    return event.timestamp() != 0 && key.released && event.timestamp() == key.releasedAt;
}

bool HeldKeys::eventFilter(QObject* receiver, QEvent* event) {
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
        // The release of a key held while the user turned to another program
        // goes to that program; forget which keys were down.
        if (QGuiApplication::applicationState() != Qt::ApplicationActive)
            for (auto& entry : m_keys)
                entry.second.down = false;
        break;
    default:
        break;
    }
    return QObject::eventFilter(receiver, event);
}

} // namespace desktop
