#pragma once

#include <QObject>

namespace zorbin::core {

// Says when the desktop locks the screen: the freedesktop screen saver's ActiveChanged
// signal on the session bus, and the Lock signal of this login session on the system
// bus. Without a bus (or without those services) it simply never says anything.
class ScreenLockWatch : public QObject
{
    Q_OBJECT
public:
    explicit ScreenLockWatch(QObject *parent = nullptr);

    // Whether any bus could be listened to.
    bool isListening() const { return m_listening; }

Q_SIGNALS:
    void screenLocked();

public Q_SLOTS:
    // The screen saver went on (true) or off.
    void screenSaverActiveChanged(bool active);
    void sessionLocked();

private:
    void listenToScreenSaver();
    void listenToSession();

    bool m_listening = false;
};

} // namespace zorbin::core
