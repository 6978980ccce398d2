#include "core/backuptext.h"

#include "calendar/jalali.h"

namespace zorbin::tools {

QString backupDoneMessage(const QDate &day)
{
    return QStringLiteral("پشتيباني در تاريخ ") + calendar::jalaliDateText(day).left(10) +
           QStringLiteral(" انجام گرديد");
}

} // namespace zorbin::tools
