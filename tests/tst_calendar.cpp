#include "calendar/jalali.h"

#include <QtTest>

using namespace zorbin::calendar;

class TstCalendar : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void fixedRule_data();
    void fixedRule();
    void textPositions();
    void monthNames();
    void dateLine();
};

void TstCalendar::fixedRule_data()
{
    QTest::addColumn<QDate>("gregorian");
    QTest::addColumn<QString>("expected");
    QTest::newRow("2014-06-07") << QDate(2014, 6, 7) << QStringLiteral("1393/03/17 شنبه");
    QTest::newRow("2014-03-20") << QDate(2014, 3, 20) << QStringLiteral("1392/12/29 پنجشنبه");
    QTest::newRow("2014-03-21") << QDate(2014, 3, 21) << QStringLiteral("1393/01/01 جمعه");
    QTest::newRow("2025-03-20") << QDate(2025, 3, 20) << QStringLiteral("1403/12/30 پنجشنبه");
    QTest::newRow("2025-03-21") << QDate(2025, 3, 21) << QStringLiteral("1404/01/01 جمعه");
    // The rule keeps March 20 in the old year even where the official calendar does not.
    QTest::newRow("2024-03-20") << QDate(2024, 3, 20) << QStringLiteral("1402/12/30 چهارشنبه");
    QTest::newRow("2029-03-21") << QDate(2029, 3, 21) << QStringLiteral("1408/01/01 چهارشنبه");
    QTest::newRow("sunday") << QDate(2014, 6, 8) << QStringLiteral("1393/03/18 يكشنبه");
    QTest::newRow("last of month 6") << QDate(2014, 9, 22) << QStringLiteral("1393/06/31 دوشنبه");
    QTest::newRow("first of month 7") << QDate(2014, 9, 23) << QStringLiteral("1393/07/01 سه شنبه");
}

void TstCalendar::fixedRule()
{
    QFETCH(QDate, gregorian);
    QFETCH(QString, expected);
    QCOMPARE(jalaliDateText(gregorian), expected);
}

void TstCalendar::textPositions()
{
    const QString text = jalaliDateText(QDate(2014, 6, 7));
    QCOMPARE(text.mid(0, 4), QStringLiteral("1393"));
    QCOMPARE(text.mid(5, 2), QStringLiteral("03"));
    QCOMPARE(text.mid(8, 2), QStringLiteral("17"));
    QCOMPARE(text.mid(11), QStringLiteral("شنبه"));
}

void TstCalendar::monthNames()
{
    QCOMPARE(persianMonthName(QDate(2014, 6, 7)), QStringLiteral("خرداد"));
    QCOMPARE(persianMonthName(QDate(2014, 3, 21)), QStringLiteral("فروردين"));
    QCOMPARE(persianMonthName(QDate(2015, 1, 1)), QStringLiteral("دي"));
    QCOMPARE(persianMonthName(QDate(2015, 3, 1)), QStringLiteral("اسفند"));
}

void TstCalendar::dateLine()
{
    QCOMPARE(zorbin::calendar::dateLine(QDate(2014, 6, 7)),
             QStringLiteral(" شنبه  17  خرداد  1393"));
}

QTEST_GUILESS_MAIN(TstCalendar)
#include "tst_calendar.moc"
