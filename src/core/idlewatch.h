#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <chrono>

namespace zorbin::core {

// Watches every input event of the application (keys, mouse, wheel, touch) and says when
// none came for the set time. Works in nested event loops too, since it filters the
// application object itself.
class IdleWatch : public QObject
{
    Q_OBJECT
public:
    explicit IdleWatch(QObject *parent = nullptr);
    ~IdleWatch() override;

    // The quiet time after which idle() is emitted; zero turns the watch off. Counting
    // starts afresh.
    void setTimeout(std::chrono::milliseconds timeout);
    std::chrono::milliseconds timeout() const { return m_timeout; }
    // While paused (the program is locked) nothing is emitted; resuming starts a fresh count.
    void pause();
    void resume();
    bool isPaused() const { return m_paused; }

Q_SIGNALS:
    // No input for the set time; emitted once, then counting starts again with the next
    // input or resume().
    void idle();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void restart();
    void check();

    std::chrono::milliseconds m_timeout{0};
    QElapsedTimer m_sinceInput;
    QTimer m_timer;
    bool m_paused = false;
    bool m_fired = false;
};

} // namespace zorbin::core
