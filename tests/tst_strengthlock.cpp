#include "core/idlewatch.h"
#include "core/passwordstrength.h"
#include "core/screenlockwatch.h"
#include "store/locksetting.h"
#include "store/settings.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

using zorbin::core::IdleWatch;
using zorbin::core::PasswordStrength;
using zorbin::store::LockSetting;
using namespace std::chrono_literals;

class TstStrengthLock : public QObject
{
    Q_OBJECT

private slots:
    // Known weak passwords are very weak, long random ones very strong, and the words and
    // bits are those the bar shows.
    void strengthOfKnownPasswords()
    {
        for (const char *weak : {"password", "123456", "qwerty", "P@ssw0rd", "aaaaaaaaaaaa"})
            QCOMPARE(PasswordStrength::estimate(QString::fromLatin1(weak)).level, 0);
        for (const char *strong :
             {"Xk9#mQ2!vL7$pR4@wZ8^nB3&jT6*hF1%s", "q8W!zr4TfY2#mKp9Lx7@Vb3N"}) {
            const auto s = PasswordStrength::estimate(QString::fromLatin1(strong));
            QCOMPARE(s.level, 4);
            QVERIFY(s.bits >= 100);
        }
        // A passphrase of four common words sits in the middle.
        QCOMPARE(PasswordStrength::estimate(QStringLiteral("correcthorsebatterystaple")).level, 2);
        QCOMPARE(PasswordStrength::estimate(QString()).bits, 0.0);

        QCOMPARE(PasswordStrength::level(27.9), 0);
        QCOMPARE(PasswordStrength::level(28), 1);
        QCOMPARE(PasswordStrength::level(99.9), 3);
        QCOMPARE(PasswordStrength::word(0), QStringLiteral("خيلي ضعيف"));
        QCOMPARE(PasswordStrength::word(4), QStringLiteral("خيلي قوي"));
        QCOMPARE(PasswordStrength::describe({63.6, 2}), QStringLiteral("متوسط (64 بيت)"));
    }

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

    // The minutes default to 10, keep 0 (never), and refuse what is not a sensible number.
    void lockMinutesSetting()
    {
        QTemporaryDir dir;
        zorbin::store::Settings settings(dir.path());
        QSignalSpy changed(&LockSetting::changes(),
                           &zorbin::store::LockSettingChanges::minutesChanged);
        QCOMPARE(LockSetting::minutes(settings), 10);
        QVERIFY(LockSetting::setMinutes(settings, 0));
        QCOMPARE(LockSetting::minutes(settings), 0);
        QVERIFY(LockSetting::setMinutes(settings, 25));
        QCOMPARE(LockSetting::minutes(zorbin::store::Settings(dir.path())), 25);
        QCOMPARE(changed.count(), 2);
        QCOMPARE(changed.last().first().toInt(), 25);
        QVERIFY(settings.setValue(QStringLiteral("LockMinutes"), QStringLiteral("SettingForm"),
                                  QStringLiteral("LockMinutes"), QStringLiteral("-3")));
        QCOMPARE(LockSetting::minutes(settings), 10);
    }

    // The screen saver going on is a screen lock; going off is not.
    void screenLockSignal()
    {
        zorbin::core::ScreenLockWatch watch;
        QSignalSpy locked(&watch, &zorbin::core::ScreenLockWatch::screenLocked);
        watch.screenSaverActiveChanged(false);
        watch.screenSaverActiveChanged(true);
        watch.sessionLocked();
        QCOMPARE(locked.count(), 2);
    }
};

QTEST_MAIN(TstStrengthLock)
#include "tst_strengthlock.moc"
