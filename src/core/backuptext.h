#pragma once

#include <QDate>
#include <QString>

namespace zorbin::core {

// "پشتيباني در تاريخ " + the first ten characters of the Jalali date text of `day`
// (year/month/day, e.g. 1393/03/17) + " انجام گرديد".
QString backupDoneMessage(const QDate &day = QDate::currentDate());

} // namespace zorbin::core
