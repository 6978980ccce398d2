#pragma once

#include "core/idlewatch.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <chrono>
#include <functional>

class QWidget;

namespace zorbin::common {
struct Context;
}
namespace zorbin::store {
class Settings;
}
namespace zorbin::core {
class ScreenLockWatch;
}

namespace zorbin::app {

// Locks the program after the set minutes without input and when the desktop locks the
// screen: every window it has open is hidden, as it is (an editor keeps what was typed
// and its modal loop keeps running), a password it put on the clipboard is cleared, and
// the unlock window asks for the password again. Unlocking shows the windows again.
class AppLock : public QObject
{
    Q_OBJECT
public:
    // Makes the window that asks for the password; it calls unlock() when it was right.
    // The lock owns the window and deletes it after unlocking.
    using UnlockWindowFactory = std::function<QWidget *(AppLock &)>;

    AppLock(store::Settings &settings, UnlockWindowFactory makeUnlockWindow,
            QObject *parent = nullptr);
    ~AppLock() override;

    // The login window in its unlock mode, for the account `userName`.
    static UnlockWindowFactory loginWindow(common::Context &context, const QString &userName);

    // Reads the minutes from the settings again (a change made through LockSetting is
    // taken at once without it).
    void applySetting();
    // The quiet time before locking, for tests; zero never locks on idle.
    void setIdleTimeout(std::chrono::milliseconds timeout);
    std::chrono::milliseconds idleTimeout() const { return m_idle.timeout(); }

    bool isLocked() const { return m_locked; }
    QWidget *unlockWindow() const { return m_unlockWindow; }
    // The windows the lock hid, in the order they come back.
    QList<QWidget *> hiddenWindows() const;

public Q_SLOTS:
    void lock();
    void unlock();

Q_SIGNALS:
    void locked();
    void unlocked();

private:
    store::Settings &m_settings;
    UnlockWindowFactory m_makeUnlockWindow;
    core::IdleWatch m_idle;
    core::ScreenLockWatch *m_screen = nullptr;
    QList<QPointer<QWidget>> m_hidden;
    QPointer<QWidget> m_unlockWindow;
    bool m_locked = false;
};

} // namespace zorbin::app
