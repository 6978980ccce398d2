#include "app/applock.h"

#include "account/loginwindow.h"
#include "core/screenlockwatch.h"
#include "core/secretclipboard.h"
#include "store/locksetting.h"

#include <QApplication>
#include <QToolTip>
#include <QWidget>
#include <QWindow>
#include <algorithm>

namespace zorbin::app {

namespace {

int depth(const QWidget *window)
{
    int n = 0;
    for (const QWidget *w = window->parentWidget(); w; w = w->parentWidget())
        ++n;
    return n;
}

// Windows a lock puts away: what the user sees of the program, not menus or tool tips.
bool isPutAway(const QWidget *window)
{
    if (!window->isVisible() || !window->windowHandle())
        return false;
    const Qt::WindowType type = window->windowType();
    return type != Qt::Popup && type != Qt::ToolTip && type != Qt::Desktop &&
           type != Qt::SplashScreen;
}

} // namespace

AppLock::AppLock(store::Settings &settings, UnlockWindowFactory makeUnlockWindow, QObject *parent)
    : QObject(parent), m_settings(settings), m_makeUnlockWindow(std::move(makeUnlockWindow)),
      m_screen(new core::ScreenLockWatch(this))
{
    connect(&m_idle, &core::IdleWatch::idle, this, &AppLock::lock);
    connect(m_screen, &core::ScreenLockWatch::screenLocked, this, &AppLock::lock);
    connect(&store::LockSetting::changes(), &store::LockSettingChanges::minutesChanged, this,
            [this](int minutes) { setIdleTimeout(std::chrono::minutes(minutes)); });
    applySetting();
}

AppLock::~AppLock()
{
    delete m_unlockWindow;
}

AppLock::UnlockWindowFactory AppLock::loginWindow(common::Context &context, const QString &userName)
{
    return [&context, userName](AppLock &lock) -> QWidget * {
        auto *window = new account::LoginWindow(context, nullptr, true);
        window->setUnlockMode(userName);
        connect(window, &account::LoginWindow::loggedIn, &lock, &AppLock::unlock);
        return window;
    };
}

void AppLock::applySetting()
{
    setIdleTimeout(std::chrono::minutes(store::LockSetting::minutes(m_settings)));
}

void AppLock::setIdleTimeout(std::chrono::milliseconds timeout)
{
    m_idle.setTimeout(timeout);
}

QList<QWidget *> AppLock::hiddenWindows() const
{
    QList<QWidget *> windows;
    for (const QPointer<QWidget> &w : m_hidden)
        if (w)
            windows.append(w);
    return windows;
}

void AppLock::lock()
{
    if (m_locked)
        return;
    m_locked = true;
    m_idle.pause();
    while (QWidget *popup = QApplication::activePopupWidget())
        popup->close();
    QToolTip::hideText();

    // Owners before the windows they own, so they come back underneath them.
    QList<QWidget *> windows;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (isPutAway(w))
            windows.append(w);
    std::stable_sort(windows.begin(), windows.end(),
                     [](const QWidget *a, const QWidget *b) { return depth(a) < depth(b); });
    m_hidden.clear();
    // Hidden at the window-system level: a modal window's own loop keeps running and it
    // keeps what was typed, where hiding the widget would end its loop as a cancel.
    for (auto it = windows.crbegin(); it != windows.crend(); ++it) {
        m_hidden.prepend(*it);
        (*it)->windowHandle()->hide();
    }

    core::forgetSecret();

    m_unlockWindow = m_makeUnlockWindow ? m_makeUnlockWindow(*this) : nullptr;
    if (m_unlockWindow) {
        m_unlockWindow->show();
        m_unlockWindow->raise();
        m_unlockWindow->activateWindow();
    }
    Q_EMIT locked();
}

void AppLock::unlock()
{
    if (!m_locked)
        return;
    m_locked = false;
    if (m_unlockWindow) {
        m_unlockWindow->hide();
        m_unlockWindow->deleteLater();
        m_unlockWindow = nullptr;
    }
    QWidget *last = nullptr;
    for (const QPointer<QWidget> &w : std::as_const(m_hidden)) {
        if (!w || !w->windowHandle())
            continue;
        w->windowHandle()->show();
        last = w;
    }
    m_hidden.clear();
    // The window on top (a modal editor, if one was open) gets the keyboard again.
    if (QWidget *modal = QApplication::activeModalWidget())
        last = modal;
    if (last) {
        last->raise();
        last->activateWindow();
    }
    m_idle.resume();
    Q_EMIT unlocked();
}

} // namespace zorbin::app
