#include "common/dialogs.h"
#include "helpers/windowtestcase.h"
#include "tools/statisticswindow.h"

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QtTest>

using zorbin::tools::StatisticsWindow;

using zorbin::common::Dialogs;

namespace {

QStringList counts(StatisticsWindow &dlg)
{
    QStringList list;
    for (const char *name : {"Label6", "Label7", "Label8"}) {
        auto *label = dlg.findChild<QLabel *>(QLatin1String(name));
        list << (label ? label->text() : QStringLiteral("missing"));
    }
    return list;
}

zorbin::store::ContactRecord contact(const QString &name, const QString &mobile)
{
    zorbin::store::ContactRecord r;
    r.name = name;
    r.mobile = mobile;
    return r;
}

} // namespace

class TestStatisticsWindow : public WindowTestCase
{
    Q_OBJECT

private Q_SLOTS:
    // The counts are taken when the window opens: a new database holds nothing, and each
    // table's rows show in their own label.
    void countsFollowTheTables()
    {
        TestEnv &env = *m_env;
        {
            StatisticsWindow dlg(*env.context);
            QCOMPARE(counts(dlg), (QStringList{"0", "0", "0"}));
        }
        env.addSite(QStringLiteral("a"));
        env.addSite(QStringLiteral("b"));
        env.addCategory(QStringLiteral("news"));
        for (int i = 0; i < 3; ++i)
            QVERIFY(env.store->insertContact(
                contact(QStringLiteral("c%1").arg(i), QStringLiteral("0912%1").arg(i))));
        {
            StatisticsWindow dlg(*env.context);
            QCOMPARE(counts(dlg), (QStringList{"2", "1", "3"}));
        }
        env.addSite(QStringLiteral("c"));
        StatisticsWindow dlg(*env.context);
        dlg.show();
        QCOMPARE(counts(dlg), (QStringList{"3", "1", "3"}));
        QTest::keyClick(&dlg, Qt::Key_Escape);
        QVERIFY(!dlg.isVisible());
    }

    // A screen reader hears each count with its caption.
    void countsReadAloud()
    {
        TestEnv &env = *m_env;
        env.addSite(QStringLiteral("a"));
        env.addSite(QStringLiteral("b"));
        StatisticsWindow dlg(*env.context);
        dlg.show();
        const QList<std::pair<const char *, QString>> expected = {
            {"Label6", QStringLiteral("سايت ها: 2")},
            {"Label7", QStringLiteral("موضوعات: 0")},
            {"Label8", QStringLiteral("مخاطبين: 0")}};
        for (const auto &[name, spoken] : expected) {
            QAccessibleInterface *count =
                QAccessible::queryAccessibleInterface(dlg.findChild<QLabel *>(name));
            QVERIFY(count);
            QCOMPARE(count->text(QAccessible::Name), spoken);
        }
    }

    // A count that cannot be read shows "#" and the user is told.
    void unreadableCounts()
    {
        TestEnv &env = *m_env;
        QVERIFY(env.sql("DROP TABLE Table_Contact"));
        Dialogs::Script script;
        StatisticsWindow dlg(*env.context);
        QCOMPARE(counts(dlg), (QStringList{"#", "#", "#"}));
        QCOMPARE(script.shown.size(), 1);
        QCOMPARE(script.shown.first().kind, Dialogs::Kind::Error);
    }
};

QTEST_MAIN(TestStatisticsWindow)
#include "tst_statisticswindow.moc"
