#include "common/appearance.h"
#include "common/desktop.h"

#include <QApplication>
#include <QFontDatabase>
#include <QUrlQuery>
#include <QtTest>

using namespace zorbin::common;

class TstAppearance : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void rightToLeftAndPersianQtTexts();
    void bundledFontStandsInForMissingOnes();
    void addressesBecomeRealUrls();
    void mailLinksAreEncoded();
};

void TstAppearance::initTestCase()
{
    setupApplication(*qApp);
}

void TstAppearance::rightToLeftAndPersianQtTexts()
{
    QCOMPARE(QApplication::layoutDirection(), Qt::RightToLeft);
    // Qt's own buttons speak Persian.
    const QString ok = QCoreApplication::translate("QPlatformTheme", "OK");
    QVERIFY2(ok != QLatin1String("OK"), qPrintable(ok));
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("انصراف"));
}

void TstAppearance::bundledFontStandsInForMissingOnes()
{
    QCOMPARE(bundledFamily(), QStringLiteral("Vazirmatn"));
    QVERIFY(QFontDatabase::families().contains(QStringLiteral("Vazirmatn")));
    if (!QFontDatabase::families().contains(QStringLiteral("b Koodak"), Qt::CaseInsensitive))
        QCOMPARE(menuFont().family(), QStringLiteral("Vazirmatn"));
    if (!QFontDatabase::families().contains(QStringLiteral("B Yekan"), Qt::CaseInsensitive) &&
        !QFontDatabase::families().contains(QStringLiteral("Tahoma"), Qt::CaseInsensitive))
        QCOMPARE(windowFont().family(), QStringLiteral("Vazirmatn"));
    QCOMPARE(QApplication::font().family(), windowFont().family());
}

void TstAppearance::addressesBecomeRealUrls()
{
    QCOMPARE(desktop::addressUrl(QStringLiteral("www.example.com")),
             QUrl(QStringLiteral("http://www.example.com")));
    QCOMPARE(desktop::addressUrl(QStringLiteral(" https://x.ir/a?b=1 ")),
             QUrl(QStringLiteral("https://x.ir/a?b=1")));
    QVERIFY(desktop::addressUrl(QStringLiteral("   ")).isEmpty());
    QVERIFY(!desktop::openAddress(QString()));
    QCOMPARE(desktop::telUrl(QStringLiteral(" 0912 123 4567")).toString(),
             QStringLiteral("tel:09121234567"));
    // Persian and Arabic-Indic digits, a no-break space, direction marks and separators.
    QCOMPARE(desktop::telUrl(QStringLiteral("۰۹۱۲ ۱۲۳ ۴۵۶۷")).toString(),
             QStringLiteral("tel:09121234567"));
    QCOMPARE(desktop::telUrl(QStringLiteral("‎+٩٨ (21) 88-77‏")).toString(),
             QStringLiteral("tel:+98(21)88-77"));
}

void TstAppearance::mailLinksAreEncoded()
{
    const QString body = QStringLiteral("http://x.ir/?a=1&b=2#top");
    const QUrl url = desktop::mailtoUrl(QString(), QStringLiteral("معرفي سايت"), body);
    QCOMPARE(url.scheme(), QStringLiteral("mailto"));
    QVERIFY(url.path().isEmpty());
    const QUrlQuery query(url);
    QCOMPARE(query.queryItemValue(QStringLiteral("subject"), QUrl::FullyDecoded),
             QStringLiteral("معرفي سايت"));
    QCOMPARE(query.queryItemValue(QStringLiteral("body"), QUrl::FullyDecoded), body);
    QVERIFY(url.toEncoded().startsWith("mailto:?subject=%D9%85"));
}

QTEST_MAIN(TstAppearance)
#include "tst_appearance.moc"
