#include "core/idlewatch.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QSignalSpy>
#include <QWindow>
#include <QtTest>

using zorbin::core::IdleWatch;
using namespace std::chrono_literals;

class TstIdleWatch : public QObject
{
    Q_OBJECT

private slots:
    // Input puts the idle moment off; quiet lets it come once; paused and zero never fire.
    void idleAfterQuiet()
    {
        QWindow window;
        IdleWatch watch;
        QSignalSpy idle(&watch, &IdleWatch::idle);
        watch.setTimeout(300ms);
        for (int i = 0; i < 4; ++i) {
            QTest::qWait(150);
            QKeyEvent key(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
            QCoreApplication::sendEvent(&window, &key);
        }
        QCOMPARE(idle.count(), 0);
        QTRY_COMPARE_WITH_TIMEOUT(idle.count(), 1, 2000);
        QTest::qWait(500);
        QCOMPARE(idle.count(), 1);

        watch.pause();
        QTest::qWait(500);
        QCOMPARE(idle.count(), 1);
        watch.resume();
        QTRY_COMPARE_WITH_TIMEOUT(idle.count(), 2, 2000);

        watch.setTimeout(0ms);
        QTest::qWait(500);
        QCOMPARE(idle.count(), 2);
    }
};

QTEST_MAIN(TstIdleWatch)
#include "tst_idlewatch.moc"
