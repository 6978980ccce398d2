#include "store/importoutcome.h"

#include "store/messages.h"

namespace zorbin::store {

void ImportOutcome::refuse(qint64 line, Refusal reason, const QString &text)
{
    ++refused;
    ++byReason[size_t(reason)];
    if (refusals.size() < kKeptRefusals)
        refusals.append({line, reason, text});
}

QString refusalText(Refusal reason)
{
    switch (reason) {
    case Refusal::NoTitle:
        return QStringLiteral("عنوان و آدرس ندارد");
    case Refusal::TitleStored:
        return QStringLiteral("اين سايت قبلاً ثبت شده است");
    case Refusal::Malformed:
        return QStringLiteral("ساختار آن خراب است");
    case Refusal::FieldTooLong:
        return QStringLiteral("فيلدي بلندتر از ۱۰۰۰۰ نويسه دارد");
    case Refusal::UnknownText:
        return QStringLiteral("متن آن UTF-8 نيست");
    case Refusal::NoName:
        return QStringLiteral("نام ندارد");
    case Refusal::MobileStored:
        return QStringLiteral("مخاطبي با اين شماره تلفن همراه قبلاً ثبت شده است");
    case Refusal::NotPicture:
        return QStringLiteral("عکس آن تصوير نيست");
    case Refusal::Count:
        break;
    }
    return {};
}

QString failureMessage(const ImportFailure &failure)
{
    const QString line = QString::number(failure.line);
    const QString nothing = QStringLiteral("\r\nهيچ اطلاعاتي ثبت نشد.");
    switch (failure.kind) {
    case ImportFailure::Kind::CannotRead:
        return QStringLiteral("فايل خوانده نشد.") + nothing;
    case ImportFailure::Kind::Empty:
        return QStringLiteral("اين فايل هيچ رديفي براي ورود ندارد.") + nothing;
    case ImportFailure::Kind::NoHeader:
        return QStringLiteral("سطر اول فايل نام ستونها نيست؛ فايلي با سطر عنوان ستونها انتخاب "
                              "کنيد.") +
               nothing;
    case ImportFailure::Kind::NoColumns:
        return QStringLiteral("ستوني براي عنوان يا آدرس سايت انتخاب نشده است.") + nothing;
    case ImportFailure::Kind::Binary:
        return QStringLiteral("اين فايل متني نيست.") + nothing;
    case ImportFailure::Kind::NotUnicode:
        return QStringLiteral("متن اين فايل UTF-8 يا UTF-16 نيست (شايد با کدگذاري ويندوز 1256 "
                              "ذخيره شده است).\r\nفايل را با کدگذاري UTF-8 ذخيره کنيد و دوباره "
                              "امتحان کنيد.") +
               nothing;
    case ImportFailure::Kind::TooLong:
        return QStringLiteral("سطر %1 فايل بيش از حد بلند است.").arg(line) + nothing;
    case ImportFailure::Kind::Malformed:
        return QStringLiteral("ساختار فايل در سطر %1 خراب است: گيومه اي بي جا آمده يا بسته نشده "
                              "است.")
                   .arg(line) +
               nothing;
    case ImportFailure::Kind::NoCard:
        return QStringLiteral("اين فايل هيچ کارت مخاطب (vCard) ندارد.") + nothing;
    case ImportFailure::Kind::Unfinished:
        return QStringLiteral("کارت مخاطب سطر %1 تمام نشده است (END:VCARD ندارد).").arg(line) +
               nothing;
    case ImportFailure::Kind::Changed:
        return QStringLiteral("فايل پس از پيش نمايش تغيير کرده است؛ دوباره آن را باز کنيد.") +
               nothing;
    case ImportFailure::Kind::Cancelled:
        return QStringLiteral("ورود اطلاعات متوقف شد.") + nothing;
    case ImportFailure::Kind::Store:
        return userMessage(QStringLiteral("اطلاعات ثبت نشد."), failure.error);
    case ImportFailure::Kind::Pictures:
        return userMessage(QStringLiteral("عکس مخاطبين ذخيره نشد؛ هيچ اطلاعاتي ثبت نشد."),
                           failure.error);
    }
    return {};
}

} // namespace zorbin::store
