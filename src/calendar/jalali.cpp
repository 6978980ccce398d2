#include "calendar/jalali.h"

#include <cmath>

namespace zorbin::calendar {

namespace {

const char16_t *const kWeekdays[] = {u"يكشنبه",  u"دوشنبه", u"سه شنبه", u"چهارشنبه",
                                     u"پنجشنبه", u"جمعه",   u"شنبه"};

const char16_t *const kMonths[] = {u"فروردين", u"ارديبهشت", u"خرداد", u"تير", u"مرداد", u"شهريور",
                                   u"مهر",     u"آبان",     u"آذر",   u"دي",  u"بهمن",  u"اسفند"};

long long floorDiv(long long a, long long b)
{
    return static_cast<long long>(std::floor(static_cast<double>(a) / static_cast<double>(b)));
}

long long mod(long long a, long long b)
{
    return a - b * floorDiv(a, b);
}

QString twoDigits(long long n)
{
    return QString::number(n).rightJustified(2, QLatin1Char('0'));
}

} // namespace

QString jalaliDateText(const QDate &g)
{
    const long long y = g.year();
    const int m = g.month();
    const long long d = g.day();
    static const int lengths[] = {31, 0, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    long long s = 0;
    for (int i = 1; i < m; ++i)
        s += (i == 2) ? ((y % 4 == 0) ? 29 : 28) : lengths[i - 1];
    const long long n = 365 * (y - 1) + floorDiv(y - 1, 4) + s + d;
    const long long t = n - 226899;
    const QString k = twoDigits(m) + twoDigits(d);
    const long long p = (k <= QLatin1String("0320")) ? y - 622 : y - 621;
    const long long r = t - floorDiv(p, 4) - 365 * (p - 1);
    long long day, month;
    if (r <= 186) {
        day = mod(r, 31);
        if (day == 0) {
            day = 31;
            month = floorDiv(r, 31);
        } else {
            month = floorDiv(r, 31) + 1;
        }
    } else {
        const long long r2 = r - 186;
        day = mod(r2, 30);
        if (day == 0) {
            day = 30;
            month = floorDiv(r2, 30) + 6;
        } else {
            month = floorDiv(r2, 30) + 7;
        }
    }
    // QDate: Monday = 1 .. Sunday = 7; the names are kept Sunday first.
    const int weekday = g.dayOfWeek() % 7; // Sunday -> 0
    return QString::number(p) + QLatin1Char('/') + twoDigits(month) + QLatin1Char('/') +
           twoDigits(day) + QLatin1Char(' ') + QString::fromUtf16(kWeekdays[weekday]);
}

QString persianMonthName(const QDate &date)
{
    const QString text = jalaliDateText(date).mid(5, 2);
    bool ok = false;
    const int month = text.toInt(&ok);
    if (!ok || text.size() != 2 || month < 1 || month > 12)
        return QString();
    return QString::fromUtf16(kMonths[month - 1]);
}

QString dateLine(const QDate &date)
{
    const QString text = jalaliDateText(date);
    const QString year = text.left(4);
    const QString day = text.mid(8, 2);
    const QString weekdayPart = text.mid(10);
    const QString blanks = QStringLiteral("  ");
    return weekdayPart + blanks + day + blanks + persianMonthName(date) + blanks + year;
}

} // namespace zorbin::calendar
