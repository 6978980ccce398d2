#include "store/messages.h"

#include "store/store.h"

namespace zorbin::store {

QString openErrorMessage(const OpenResult &result)
{
    switch (result.error) {
    case OpenError::None:
        return QString();
    case OpenError::CannotCreate:
        return QStringLiteral("پرونده اطلاعات (ZBDB.mdb) پیدا نشد و ساختن آن هم ممکن نشد.\r\n"
                              "پوشه اطلاعات را بررسی کنید:\r\n") +
               result.detail;
    case OpenError::NotReadable:
        return QStringLiteral("اجازه خواندن پرونده اطلاعات (ZBDB.mdb) را ندارید.\r\n") +
               result.detail;
    case OpenError::ReadOnly:
        return QStringLiteral("پوشه یا پرونده اطلاعات فقط‌خواندنی است و تغییرات "
                              "ذخیره "
                              "نمی‌شود.\r\n"
                              "اجازه نوشتن در این پوشه را بدهید:\r\n") +
               result.detail;
    case OpenError::OldFormat:
        return QStringLiteral("پرونده اطلاعات از نسخه قبلی زوربین است.\r\n"
                              "آن را با برنامه CDB.Zorbin به نسخه جدید تبدیل کنید.");
    case OpenError::NotEncrypted:
        return QStringLiteral("پرونده اطلاعات رمزگذاری نشده است و پرونده زوربین نیست.");
    case OpenError::WrongPassword:
        return QStringLiteral("رمز پرونده اطلاعات درست نیست یا این پرونده، پرونده اطلاعات زوربین "
                              "نیست.");
    case OpenError::MissingTable:
        return QStringLiteral("جدول %1 در پرونده اطلاعات نیست؛ پرونده ناقص است.")
            .arg(result.detail);
    case OpenError::WrongColumns:
        return QStringLiteral("ستون‌های جدول %1 در پرونده اطلاعات با نسخه 2.0 "
                              "یکی "
                              "نیست؛ "
                              "پرونده ناقص است.")
            .arg(result.detail);
    case OpenError::IsFolder:
        return QStringLiteral("به جای پرونده اطلاعات (ZBDB.mdb) پوشه‌ای با همین نام هست.\r\n"
                              "آن پوشه را جابه‌جا کنید یا نامش را عوض کنید:\r\n") +
               result.detail;
    case OpenError::BadConnection:
        return QStringLiteral("نشانی پرونده اطلاعات مشخص نیست.");
    case OpenError::Failed:
        break;
    }
    return QStringLiteral("پرونده اطلاعات باز نشد.\r\n") + result.detail;
}

QString userMessage(const QString &what, const StoreError &error)
{
    if (error.detail.isEmpty())
        return what;
    return what + QStringLiteral("\r\n") + error.detail;
}

} // namespace zorbin::store
