#include "store/locksetting.h"
#include "store/settings.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

using zorbin::store::LockSetting;

class TstLockSetting : public QObject
{
    Q_OBJECT

private slots:
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
};

QTEST_MAIN(TstLockSetting)
#include "tst_locksetting.moc"
