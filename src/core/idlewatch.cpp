#include "core/idlewatch.h"

#include <QCoreApplication>
#include <QEvent>

namespace zorbin::core {

namespace {

bool isInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::KeyPress:
    case QEvent::MouseButtonPress:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TabletPress:
    case QEvent::TabletMove:
    case QEvent::InputMethod:
        return true;
    default:
        return false;
    }
}

} // namespace

IdleWatch::IdleWatch(QObject *parent) : QObject(parent)
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &IdleWatch::check);
    if (QCoreApplication *app = QCoreApplication::instance())
        app->installEventFilter(this);
    m_sinceInput.start();
}

IdleWatch::~IdleWatch()
{
    if (QCoreApplication *app = QCoreApplication::instance())
        app->removeEventFilter(this);
}

void IdleWatch::setTimeout(std::chrono::milliseconds timeout)
{
    m_timeout = std::max(timeout, std::chrono::milliseconds(0));
    restart();
}

void IdleWatch::pause()
{
    m_paused = true;
    m_timer.stop();
}

void IdleWatch::resume()
{
    m_paused = false;
    restart();
}

void IdleWatch::restart()
{
    m_sinceInput.restart();
    m_fired = false;
    if (m_paused || m_timeout.count() == 0) {
        m_timer.stop();
        return;
    }
    m_timer.start(m_timeout);
}

bool IdleWatch::eventFilter(QObject *watched, QEvent *event)
{
    // An input event only notes the time: the timer is moved on when it comes due.
    if (isInput(event->type())) {
        m_sinceInput.restart();
        if (m_fired && !m_paused)
            restart();
    }
    return QObject::eventFilter(watched, event);
}

void IdleWatch::check()
{
    if (m_paused || m_timeout.count() == 0)
        return;
    const auto quiet = std::chrono::milliseconds(m_sinceInput.elapsed());
    if (quiet < m_timeout) {
        m_timer.start(m_timeout - quiet);
        return;
    }
    m_fired = true;
    Q_EMIT idle();
}

} // namespace zorbin::core
