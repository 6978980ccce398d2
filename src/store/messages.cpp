#include "store/messages.h"

namespace zorbin::store {

QString openErrorMessage(const StoreError &error)
{
    using Kind = StoreError::Kind;
    switch (error.kind) {
    case Kind::CannotCreate:
        return QStringLiteral("پرونده اطلاعات (ZBDB.mdb) پیدا نشد و ساختن آن هم ممکن نشد.\r\n"
                              "پوشه اطلاعات را بررسی کنید:\r\n") +
               error.detail;
    case Kind::NotReadable:
        return QStringLiteral("اجازه خواندن پرونده اطلاعات (ZBDB.mdb) را ندارید.\r\n") +
               error.detail;
    case Kind::ReadOnly:
        return QStringLiteral(
                   "پوشه یا پرونده اطلاعات فقط‌خواندنی است و "
                   "تغییرات "
                   "ذخیره "
                   "نمی‌شود.\r\n"
                   "اجازه نوشتن در این پوشه را بدهید:\r\n") +
               error.detail;
    case Kind::OldFormat:
        return QStringLiteral("پرونده اطلاعات از نسخه قبلی زوربین است.\r\n"
                              "آن را با برنامه CDB.Zorbin به نسخه جدید تبدیل کنید.");
    case Kind::NotEncrypted:
        return QStringLiteral("پرونده اطلاعات رمزگذاری نشده است و پرونده زوربین نیست.");
    case Kind::WrongPassword:
        return QStringLiteral("رمز پرونده اطلاعات درست نیست یا این پرونده، پرونده اطلاعات زوربین "
                              "نیست.");
    case Kind::MissingTable:
        return QStringLiteral("جدول %1 در پرونده اطلاعات نیست؛ پرونده ناقص است.").arg(error.detail);
    case Kind::WrongColumns:
        return QStringLiteral(
                   "ستون‌های جدول %1 در پرونده اطلاعات با نسخه "
                   "2.0 "
                   "یکی "
                   "نیست؛ "
                   "پرونده ناقص است.")
            .arg(error.detail);
    case Kind::IsFolder:
        return QStringLiteral(
                   "به جای پرونده اطلاعات (ZBDB.mdb) پوشه‌ای با همین "
                   "نام "
                   "هست.\r\n"
                   "آن پوشه را جابه‌جا کنید یا نامش را عوض "
                   "کنید:\r\n") +
               error.detail;
    case Kind::BadConnection:
        return QStringLiteral("نشانی پرونده اطلاعات مشخص نیست.");
    case Kind::NotOpened:
    case Kind::Engine:
    case Kind::NotFound:
    case Kind::Busy:
    case Kind::Io:
        break;
    }
    return QStringLiteral("پرونده اطلاعات باز نشد.\r\n") + error.detail;
}

QString userMessage(const QString &what, const StoreError &error)
{
    if (error.detail.isEmpty())
        return what;
    return what + QStringLiteral("\r\n") + error.detail;
}

} // namespace zorbin::store
