#include "core/screenlockwatch.h"

#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusObjectPath>
#include <QDBusReply>
#include <unistd.h>

namespace zorbin::core {

namespace {
const QString kLogin1 = QStringLiteral("org.freedesktop.login1");
} // namespace

ScreenLockWatch::ScreenLockWatch(QObject *parent) : QObject(parent)
{
    listenToScreenSaver();
    listenToSession();
}

void ScreenLockWatch::listenToScreenSaver()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    // GNOME sends it under its own name as well; either is enough.
    for (const QString &service :
         {QStringLiteral("org.freedesktop.ScreenSaver"), QStringLiteral("org.gnome.ScreenSaver")}) {
        const QString path = service == QStringLiteral("org.gnome.ScreenSaver")
                                 ? QStringLiteral("/org/gnome/ScreenSaver")
                                 : QStringLiteral("/org/freedesktop/ScreenSaver");
        m_listening |= bus.connect(QString(), path, service, QStringLiteral("ActiveChanged"), this,
                                   SLOT(screenSaverActiveChanged(bool)));
    }
}

void ScreenLockWatch::listenToSession()
{
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected())
        return;
    QDBusInterface manager(kLogin1, QStringLiteral("/org/freedesktop/login1"),
                           QStringLiteral("org.freedesktop.login1.Manager"), bus);
    if (!manager.isValid())
        return;
    const QDBusReply<QDBusObjectPath> session =
        manager.call(QStringLiteral("GetSessionByPID"), quint32(::getpid()));
    if (!session.isValid())
        return;
    m_listening |= bus.connect(kLogin1, session.value().path(),
                               QStringLiteral("org.freedesktop.login1.Session"),
                               QStringLiteral("Lock"), this, SLOT(sessionLocked()));
}

void ScreenLockWatch::screenSaverActiveChanged(bool active)
{
    if (active)
        Q_EMIT screenLocked();
}

void ScreenLockWatch::sessionLocked()
{
    Q_EMIT screenLocked();
}

} // namespace zorbin::core
