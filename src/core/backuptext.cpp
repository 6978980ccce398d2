#include "core/backuptext.h"

#include "calendar/jalali.h"

namespace zorbin::core {

QString backupDoneMessage(const QDate &day)
{
    return QStringLiteral("پشتيباني در تاريخ ") + calendar::jalaliDateText(day).left(10) +
           QStringLiteral(" انجام گرديد");
}

} // namespace zorbin::core
