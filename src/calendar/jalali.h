#pragma once

#include <QDate>
#include <QString>

namespace zorbin::calendar {

// "yyyy/mm/dd weekday" by the program's fixed arithmetic rule, e.g. 2014-06-07 gives
// "1393/03/17 شنبه". Characters 1-4 are the year, 6-7 the month, 9-10 the day, and the
// weekday name starts at character 12.
QString jalaliDateText(const QDate &gregorian);

// The Persian name of the month in `date`'s Jalali date text; empty for an unknown
// month text. Without an argument: today's month.
QString persianMonthName(const QDate &date = QDate::currentDate());

// The main window's date line: weekday, day, month name and year, each two blanks apart.
QString dateLine(const QDate &date);

} // namespace zorbin::calendar
